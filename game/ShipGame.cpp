// Playing the puzzle: the elements, moves, sums, completion, the solution display and the undo
// history across games. Building a puzzle, the helps and the text form live in their own files.
#include "ShipGame.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

namespace quorvik {

void ShipGame::showPlain(ElementState& e, Mark mark) {
    e.mark = mark;
    e.reveal = Reveal::None;
}

void ShipGame::keepForUndo() {
    if (legend_.empty()) {
        return;  // no game was built yet
    }
    std::shared_ptr<const ShipGame> kept = keptCopy();
    // Starting a new game is a step of its own: what was taken back of this one is gone.
    std::const_pointer_cast<ShipGame>(kept)->history_.resize(done_);
    earlierGames_.push_back(std::move(kept));
    if (earlierGames_.size() > maxEarlierGames) {
        earlierGames_.pop_front();
    }
    // A new game is a new step: the games an undo left cannot be returned to any more.
    laterGames_.clear();
}

std::shared_ptr<const ShipGame> ShipGame::keptCopy() const {
    auto kept = std::make_shared<ShipGame>(*this);
    kept->earlierGames_.clear();
    kept->laterGames_.clear();
    return kept;
}

void ShipGame::takeGame(const ShipGame& other) {
    ShipGame taken(other);
    taken.random_ = std::move(random_);
    taken.uniqueMode_ = uniqueMode_;
    taken.earlierGames_ = std::move(earlierGames_);
    taken.laterGames_ = std::move(laterGames_);
    *this = std::move(taken);
}

const ElementState* ShipGame::legendEntry(int r, int s, int i) const {
    const int length = legendRowLength(r);  // 0 outside the legend, which takes no segment
    if (s < 0 || s >= legendShipCount(r) || i < 0 || i >= length) {
        return nullptr;
    }
    return &legend_[index(legendRowStart_[index(r)] + s * length + i)];
}

// --- Elements ---

const ElementState* ShipGame::element(const ElementRef& ref) const {
    switch (ref.kind) {
        case ElementKind::Grid:
            return isOnBoard(ref.a, ref.b) ? &cell(ref.a, ref.b) : nullptr;
        case ElementKind::ColNumber:
            return ref.a >= 0 && ref.a <= maxCol_ ? &colNumber(ref.a) : nullptr;
        case ElementKind::RowNumber:
            return ref.a >= 0 && ref.a <= maxRow_ ? &rowNumber(ref.a) : nullptr;
        case ElementKind::Legend:
            return legendEntry(ref.a, ref.b, ref.c);
    }
    return nullptr;
}

std::vector<ElementRef> ShipGame::allElements() const {
    std::vector<ElementRef> refs;
    refs.reserve(index((maxCol_ + 2) * (maxRow_ + 2)) + legend_.size());
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            refs.push_back(ElementRef::grid(x, y));
        }
    }
    for (int x = 0; x <= maxCol_; ++x) {
        refs.push_back(ElementRef::column(x));
    }
    for (int y = 0; y <= maxRow_; ++y) {
        refs.push_back(ElementRef::row(y));
    }
    for (const ElementState& e : legend_) {
        const int length = e.shipLength + 1;
        const int i = static_cast<int>(&e - legend_.data()) - legendRowStart_[index(e.legendRow)] -
                      e.shipInRow * length;
        refs.push_back(ElementRef::legend(e.legendRow, e.shipInRow, i));
    }
    return refs;
}

ShipGame::PlayFields ShipGame::playFields(const ElementState& e) {
    // Sums and board sizes all stay far below the limits of these narrow fields.
    return static_cast<std::uint32_t>(e.mark) |
           static_cast<std::uint32_t>(e.markCount & 0xFF) << 8 |
           static_cast<std::uint32_t>(e.reveal) << 16 | (e.isCovered ? 1u << 31 : 0u);
}

void ShipGame::setPlayFields(ElementState& e, PlayFields fields) {
    e.mark = static_cast<Mark>(fields & 0xFF);
    e.markCount = static_cast<int>((fields >> 8) & 0xFF);
    e.reveal = static_cast<Reveal>((fields >> 16) & 0xFF);
    e.isCovered = (fields >> 31) != 0;
}

