// The count by clauses: the puzzle written as a formula over "this cell holds a segment" and "a
// ship of this length lies here", handed to a solver that learns from each dead end. Each layout
// it finds is excluded by one more clause, so the next answer is a new layout, until there is
// none or the limit is reached.
#include "LayoutSearch.h"

#include <cadical.hpp>

#include <algorithm>
#include <functional>
#include <vector>

namespace quorvik::layout {
namespace {

// The dead ends the solver meets in one turn, when it takes turns with another search.
constexpr int turnConflicts = 100;

// Stops the solver once the count is cancelled or over.
class Cancel : public CaDiCaL::Terminator {
public:
    Cancel(const std::atomic<bool>* flag, const Pool& pool) : flag_(flag), pool_(pool) {}
    bool terminate() override {
        return (flag_ != nullptr && flag_->load(std::memory_order_relaxed)) || pool_.over();
    }

private:
    const std::atomic<bool>* flag_;
    const Pool& pool_;
};

// The clauses handed to the solver, over variables numbered from 1 as they are made.
class Formula {
public:
    explicit Formula(CaDiCaL::Solver& solver) : solver_(solver) {}

    int fresh() { return ++last_; }

    void clause(const std::vector<int>& literals) {
        for (const int literal : literals) {
            solver_.add(literal);
        }
        solver_.add(0);
    }

    // Exactly `k` of `vars` hold, by a tree of counters: each node's j-th output holds when at
    // least j of the inputs below it hold, for j up to k + 1.
    void exactly(const std::vector<int>& vars, int k) {
        const auto top = static_cast<std::size_t>(k) + 1;
        const std::vector<int> atLeast = count(vars.data(), vars.size(), top);
        if (k > static_cast<int>(atLeast.size())) {
            clause({});  // more than the inputs
        } else if (k > 0) {
            clause({atLeast[top - 2]});
        }
        if (atLeast.size() == top) {
            clause({-atLeast[top - 1]});
        }
    }

private:
    // The outputs of the node over `n` inputs from `vars`: [j - 1] holds when at least j of
    // them hold, for j up to `top`.
    std::vector<int> count(const int* vars, std::size_t n, std::size_t top) {
        if (n <= 1) {
            return {vars, vars + n};
        }
        const std::vector<int> a = count(vars, n / 2, top);
        const std::vector<int> b = count(vars + n / 2, n - n / 2, top);
        std::vector<int> out(std::min(a.size() + b.size(), top));
        for (int& v : out) {
            v = fresh();
        }
        // With i of a's and j of b's inputs, at least i + j hold; with fewer than i + 1 of a's
        // and fewer than j + 1 of b's, fewer than i + j + 1 hold.
        for (std::size_t i = 0; i <= a.size(); ++i) {
            for (std::size_t j = 0; j <= b.size(); ++j) {
                if (i + j >= 1) {
                    std::vector<int> up{out[std::min(i + j, out.size()) - 1]};
                    if (i > 0) {
                        up.push_back(-a[i - 1]);
                    }
                    if (j > 0) {
                        up.push_back(-b[j - 1]);
                    }
                    clause(up);
                }
                if (i + j < out.size()) {
                    std::vector<int> down{-out[i + j]};
                    if (i < a.size()) {
                        down.push_back(a[i]);
                    }
                    if (j < b.size()) {
                        down.push_back(b[j]);
                    }
                    clause(down);
                }
            }
        }
        return out;
    }

