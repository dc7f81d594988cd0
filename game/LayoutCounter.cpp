// The counting search: rows and columns as bit masks of the cells that may still take a segment,
// each step deciding one cell of the most constrained line (water, or the ship that covers it),
// every branch cut off as soon as a line, a clue or the fleet can no longer be satisfied; when
// its restarts stop finding layouts, it searches half the board afresh next to each one found.
// A count that outlasts its first rounds is helped on a second thread by a count by clauses.
#include "LayoutCounter.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
#include <tuple>

#include "LayoutSearch.h"

namespace quorvik {

namespace layout {
namespace {

// The steps of the shortest restart round.
constexpr long restartUnit = 512;
// The most a round's steps are multiplied while it keeps finding layouts.
constexpr long maxBoost = 1 << 12;
// The steps after which a count that is not over goes on on two threads.
constexpr long pauseAfter = 8 * restartUnit;
// The steps of the second counter by steps in one turn with the clauses.
constexpr long stepTurn = 20 * restartUnit;
// The steps of a search next to a layout found, in one window of the board: first a few, in
// every window next to every layout found so far, as many windows are searched through in a few
// steps; then many.
constexpr long quickNearSteps = restartUnit / 4;
constexpr long nearSteps = 8 * restartUnit;
// The lines between two windows of the same width next to a layout found.
constexpr int nearStride = 4;

// The restart budgets 1 1 2 1 1 2 4 1 1 2 ..., each a multiple of the first: whatever number
// of steps a lucky order needs, the rounds up to it cost at most a few times as much.
long luby(unsigned i) {
    unsigned size = 1;
    unsigned sequence = 0;
    while (size < i + 1) {
        ++sequence;
        size = 2 * size + 1;
    }
    while (size - 1 != i) {
        size = (size - 1) >> 1;
        --sequence;
        i %= size;
    }
    return 1L << sequence;
}

}  // namespace

bool Pool::add(SolverLayout layout) {
    const std::lock_guard lock(mutex_);
    if (!seen_.insert(layout).second) {
        return false;
    }
    found_.push_back(std::move(layout));
    if (static_cast<int>(found_.size()) >= limit_) {
        over_ = true;
    }
    return true;
}

bool Pool::nextWindow(std::size_t windows, SolverLayout& layout, std::size_t& window,
                      bool& thorough) {
    const std::lock_guard lock(mutex_);
    for (std::size_t pass = 0; pass < nearLayout_.size() && windows > 0; ++pass) {
        if (nearLayout_[pass] < found_.size()) {
            layout = found_[nearLayout_[pass]];
            window = nearWindow_[pass];
            thorough = pass == 1;
            if (++nearWindow_[pass] == windows) {
                nearWindow_[pass] = 0;
                ++nearLayout_[pass];
            }
            return true;
        }
    }
    return false;
}

std::vector<SolverLayout> Pool::layoutsFrom(std::size_t from) {
    const std::lock_guard lock(mutex_);
    return {found_.begin() + static_cast<std::ptrdiff_t>(std::min(from, found_.size())),
            found_.end()};
}

void Pool::finish(bool complete) {
    const std::lock_guard lock(mutex_);
    complete_ = complete_ || complete;
    over_ = true;
}

SolveResult Pool::result() {
    const std::lock_guard lock(mutex_);
    SolveResult result;
    result.count = std::min(static_cast<int>(found_.size()), limit_);
    result.cancelled = !complete_ && result.count < limit_;
    found_.resize(static_cast<std::size_t>(result.count));
    result.solutions = std::move(found_);
    return result;
}

SolveResult Counter::run(const SolverPuzzle& puzzle, const SolveOptions& options) {
    State start;
    if (!setUp(puzzle, options, start)) {
        return {};
    }
    Pool pool(limit_);
    pool_ = &pool;
    // A count the player does not wait for during play goes on on both threads once its first
    // rounds have found too little: a board that needs more soon needs many more. On one core
    // as well: a board without a layout ends only by the clauses.
    const bool twoThreads = stepLimit_ == 0;
    if (!rounds(puzzle, options, start, twoThreads ? pauseAfter : 0)) {
        return pool.result();
    }
    std::thread helper;
    try {
        // The second thread counts by clauses: where the steps of this one wander through a
        // board for long, the clauses often find its first layouts soon. Once there are layouts,
        // it takes turns with a second counter by steps, which searches next to them as well.
        helper = std::thread([&puzzle, &options, &pool] {
            try {
                Counter steps(puzzle, options);
                steps.pool_ = &pool;
                State start;
                steps.setUp(puzzle, options, start);  // as the first counter's did
                countByClauses(puzzle, options, pool, [&] {
                    return pool.empty() ||
                           steps.rounds(puzzle, options, start, steps.stepsTaken_ + stepTurn);
                });
            } catch (const std::bad_alloc&) {
                // Out of memory for the second thread: this counter goes on alone.
            }
        });
    } catch (const std::system_error&) {
        // Without a thread, this counter takes every round.
    }
    // The second thread stops at its next check once the count is over here, also when this
    // counter ends by an exception.
    const auto stopHelper = [&pool, &helper] {
        pool.finish(false);
        if (helper.joinable()) {
            helper.join();
        }
    };
    try {
        rounds(puzzle, options, start, 0);
    } catch (...) {
        stopHelper();
        throw;
    }
    stopHelper();
    return pool.result();
}

bool Counter::rounds(const SolverPuzzle& puzzle, const SolveOptions& options, const State& start,
                     long pauseAfter) {
    for (;;) {
        if (pauseAfter > 0 && stepsTaken_ >= pauseAfter) {
            return true;
        }
        const unsigned round = pool_->nextRound();
        // Layouts lie in clusters: a round that found new ones goes on in the same order with
        // twice the steps; once that finds nothing new, the search looks next to the layouts
        // found, and then goes on with the next round.
        for (long boost = 1;; boost *= 2) {
            budget_ = (round == 0 ? 4 * restartUnit : restartUnit * luby(round)) * boost;
            shuffle_ = round > 0;
            // Odd rounds decide cells all the way, even rounds place the long ships first: each
            // order gets stuck on boards where the other one does not.
            longFirstFrom_ = round % 2 == 0 ? 2 : maxSide + 1;
            rng_.seed(round);
            nodes_ = 0;
            outOfNodes_ = false;
            const long before = recorded_;
            search(start);
            stepsTaken_ += nodes_;
            cancelled_ = cancelled_ || (outOfNodes_ && outOfSteps());
            if (!outOfNodes_ && !cancelled_ && !pool_->over()) {
                pool_->finish(true);  // the round went through the whole search
            }
            if (cancelled_ || !outOfNodes_ || pool_->over()) {
                return false;
            }
            if (recorded_ == before || boost >= maxBoost) {
                break;
            }
        }
        searchNear(puzzle, options);
        cancelled_ = cancelled_ || outOfSteps();
        if (cancelled_ || pool_->over()) {
            return false;
        }
    }
}

void Counter::searchNear(const SolverPuzzle& puzzle, const SolveOptions& options) {
    if (windows_.empty()) {
        for (const bool byColumns : {true, false}) {
            const int side = byColumns ? cols_ : rows_;
            for (const int width : {side / 2 + 1, side / 2 - 1}) {
                for (int step = 0; width > 0 && step * nearStride < side - width + nearStride;
                     ++step) {
                    windows_.push_back(
                        {byColumns, std::min(step * nearStride, side - width), width});
                }
            }
        }
    }
    SolverLayout layout;
    std::size_t window = 0;
    bool thorough = false;
    while (!cancelled_ && !outOfSteps() && !pool_->over() &&
           pool_->nextWindow(windows_.size(), layout, window, thorough)) {
        searchWindow(puzzle, options, layout, windows_[window],
                     thorough ? nearSteps : quickNearSteps);
    }
}

void Counter::searchWindow(const SolverPuzzle& puzzle, const SolveOptions& options,
                           const SolverLayout& layout, const Window& window, long steps) {
    SolveOptions near{limit_, options.fixed, nullptr, 0};
    for (int x = 0; x < cols_; ++x) {
        for (int y = 0; y < rows_; ++y) {
            const int at = window.byColumns ? x : y;
            if (at < window.from || at >= window.from + window.width) {
                near.fixed.push_back({x, y, layout[static_cast<std::size_t>(x * rows_ + y)]});
            }
        }
    }
    const auto ownShapes = std::make_tuple(shape_, shapedRow_, shapedCol_);
    const int longFirstFrom = longFirstFrom_;
    State start;
    if (setUp(puzzle, near, start)) {
        budget_ = steps;
        nodes_ = 0;
        outOfNodes_ = false;
        shuffle_ = false;
        longFirstFrom_ = 2;
        search(start);
        stepsTaken_ += nodes_;
    }
    std::tie(shape_, shapedRow_, shapedCol_) = ownShapes;
    longFirstFrom_ = longFirstFrom;
}

bool Counter::choose(const State& s, Branching& b) const {
    std::vector<Placement>& options = b.others;
    bool clue = false;
    for (int y = 0; y < rows_; ++y) {
        for (Mask m = s.rowSure[y]; m != 0; m &= m - 1) {
            coveringShips(s, std::countr_zero(m), y, options);
            if (options.empty()) {
                return false;
            }
            if (!clue || options.size() < b.ships.size()) {
                b.ships.swap(options);
                b.cx = std::countr_zero(m);
                b.cy = y;
                clue = true;
            }
        }
    }
    if (clue) {
        return true;
    }
    int longestLeft = longest_;
    while (s.ships[longestLeft] == 0) {
        --longestLeft;
    }
    if (longestLeft >= longFirstFrom_) {
        lowestShips(s, longestLeft, b.ships);
        b.lowest = true;
        return true;
    }
    if (!tightestCell(s, rows_, cols_, b.cx, b.cy)) {
        return false;
    }
    coveringShips(s, b.cx, b.cy, b.ships);
    b.afterWater = s;
    block(b.afterWater, b.cx, b.cy);
    b.water = settle(b.afterWater, Changed{Mask{1} << b.cy, Mask{1} << b.cx}) &&
              feasible(b.afterWater, rows_, cols_, longest_);
    for (int n = longest_; n >= 1 && b.ways() > 1; --n) {
        if (s.ships[n] == 0) {
            continue;
        }
        // Only whether there are fewer places than ships or than ways so far matters.
        lowestShips(s, n, options, std::max(b.ways(), static_cast<std::size_t>(s.ships[n])));
        if (static_cast<int>(options.size()) < s.ships[n]) {
            return false;
        }
        if (options.size() < b.ways()) {
            b.ships.swap(options);
            b.lowest = true;
            b.water = false;
        }
    }
    return true;
}

void Counter::search(const State& s, std::size_t depth) {
    if ((nodes_++ & 255) == 0 && cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) {
        cancelled_ = true;
        return;
    }
    if (nodes_ > budget_ || (stepLimit_ > 0 && stepsTaken_ + nodes_ >= stepLimit_)) {
        outOfNodes_ = true;
        return;
    }
    if (s.segmentsLeft == 0) {
        bool covered = s.rowNeedSum == 0 && s.colNeedSum == 0;
        for (int y = 0; y < rows_ && covered; ++y) {
            covered = s.rowSure[y] == 0;
        }
        if (covered) {
            record();
        }
        return;
    }
    if (depth == branchings_.size()) {
        branchings_.emplace_back();
    }
    Branching& b = branchings_[depth];
    b.clear();
    if (!choose(s, b)) {
        return;
    }
    if (shuffle_) {
        std::shuffle(b.ships.begin(), b.ships.end(), rng_);
    }
    for (const Placement& p : b.ships) {
        State next = s;
        if (b.lowest) {
            next.from[p.length] = indexOf(p) + 1;
        }
        if (place(next, p)) {
            placed_.push_back(p);
            search(next, depth + 1);
            placed_.pop_back();
        }
        if (stopped()) {
            return;
        }
    }
    if (b.water) {
        search(b.afterWater, depth + 1);
    }
}

void Counter::record() {
    SolverLayout layout(static_cast<std::size_t>(cols_ * rows_), Mark::Water);
    for (const Placement& p : placed_) {
        for (int k = 0; k < p.length; ++k) {
            const int x = p.vertical ? p.x : p.x + k;
            const int y = p.vertical ? p.y + k : p.y;
            layout[static_cast<std::size_t>(x * rows_ + y)] = pieceShape(p.length, k, p.vertical);
        }
    }
    if (pool_->add(std::move(layout))) {
        ++recorded_;
    }
}

}  // namespace layout

SolveResult countLayouts(const SolverPuzzle& puzzle, const SolveOptions& options) {
    return layout::Counter(puzzle, options).run(puzzle, options);
}

}  // namespace quorvik