// A move in one word: the kind, the water flag, then x, y and the mark or the segment one above
// their values (a legend tick may name no segment, -1) a byte each.
std::uint32_t ShipGame::packMove(const Move& move) {
    const int value = move.kind == Move::Kind::Mark ? static_cast<int>(move.placed) : move.segment;
    return static_cast<std::uint32_t>(move.kind) | (move.water ? 8u : 0u) |
           static_cast<std::uint32_t>((move.x + 1) & 0xFF) << 4 |
           static_cast<std::uint32_t>((move.y + 1) & 0xFF) << 12 |
           static_cast<std::uint32_t>((value + 1) & 0xFF) << 20;
}

Move ShipGame::unpackMove(std::uint32_t packed) {
    Move move;
    move.kind = static_cast<Move::Kind>(packed & 7u);
    move.water = (packed & 8u) != 0;
    move.x = static_cast<int>((packed >> 4) & 0xFF) - 1;
    move.y = static_cast<int>((packed >> 12) & 0xFF) - 1;
    const int value = static_cast<int>((packed >> 20) & 0xFF) - 1;
    if (move.kind == Move::Kind::Mark) {
        move.placed = static_cast<Mark>(value);
    } else {
        move.segment = value;
    }
    return move;
}

// --- Playing ---

ChangedElements ShipGame::apply(const std::vector<Move>& moves) {
    // The step records the elements that differ afterwards; comparing the whole board is cheap
    // next to drawing and catches every change the rules make, however they make it.
    const std::vector<ElementRef> refs = allElements();
    std::vector<PlayFields> before;
    before.reserve(refs.size());
    for (const ElementRef& ref : refs) {
        before.push_back(playFields(*element(ref)));
    }
    for (const Move& move : moves) {
        applyOne(move);
    }
    Step step;
    ChangedElements changed;
    for (std::size_t k = 0; k < refs.size(); ++k) {
        const PlayFields now = playFields(*element(refs[k]));
        if (now != before[k]) {
            step.changes.push_back({static_cast<std::uint16_t>(k), before[k], now});
            changed.push_back(refs[k]);
        }
    }
    if (changed.empty()) {
        return {};
    }
    step.changes.shrink_to_fit();
    std::transform(moves.begin(), moves.end(), std::back_inserter(step.moves), packMove);
    history_.resize(done_);
    history_.push_back(std::move(step));
    if (history_.size() > maxHistorySteps) {
        history_.pop_front();
    }
    done_ = history_.size();
    laterGames_.clear();
    return changed;
}

ChangedElements ShipGame::takeStep(bool forward) {
    // Across a new game: the game on the board is kept on the other side.
    const auto switchGame = [this](auto& from, auto& to) {
        to.push_back(keptCopy());
        const std::shared_ptr<const ShipGame> other = from.back();
        from.pop_back();
        takeGame(*other);
        return allElements();
    };
    if (forward ? redoChangesGame() : undoChangesGame()) {
        return forward ? switchGame(laterGames_, earlierGames_)
                       : switchGame(earlierGames_, laterGames_);
    }
    if (done_ == (forward ? history_.size() : 0)) {
        return {};
    }
    const Step& step = history_[forward ? done_++ : --done_];
    const std::vector<ElementRef> refs = allElements();
    ChangedElements changed;
    changed.reserve(step.changes.size());
    for (const Change& change : step.changes) {
        const ElementRef& ref = refs[change.element];
        setPlayFields(*mutableElement(ref), forward ? change.after : change.before);
        changed.push_back(ref);
    }
    followMarks();
    return changed;
}