    CaDiCaL::Solver& solver_;
    int last_ = 0;
};

}  // namespace

void countByClauses(const SolverPuzzle& p, const SolveOptions& options, Pool& pool,
                    const std::function<bool()>& between) {
    const int cols = p.cols;
    const int rows = p.rows;
    CaDiCaL::Solver solver;
    // Tuned for formulas with answers: most boards have layouts, and it is the first of them
    // the count waits for.
    solver.configure("sat");
    // The formula of a large board takes a while to write: a count over by then stops it.
    Cancel cancel(options.cancel, pool);
    Formula f(solver);
    const auto cellVar = [rows](int x, int y) { return 1 + x * rows + y; };
    for (int i = 0; i < cols * rows; ++i) {
        f.fresh();
    }
    std::vector<Placement> places;
    std::vector<int> placeVar;
    std::vector<std::vector<int>> covering(static_cast<std::size_t>(cols * rows));
    // covering[cell] per shape: the places that give the cell that shape.
    std::vector<std::vector<std::vector<int>>> shaped(static_cast<std::size_t>(cols * rows),
                                                      std::vector<std::vector<int>>(9));
    for (int n = 1; n < static_cast<int>(p.fleet.size()); ++n) {
        if (p.fleet[static_cast<std::size_t>(n)] <= 0) {
            continue;
        }
        std::vector<int> ofLength;
        for (const bool vertical : {false, true}) {
            if (n == 1 && vertical) {
                continue;
            }
            if (cancel.terminate()) {
                return;
            }
            for (int x = 0; x + (vertical ? 0 : n - 1) < cols; ++x) {
                for (int y = 0; y + (vertical ? n - 1 : 0) < rows; ++y) {
                    const int v = f.fresh();
                    places.push_back({x, y, n, vertical});
                    placeVar.push_back(v);
                    ofLength.push_back(v);
                    // Its cells hold segments, and the cells past its ends are water; for a
                    // single ship, the cells beside it too. The cells beside a longer ship lie
                    // at a corner of one of its cells, water by the rule for corners below.
                    const int dx = vertical ? 0 : 1;
                    const int dy = vertical ? 1 : 0;
                    for (int k = 0; k < n; ++k) {
                        const int cx = x + k * dx;
                        const int cy = y + k * dy;
                        const auto cell = static_cast<std::size_t>(cx * rows + cy);
                        f.clause({-v, cellVar(cx, cy)});
                        covering[cell].push_back(v);
                        shaped[cell][static_cast<std::size_t>(pieceShape(n, k, vertical))]
                            .push_back(v);
                    }
                    const auto water = [&](int cx, int cy) {
                        if (cx >= 0 && cy >= 0 && cx < cols && cy < rows) {
                            f.clause({-v, -cellVar(cx, cy)});
                        }
                    };
                    water(x - dx, y - dy);
                    water(x + n * dx, y + n * dy);
                    if (n == 1) {
                        water(x, y - 1);
                        water(x, y + 1);
                    }
                }
            }
        }
        if (cancel.terminate()) {
            return;
        }
        f.exactly(ofLength, p.fleet[static_cast<std::size_t>(n)]);
    }
    // A segment lies in some ship, and ships never touch at a corner.
    for (int x = 0; x < cols; ++x) {
        for (int y = 0; y < rows; ++y) {
            for (const int side : {-1, 1}) {
                if (x + 1 < cols && y + side >= 0 && y + side < rows) {
                    f.clause({-cellVar(x, y), -cellVar(x + 1, y + side)});
                }
            }
            std::vector<int> c{-cellVar(x, y)};
            const auto& cover = covering[static_cast<std::size_t>(x * rows + y)];
            c.insert(c.end(), cover.begin(), cover.end());
            f.clause(c);
        }
    }
    // Each numbered column and row holds its number of segments.
    for (const bool column : {true, false}) {
        const std::vector<int>& numbers = column ? p.colCounts : p.rowCounts;
        for (int i = 0; i < static_cast<int>(numbers.size()); ++i) {
            if (numbers[static_cast<std::size_t>(i)] >= 0) {
                std::vector<int> line;
                for (int k = 0; k < (column ? rows : cols); ++k) {
                    line.push_back(column ? cellVar(i, k) : cellVar(k, i));
                }
                f.exactly(line, numbers[static_cast<std::size_t>(i)]);
            }
        }
    }
    std::vector<SolverCell> given = p.clues;
    given.insert(given.end(), options.fixed.begin(), options.fixed.end());
    for (const SolverCell& c : given) {
        const int v = cellVar(c.x, c.y);
        if (c.mark == Mark::Water) {
            f.clause({-v});
        } else if (c.mark == Mark::Segment) {
            f.clause({v});
        } else if (isShape(c.mark)) {
            f.clause(shaped[static_cast<std::size_t>(c.x * rows + c.y)]
                           [static_cast<std::size_t>(c.mark)]);
        }
    }
    solver.connect_terminator(&cancel);
    std::size_t excluded = 0;  // the pool's layouts excluded from the answers
    while (!cancel.terminate()) {
        // By their segments: every layout has as many as the fleet, so another one leaves out
        // at least one of them.
        for (const SolverLayout& layout : pool.layoutsFrom(excluded)) {
            std::vector<int> segments;
            for (int x = 0; x < cols; ++x) {
                for (int y = 0; y < rows; ++y) {
                    if (isShipMark(layout[static_cast<std::size_t>(x * rows + y)])) {
                        segments.push_back(-cellVar(x, y));
                    }
                }
            }
            f.clause(segments);
            ++excluded;
        }
        if (between) {
            solver.limit("conflicts", turnConflicts);
        }
        const int answer = solver.solve();
        if (answer == 0 && between && !cancel.terminate()) {
            if (!between()) {
                break;
            }
            continue;
        }
        if (answer == 20) {
            pool.finish(true);  // every layout is in the pool
            break;
        }
        if (answer != 10) {
            break;  // the count is over or cancelled
        }
        SolverLayout layout(static_cast<std::size_t>(cols * rows), Mark::Water);
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (solver.val(placeVar[i]) > 0) {
                const Placement& s = places[i];
                for (int k = 0; k < s.length; ++k) {
                    const int x = s.vertical ? s.x : s.x + k;
                    const int y = s.vertical ? s.y + k : s.y;
                    layout[static_cast<std::size_t>(x * rows + y)] =
                        pieceShape(s.length, k, s.vertical);
                }
            }
        }
        pool.add(std::move(layout));  // excluded at the next turn, also when met before
    }
    solver.disconnect_terminator();
}

}  // namespace quorvik::layout