void ShipGame::applyOne(const Move& move) {
    switch (move.kind) {
        case Move::Kind::ShowSolution:
            // Asked for by the player: the sums keep their values until the next move.
            followMarks();
            revealSolution();
            return;
        case Move::Kind::Mark:
            markCell(move.x, move.y, move.placed);
            break;
        case Move::Kind::Toggle:
            if (isOnBoard(move.x, move.y)) {
                const ElementState& c = cell(move.x, move.y);
                markCell(move.x, move.y,
                         c.markOpen() && c.mark == Mark::Covered ? Mark::Water : Mark::Covered);
            }
            break;
        case Move::Kind::FillColumn:
            fillLine(true, move.x, move.water);
            break;
        case Move::Kind::FillRow:
            fillLine(false, move.y, move.water);
            break;
        case Move::Kind::TickLegend:
        case Move::Kind::UntickLegend:
            markLegendShip(move.y, move.x, move.segment, move.kind == Move::Kind::TickLegend);
            break;
    }
    followMarks();
    if (isFinished()) {
        revealSolution();
    }
    updateSums();
}

void ShipGame::markCell(int x, int y, Mark mark) {
    // A move naming a cell outside the current board is not applied: the board's storage ends
    // there, and no element of the player's board lies beyond it. A clue keeps what it says.
    if (isOnBoard(x, y) && !cell(x, y).isClue) {
        showPlain(mutableCell(x, y), mark);
    }
}

void ShipGame::fillLine(bool column, int line, bool water) {
    if (line < 0 || line > (column ? maxCol_ : maxRow_)) {
        return;
    }
    // The number alternates: after a fill with water its next click covers again.
    (column ? mutableColNumber(line) : mutableRowNumber(line)).isCovered = !water;
    const int last = column ? maxRow_ : maxCol_;
    // Ship marks, "???" and clues (which show their segment) are left alone.
    for (int k = 0; k <= last; ++k) {
        ElementState& c = column ? mutableCell(line, k) : mutableCell(k, line);
        if (c.markOpen() && !isShipMark(c.mark) && !c.isClue) {
            showPlain(c, water ? Mark::Water : Mark::Covered);
        }
    }
}

void ShipGame::updateSums() {
    for (int y = 0; y <= maxRow_; ++y) {
        mutableRowNumber(y).markCount = 0;
    }
    for (int x = 0; x <= maxCol_; ++x) {
        int& column = mutableColNumber(x).markCount;
        column = 0;
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            if (c.markOpen() && isShipMark(c.mark)) {
                ++column;
                ++mutableRowNumber(y).markCount;
            }
        }
    }
}

void ShipGame::markLegendShip(int shipRow, int shipNo, int segment, bool tick) {
    const ElementState* first = legendEntry(shipRow, shipNo, 0);
    if (first == nullptr) {
        return;
    }
    // The segment clicked alternates on its own; the cross goes on or off the whole ship.
    if (ElementState* clicked = mutableElement(ElementRef::legend(shipRow, shipNo, segment))) {
        clicked->isCovered = tick;
    }
    for (int i = 0; i <= first->shipLength; ++i) {
        mutableElement(ElementRef::legend(shipRow, shipNo, i))->reveal =
            tick ? Reveal::Wrong : Reveal::None;
    }
}

bool ShipGame::isFinished() const {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            // Covered cells count as water; a ship cell needs exactly its own shape. Clues are
            // right as they are.
            if (!c.isClue &&
                (!c.markOpen() || (c.hasShip ? c.mark != c.ship : isShipMark(c.mark)))) {
                return false;
            }
        }
    }
    return true;
}

void ShipGame::revealSolution() {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = mutableCell(x, y);
            if (c.isClue) {
                continue;  // a clue shows what it says, and is right in every solution
            }
            if (c.hasShip && (!c.markOpen() || c.mark != c.ship)) {
                // Not found (or a tick of an earlier display): the segment is filled in.
                c.mark = c.ship;
                c.reveal = Reveal::Shown;
            } else if (c.hasShip) {
                // Found: the tick over the segment, on the background it already has.
                c.reveal = c.reveal == Reveal::Shown ? Reveal::FoundShown : Reveal::Found;
            } else if (!c.markOpen() || isShipMark(c.mark)) {
                // A ship mark where no ship lies: the cross over it. A cross shown already stays
                // as it is.
                c.reveal = Reveal::Wrong;
            }
        }
    }
}

}  // namespace quorvik
