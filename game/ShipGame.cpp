// The rules of the puzzle: generation, moves, sums, completion, the solution display and the
// undo history.
#include "ShipGame.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace quorvik {

namespace {

// The picture of segment i of a legend ship of `length` cells; legend ships lie horizontally.
int legendSegmentCode(int length, int i) {
    if (length == 1) {
        return imgShipSingle;
    }
    if (i == 0) {
        return imgShipLeft;
    }
    return i == length - 1 ? imgShipRight : imgShipMiddle;
}

// The codes a player's mark may give a cell: the six shapes, water, covered and "???".
bool isMarkCode(int code) {
    return isSegmentCode(code) || isWaterOrCovered(code) || code == imgQuestion;
}

// Gives an element a code shown plainly on silver. Nothing lies beneath a plain element: a
// cross taken off leaves no picture behind, so the element reads back from the game file as it
// is, and a history replayed onto the file's board meets it.
void showPlain(ElementState& e, int code) {
    e.ImageIndex = code;
    e.Face = CellFace::Normal;
    e.Beneath = imgCovered;
}

}  // namespace

ShipGame::ShipGame(RuntimeRandom::SeedSource seeds) : random_(std::move(seeds)) {}

// --- Level and new game ---

void ShipGame::applyLevel(int level) {
    const LevelInfo& info = levelInfo(level);
    level_ = info.level;
    clueCount_ = info.clueCount;
    maxCol_ = info.maxCol;
    maxRow_ = info.maxRow;
    fleet_ = info.fleet;
    legendLengths_ = fleetLengths(level_);
    levelText_ = levelLabel(level_);
}

void ShipGame::SetLevel(int level) {
    keepForUndo();
    applyLevel(level);
    buildNewGame();
}

bool ShipGame::NewGameFromSeed(int level, std::uint32_t seed, bool unique, Difficulty difficulty) {
    if (!isValidLevel(level)) {
        return false;
    }
    // Built aside first, so that a seed that gives no game leaves the current one as it is.
    ShipGame trial(*this);
    trial.applyLevel(level);
    trial.ResetBoard();
    trial.uniqueMode_ = unique;
    trial.difficulty_ = difficulty;
    const bool built = trial.PlaceFleetFromSeed(seed);
    trial.uniqueMode_ = uniqueMode_;
    trial.difficulty_ = difficulty_;
    if (!built) {
        return false;
    }
    trial.attempts_ = 0;
    trial.UpdateSums();
    trial.history_.clear();
    trial.done_ = 0;
    keepForUndo();
    trial.earlierGames_ = earlierGames_;
    trial.laterGames_.clear();
    *this = std::move(trial);
    return true;
}

void ShipGame::NewGame() {
    keepForUndo();
    buildNewGame();
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
    RuntimeRandom random = std::move(random_);
    const bool unique = uniqueMode_;
    auto earlier = std::move(earlierGames_);
    auto later = std::move(laterGames_);
    *this = other;
    random_ = std::move(random);
    uniqueMode_ = unique;
    earlierGames_ = std::move(earlier);
    laterGames_ = std::move(later);
}

void ShipGame::buildNewGame() {
    attempts_ = 0;
    int count = 0;
    // Looking for a medium or hard game: the clues drawn for Medium may make a puzzle easy, so
    // the next attempts are graded too until one has the grade asked for. The best puzzle so far
    // that misses it, by how close it comes, is kept should none of maxHardAttempts have it.
    const bool searched =
        builtDifficulty_ == Difficulty::Medium || builtDifficulty_ == Difficulty::Hard;
    const auto rank = [](Grade g) { return g == Grade::VeryHard ? -1 : static_cast<int>(g); };
    std::optional<std::pair<Grade, std::uint32_t>> best;
    for (int graded = 1;; ++graded) {
        do {
            ResetBoard();
            ++count;
            if (count >= 2) {
                attempts_ = count;
            }
        } while (!PlaceFleet());
        if (!searched || grade() == gradeAskedFor(builtDifficulty_)) {
            break;
        }
        if (!best || rank(grade()) > rank(best->first)) {
            best = {grade(), gameSeed_};
        }
        if (graded == maxHardAttempts) {
            // The seed built a game once and builds the same again.
            ResetBoard();
            PlaceFleetFromSeed(best->second);
            break;
        }
    }
    UpdateSums();
    history_.clear();
    done_ = 0;
}

void ShipGame::ResetBoard() {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = cell(x, y);
            c.Preset();
            c.Col = x;
            c.Row = y;
        }
        ElementState& number = colNumber(x);
        number.Preset();
        number.Col = x;
        number.Row = -1;
        number.SetIsColElement(true);
        number.ImageIndex = 0;
    }
    for (int y = 0; y <= maxRow_; ++y) {
        ElementState& number = rowNumber(y);
        number.Preset();
        number.Col = -1;
        number.Row = y;
        number.SetIsRowElement(true);
        number.ImageIndex = 0;
    }
    BuildLegend();
}

void ShipGame::BuildLegend() {
    legend_.clear();
    legendRowStart_.clear();
    // Row r holds every ship of the r-th longest length, side by side.
    for (int r = 0; r < legendRowCount(); ++r) {
        legendRowStart_.push_back(static_cast<int>(legend_.size()));
        const int length = legendRowLength(r);
        for (int s = 0; s < legendShipCount(r); ++s) {
            for (int i = 0; i < length; ++i) {
                ElementState entry;
                entry.Preset();
                entry.IsLegend = true;
                entry.ShipLength = length - 1;
                entry.ShipNo = s;
                entry.ShipRow = r;
                entry.ImageIndex = entry.ShipIndex = legendSegmentCode(length, i);
                entry.IsCovered = false;
                legend_.push_back(entry);
            }
        }
    }
}

int ShipGame::legendRowLength(int r) const {
    return r >= 0 && r < legendRowCount() ? legendLengths_[index(r)] : 0;
}

int ShipGame::legendShipCount(int r) const {
    return fleet_[index(legendRowLength(r))];
}

ElementState* ShipGame::legendEntry(int r, int s, int i) {
    return const_cast<ElementState*>(std::as_const(*this).legendEntry(r, s, i));
}

const ElementState* ShipGame::legendEntry(int r, int s, int i) const {
    if (r < 0 || r >= legendRowCount()) {
        return nullptr;
    }
    const int length = legendRowLength(r);
    if (s < 0 || s >= legendShipCount(r) || i < 0 || i >= length) {
        return nullptr;
    }
    return &legend_[index(legendRowStart_[index(r)] + s * length + i)];
}

bool ShipGame::PlaceFleet() {
    random_.Randomize();
    return PlaceFleetFromSeed(random_.seed());
}

bool ShipGame::PlaceFleetFromSeed(std::uint32_t seed) {
    random_.setSeed(seed);
    gameSeed_ = seed;
    builtUnique_ = uniqueMode_ || difficulty_ != Difficulty::Any;
    builtDifficulty_ = difficulty_;
    extraClues_ = 0;
    oneSolution_.reset();
    grade_.reset();
    spread_ = {};
    for (int n = maxBoardSize; n >= 1; --n) {
        for (int ship = 0; ship < fleet_[index(n)]; ++ship) {
            int tries = 0;
            int x = 0;
            int y = 0;
            int orientation = orientationHorizontal;
            for (;;) {
                ++tries;
                orientation = static_cast<int>(random_.Random(2));
                // Start ranges let a ship reach the last column and the last row.
                if (orientation == orientationHorizontal) {
                    x = static_cast<int>(random_.Random(std::max(maxCol_ + 2 - n, 1)));
                    y = static_cast<int>(random_.Random(maxRow_ + 1));
                } else {
                    x = static_cast<int>(random_.Random(maxCol_ + 1));
                    y = static_cast<int>(random_.Random(std::max(maxRow_ + 2 - n, 1)));
                }
                const bool fits = CanPlaceShip(x, y, orientation, n);
                if (tries > maxTriesPerShip) {
                    return false;
                }
                if (fits) {
                    break;
                }
            }
            for (int k = 0; k < n; ++k) {
                int code = imgShipMiddle;
                if (n == 1) {
                    code = imgShipSingle;
                } else if (k == 0) {
                    code = orientation == orientationHorizontal ? imgShipLeft : imgShipTop;
                } else if (k == n - 1) {
                    code = orientation == orientationHorizontal ? imgShipRight : imgShipBottom;
                }
                if (orientation == orientationHorizontal) {
                    PlaceSegment(x + k, y, code);
                } else {
                    PlaceSegment(x, y + k, code);
                }
            }
        }
    }
    RevealClues();
    if (!builtUnique_) {
        return true;
    }
    if (!makeUnique()) {
        return false;
    }
    return difficulty_ == Difficulty::Any || difficulty_ == Difficulty::Hard ||
           makeEasier(gradeAskedFor(difficulty_));
}

bool ShipGame::makeUnique() {
    for (;;) {
        const SolveResult found = solve(solverPuzzle(), {}, 2);
        if (found.count <= 1) {
            oneSolution_ = true;
            return true;
        }
        const SolverLayout& first = found.solutions[0];
        const SolverLayout& second = found.solutions[1];
        const auto differs = [&](int x, int y) {
            const auto k = index(x * (maxRow_ + 1) + y);
            return first[k] != second[k];
        };
        // A clue where the two solutions differ rules out at least one of them, so the
        // solutions dwindle until one remains.
        if (!revealExtraClue(differs)) {
            return false;
        }
    }
}

bool ShipGame::makeEasier(Grade wanted) {
    for (;;) {
        // Below the limit the grade found is the puzzle's own.
        const Grade found = gradePuzzle(solverPuzzle(), wanted);
        if (found <= wanted) {
            grade_ = found;
            return true;
        }
        if (!revealExtraClue([](int, int) { return true; })) {
            return false;
        }
    }
}

bool ShipGame::revealExtraClue(const std::function<bool(int x, int y)>& fits) {
    const auto eligible = [&](int x, int y) {
        const ElementState& c = cell(x, y);
        return c.HasShip && !c.IsFixed && !HasFixedNeighbour(x, y) && fits(x, y);
    };
    bool any = false;
    for (int x = 0; x <= maxCol_ && !any; ++x) {
        for (int y = 0; y <= maxRow_ && !any; ++y) {
            any = eligible(x, y);
        }
    }
    if (!any) {
        return false;
    }
    // The same draws as the clues before: column, then row, the whole board eligible.
    for (;;) {
        const int x = static_cast<int>(random_.Random(maxCol_ + 1));
        const int y = static_cast<int>(random_.Random(maxRow_ + 1));
        if (eligible(x, y)) {
            ElementState& c = cell(x, y);
            c.IsFixed = true;
            c.ImageIndex = c.ShipIndex;
            c.Face = CellFace::Clue;
            ++extraClues_;
            return true;
        }
    }
}

bool ShipGame::CanPlaceShip(int x, int y, int orientation, int length) const {
    // A ship that would leave the board never fits.
    const int lastX = orientation == orientationHorizontal ? x + length - 1 : x;
    const int lastY = orientation == orientationHorizontal ? y : y + length - 1;
    if (length < 1 || !isOnBoard(x, y) || !isOnBoard(lastX, lastY)) {
        return false;
    }
    // The ship's rectangle grown by one cell on every side, clipped to the board: overlap and
    // contact, across a side or a corner, are refused alike.
    for (int cx = std::max(x - 1, 0); cx <= std::min(lastX + 1, maxCol_); ++cx) {
        for (int cy = std::max(y - 1, 0); cy <= std::min(lastY + 1, maxRow_); ++cy) {
            if (cell(cx, cy).HasShip) {
                return false;
            }
        }
    }
    return true;
}

void ShipGame::PlaceSegment(int x, int y, int code) {
    ElementState& c = cell(x, y);
    showPlain(c, imgCovered);
    c.ShipIndex = code;
    c.HasShip = true;
    ++colNumber(x).ImageIndex;
    ++rowNumber(y).ImageIndex;
}

void ShipGame::RevealClues() {
    int revealed = 0;
    // The level table leaves enough eligible cells for every clue count, so this ends.
    while (revealed < clueCount_) {
        const int x = static_cast<int>(random_.Random(maxCol_ + 1));
        const int y = static_cast<int>(random_.Random(maxRow_ + 1));
        ElementState& c = cell(x, y);
        if (!c.HasShip || c.IsFixed || HasFixedNeighbour(x, y)) {
            continue;
        }
        ++revealed;
        c.IsFixed = true;
        c.ImageIndex = c.ShipIndex;
        c.Face = CellFace::Clue;
    }
}

bool ShipGame::HasFixedNeighbour(int x, int y) const {
    return (x > 0 && cell(x - 1, y).IsFixed) || (x < maxCol_ && cell(x + 1, y).IsFixed) ||
           (y > 0 && cell(x, y - 1).IsFixed) || (y < maxRow_ && cell(x, y + 1).IsFixed);
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

ElementState* ShipGame::mutableElement(const ElementRef& ref) {
    return const_cast<ElementState*>(std::as_const(*this).element(ref));
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
        const int length = e.ShipLength + 1;
        const int i = static_cast<int>(&e - legend_.data()) - legendRowStart_[index(e.ShipRow)] -
                      e.ShipNo * length;
        refs.push_back(ElementRef::legend(e.ShipRow, e.ShipNo, i));
    }
    return refs;
}

ShipGame::PlayFields ShipGame::playFields(const ElementState& e) {
    // Codes, sums and board sizes all stay far below the limits of these narrow fields.
    return static_cast<std::uint32_t>(e.ImageIndex & 0xFF) |
           static_cast<std::uint32_t>(e.ReihenSumme & 0xFF) << 8 |
           static_cast<std::uint32_t>(e.Beneath & 0xFF) << 16 |
           static_cast<std::uint32_t>(e.Face) << 24 | (e.IsCovered ? 1u << 31 : 0u);
}

void ShipGame::setPlayFields(ElementState& e, PlayFields fields) {
    e.ImageIndex = static_cast<int>(fields & 0xFF);
    e.ReihenSumme = static_cast<int>((fields >> 8) & 0xFF);
    e.Beneath = static_cast<int>((fields >> 16) & 0xFF);
    e.Face = static_cast<CellFace>((fields >> 24) & 0x7F);
    e.IsCovered = (fields >> 31) != 0;
}

std::vector<ShipGame::PlayFields> ShipGame::snapshot(const std::vector<ElementRef>& refs) const {
    std::vector<PlayFields> states;
    states.reserve(refs.size());
    for (const ElementRef& ref : refs) {
        states.push_back(playFields(*element(ref)));
    }
    return states;
}

// A move in one word: the kind, the water flag, then x, y and the code one above their values
// (a legend tick may name no segment, -1) a byte each. A mark's code is the mark it makes.
std::uint32_t ShipGame::packMove(const Move& move) {
    const int code =
        move.kind == Move::Kind::Mark && !isMarkCode(move.code) ? imgCovered : move.code;
    return static_cast<std::uint32_t>(move.kind) | (move.water ? 8u : 0u) |
           static_cast<std::uint32_t>((move.x + 1) & 0xFF) << 4 |
           static_cast<std::uint32_t>((move.y + 1) & 0xFF) << 12 |
           static_cast<std::uint32_t>((code + 1) & 0xFF) << 20;
}

Move ShipGame::unpackMove(std::uint32_t packed) {
    Move move;
    move.kind = static_cast<Move::Kind>(packed & 7u);
    move.water = (packed & 8u) != 0;
    move.x = static_cast<int>((packed >> 4) & 0xFF) - 1;
    move.y = static_cast<int>((packed >> 12) & 0xFF) - 1;
    move.code = static_cast<int>((packed >> 20) & 0xFF) - 1;
    return move;
}

// --- Playing ---

ChangedElements ShipGame::apply(const Move& move) {
    return apply(std::vector<Move>{move});
}

ChangedElements ShipGame::apply(const std::vector<Move>& moves) {
    // The step records the elements that differ afterwards; comparing the whole board is cheap
    // next to drawing and catches every change the rules make, however they make it.
    const std::vector<ElementRef> refs = allElements();
    const std::vector<PlayFields> before = snapshot(refs);
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
    step.moves.reserve(moves.size());
    for (const Move& move : moves) {
        step.moves.push_back(packMove(move));
    }
    history_.resize(done_);
    history_.push_back(std::move(step));
    if (history_.size() > maxHistorySteps) {
        history_.pop_front();
    }
    done_ = history_.size();
    laterGames_.clear();
    return changed;
}

ChangedElements ShipGame::undo() {
    if (undoChangesGame()) {
        laterGames_.push_back(keptCopy());
        const std::shared_ptr<const ShipGame> previous = earlierGames_.back();
        earlierGames_.pop_back();
        takeGame(*previous);
        return allElements();
    }
    if (done_ == 0) {
        return {};
    }
    --done_;
    return restore(history_[done_], false);
}

ChangedElements ShipGame::redo() {
    if (redoChangesGame()) {
        earlierGames_.push_back(keptCopy());
        const std::shared_ptr<const ShipGame> next = laterGames_.back();
        laterGames_.pop_back();
        takeGame(*next);
        return allElements();
    }
    if (done_ == history_.size()) {
        return {};
    }
    ++done_;
    return restore(history_[done_ - 1], true);
}

ChangedElements ShipGame::restore(const Step& step, bool forward) {
    const std::vector<ElementRef> refs = allElements();
    ChangedElements changed;
    changed.reserve(step.changes.size());
    for (const Change& change : step.changes) {
        const ElementRef& ref = refs[change.element];
        setPlayFields(*mutableElement(ref), forward ? change.after : change.before);
        changed.push_back(ref);
    }
    return changed;
}

void ShipGame::applyOne(const Move& move) {
    switch (move.kind) {
        case Move::Kind::ShowSolution:
            // Asked for by the player: the sums keep their values until the next move.
            ShowSolution();
            return;
        case Move::Kind::Mark:
            markCell(move.x, move.y, isMarkCode(move.code) ? move.code : imgCovered);
            break;
        case Move::Kind::Toggle:
            if (isOnBoard(move.x, move.y)) {
                markCell(move.x, move.y,
                         cell(move.x, move.y).ImageIndex == imgCovered ? imgWater : imgCovered);
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
            markLegendShip(move.y, move.x, move.code, move.kind == Move::Kind::TickLegend);
            break;
    }
    if (CheckFinish()) {
        ShowSolution();
    }
    UpdateSums();
}

void ShipGame::markCell(int x, int y, int code) {
    // A move naming a cell outside the current board is not applied: the board's storage ends
    // there, and no element of the player's board lies beyond it.
    if (isOnBoard(x, y)) {
        showPlain(cell(x, y), code);
    }
}

void ShipGame::fillLine(bool column, int line, bool water) {
    if (line < 0 || line > (column ? maxCol_ : maxRow_)) {
        return;
    }
    // The number alternates: after a fill with water its next click covers again.
    (column ? colNumber(line) : rowNumber(line)).IsCovered = !water;
    const int last = column ? maxRow_ : maxCol_;
    // Ship marks, "???" and clues (which show their segment) are left alone.
    for (int k = 0; k <= last; ++k) {
        ElementState& c = column ? cell(line, k) : cell(k, line);
        if (isWaterOrCovered(c.ImageIndex)) {
            showPlain(c, water ? imgWater : imgCovered);
        }
    }
}

void ShipGame::UpdateSums() {
    for (int x = 0; x <= maxCol_; ++x) {
        colNumber(x).ReihenSumme = 0;
    }
    for (int y = 0; y <= maxRow_; ++y) {
        rowNumber(y).ReihenSumme = 0;
    }
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            if (isShipMark(cell(x, y).ImageIndex)) {
                ++colNumber(x).ReihenSumme;
                ++rowNumber(y).ReihenSumme;
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
    if (ElementState* clicked = legendEntry(shipRow, shipNo, segment)) {
        clicked->IsCovered = tick;
    }
    for (int i = 0; i <= first->ShipLength; ++i) {
        ElementState& entry = *legendEntry(shipRow, shipNo, i);
        if (tick) {
            entry.ImageIndex = imgWrongMark;
            entry.Face = CellFace::Wrong;
            entry.Beneath = entry.ShipIndex;
        } else {
            showPlain(entry, entry.ShipIndex);
        }
    }
}

bool ShipGame::CheckFinish() const {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            // Covered cells count as water; a ship cell needs exactly its own shape.
            if (c.HasShip ? c.ImageIndex != c.ShipIndex : !isWaterOrCovered(c.ImageIndex)) {
                return false;
            }
        }
    }
    return true;
}

void ShipGame::ShowSolution() {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = cell(x, y);
            if (c.HasShip) {
                RevealShipCell(x, y);
            } else if (!isWaterOrCovered(c.ImageIndex)) {
                // A ship mark or "???" where no ship lies: the cross over it. A cross shown
                // already stays as it is.
                if (c.Face != CellFace::Wrong) {
                    c.Beneath = c.ImageIndex;
                }
                c.ImageIndex = imgWrongMark;
                c.Face = CellFace::Wrong;
            }
        }
    }
}

void ShipGame::RevealShipCell(int x, int y) {
    ElementState& c = cell(x, y);
    if (c.ImageIndex != c.ShipIndex) {
        // Not found (or a tick of an earlier display): the segment is filled in on blue.
        c.ImageIndex = c.ShipIndex;
        c.Face = CellFace::Revealed;
    } else if (!c.IsFixed) {
        // Found: the tick over the segment, on the background it already has.
        c.Face = c.Face == CellFace::Revealed ? CellFace::FoundRevealed : CellFace::Found;
        c.ImageIndex = imgRightMark;
    }
}

// --- The solver's view ---

SolverPuzzle ShipGame::solverPuzzle() const {
    SolverPuzzle puzzle;
    puzzle.cols = maxCol_ + 1;
    puzzle.rows = maxRow_ + 1;
    for (int x = 0; x <= maxCol_; ++x) {
        puzzle.colCounts.push_back(colNumber(x).ImageIndex);
    }
    for (int y = 0; y <= maxRow_; ++y) {
        puzzle.rowCounts.push_back(rowNumber(y).ImageIndex);
    }
    puzzle.fleet.assign(fleet_.begin(), fleet_.end());
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            if (cell(x, y).IsFixed) {
                puzzle.clues.push_back({x, y, cell(x, y).ShipIndex});
            }
        }
    }
    return puzzle;
}

SolverLayout ShipGame::hiddenLayout() const {
    SolverLayout layout;
    layout.reserve(index((maxCol_ + 1) * (maxRow_ + 1)));
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            layout.push_back(cell(x, y).ShipIndex);
        }
    }
    return layout;
}

bool ShipGame::hasOneSolution() const {
    if (!oneSolution_) {
        oneSolution_ =
            spread_.valid() ? spread().count == 1 : solve(solverPuzzle(), {}, 2).count == 1;
    }
    return *oneSolution_;
}

Grade ShipGame::grade() const {
    if (!grade_) {
        grade_ = gradePuzzle(solverPuzzle());
    }
    return *grade_;
}

namespace {

// More layouts than any generated puzzle has been seen to have; beyond it the marks no layout
// seen has are looked at one by one.
constexpr int spreadLimit = 1 << 16;

}  // namespace

void ShipGame::prepareHelps() const {
    if (!spread_.valid()) {
        spread_ = std::async(std::launch::async, [puzzle = solverPuzzle()] {
                      return solutionSpread(puzzle, spreadLimit);
                  }).share();
    }
}

const SolutionSpread& ShipGame::spread() const {
    if (!spread_.valid()) {
        std::promise<SolutionSpread> now;
        now.set_value(solutionSpread(solverPuzzle(), spreadLimit));
        spread_ = now.get_future().share();
    }
    return spread_.get();
}

std::vector<SolverCell> ShipGame::playerMarks() const {
    std::vector<SolverCell> marks;
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            if (!c.IsFixed && c.Face == CellFace::Normal && c.ImageIndex != imgCovered) {
                marks.push_back({x, y, c.ImageIndex});
            }
        }
    }
    return marks;
}

LiveFeedback ShipGame::liveFeedback() const {
    std::vector<SolverCell> shown;
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            // Once the solution is shown, a cell counts as the segment it shows, and a cross as
            // the mark beneath it; before, only the player's marks are there to count.
            int code = c.ImageIndex;
            if (c.Face == CellFace::Wrong) {
                code = c.Beneath;
            } else if (c.Face != CellFace::Normal) {
                code = c.ShipIndex;
            }
            if (!c.IsFixed && code != imgCovered) {
                shown.push_back({x, y, code});
            }
        }
    }
    return quorvik::liveFeedback(solverPuzzle(), shown);
}

namespace {

// Whether a mark agrees with the hidden segment (or its absence): "???" agrees with any segment.
bool markAgrees(const ElementState& c, int mark) {
    if (!c.HasShip) {
        return mark == imgWater;
    }
    return mark == imgQuestion || mark == c.ShipIndex;
}

}  // namespace

ShipGame::Mistakes ShipGame::mistakes() const {
    Mistakes found;
    std::vector<SolverCell> differing;
    for (const SolverCell& m : playerMarks()) {
        if (!markAgrees(cell(m.x, m.y), m.code)) {
            differing.push_back(m);
        }
    }
    if (differing.empty()) {
        return found;
    }
    if (oneSolution_.value_or(false)) {
        // The one solution is the hidden fleet.
        found.impossible = std::move(differing);
        return found;
    }
    const SolutionSpread& layouts = spread();
    oneSolution_ = layouts.count == 1;
    std::vector<SolverCell> unseen;
    for (const SolverCell& m : differing) {
        if (layouts.has(maxRow_ + 1, m)) {
            found.otherSolution.push_back(m);
        } else if (layouts.complete(spreadLimit)) {
            found.impossible.push_back(m);
        } else {
            unseen.push_back(m);
        }
    }
    if (!unseen.empty()) {
        const std::vector<bool> flagged = quorvik::impossibleMarks(solverPuzzle(), unseen);
        for (std::size_t k = 0; k < unseen.size(); ++k) {
            (flagged[k] ? found.impossible : found.otherSolution).push_back(unseen[k]);
        }
    }
    return found;
}

bool ShipGame::solutionShown() const {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const CellFace face = cell(x, y).Face;
            if (face == CellFace::Revealed || face == CellFace::FoundRevealed ||
                face == CellFace::Wrong) {
                return true;
            }
        }
    }
    return false;
}

ShipGame::Hint ShipGame::nextHint() const {
    Hint hint;
    if (solutionShown()) {
        hint.kind = Hint::Kind::Shown;
        return hint;
    }
    const std::vector<SolverCell> marks = playerMarks();
    // A wrong mark first: reasoning from it would lead astray. One that no solution has comes
    // before one of another solution.
    const Mistakes wrong = mistakes();
    if (!wrong.impossible.empty() || !wrong.otherSolution.empty()) {
        const bool impossible = !wrong.impossible.empty();
        const SolverCell& m = impossible ? wrong.impossible.front() : wrong.otherSolution.front();
        hint.kind = impossible ? Hint::Kind::WrongMark : Hint::Kind::OtherSolution;
        hint.cells = {{m.x, m.y, imgCovered}};
        return hint;
    }
    // Every segment shown with its shape (by the player or the solution display): the rest is
    // water, which need not be marked.
    bool allFound = true;
    for (int x = 0; x <= maxCol_ && allFound; ++x) {
        for (int y = 0; y <= maxRow_ && allFound; ++y) {
            const ElementState& c = cell(x, y);
            allFound = !c.HasShip || c.IsFixed || c.ImageIndex == c.ShipIndex ||
                       c.Face != CellFace::Normal;
        }
    }
    if (allFound) {
        return hint;
    }
    if (const std::optional<Deduction> step = nextDeduction(solverPuzzle(), marks)) {
        // Only what the player does not show yet: a step may restate a mark's kind.
        for (const SolverCell& decided : step->cells) {
            const ElementState& c = cell(decided.x, decided.y);
            // Every mark agrees with the fleet here, so a shape already shows a ship.
            const bool shown = c.ImageIndex == decided.code ||
                               (decided.code == imgQuestion && isShipMark(c.ImageIndex));
            if (!shown && !c.IsFixed && c.Face == CellFace::Normal) {
                hint.cells.push_back(decided);
            }
        }
        if (!hint.cells.empty()) {
            hint.kind = Hint::Kind::Deduction;
            hint.deduction = *step;
            return hint;
        }
    }
    // No rule helps: one hidden segment not yet marked with its shape.
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            if (c.HasShip && c.ImageIndex != c.ShipIndex && c.Face == CellFace::Normal) {
                hint.kind = Hint::Kind::Reveal;
                hint.cells = {{x, y, c.ShipIndex}};
                return hint;
            }
        }
    }
    return hint;
}

std::vector<Move> ShipGame::hintMoves(const Hint& hint) const {
    std::vector<Move> moves;
    for (const SolverCell& c : hint.cells) {
        moves.push_back(Move::mark(c.x, c.y, c.code));
    }
    return moves;
}

// --- The game in progress as text ---
//
// Four lines: "cells" with ImageIndex.Face.Beneath of every grid cell column by column, "cols"
// and "rows" with IsCovered.ReihenSumme of every number, "legend" with ImageIndex.Face.IsCovered
// of every legend entry. The puzzle itself (fleet and clues) is not part of it: it is rebuilt
// from its seed first, and the text must fit it.

std::string ShipGame::exportPlay() const {
    std::string out = "cells";
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            out += ' ' + std::to_string(c.ImageIndex) + '.' +
                   std::to_string(static_cast<int>(c.Face)) + '.' + std::to_string(c.Beneath);
        }
    }
    for (const bool columns : {true, false}) {
        out += columns ? "\ncols" : "\nrows";
        for (int k = 0; k <= (columns ? maxCol_ : maxRow_); ++k) {
            const ElementState& n = columns ? colNumber(k) : rowNumber(k);
            out += ' ' + std::to_string(n.IsCovered ? 1 : 0) + '.' + std::to_string(n.ReihenSumme);
        }
    }
    out += "\nlegend";
    for (const ElementState& e : legend_) {
        out += ' ' + std::to_string(e.ImageIndex) + '.' + std::to_string(static_cast<int>(e.Face)) +
               '.' + std::to_string(e.IsCovered ? 1 : 0);
    }
    out += '\n';
    return out;
}

namespace {

// The numbers of one "a.b.c" token of `parts` small numbers, or nothing when it is not one.
std::optional<std::vector<int>> parseToken(std::string_view token, std::size_t parts) {
    std::vector<int> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = token.find('.', start);
        const std::string_view digits = token.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (digits.empty() || digits.size() > 3 ||
            !std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        int value = 0;
        for (const char c : digits) {
            value = value * 10 + (c - '0');
        }
        values.push_back(value);
        if (values.size() > parts) {
            return std::nullopt;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    if (values.size() != parts) {
        return std::nullopt;
    }
    return values;
}

// The tokens of the line that starts with `name`, or nothing.
std::optional<std::vector<std::string_view>> lineTokens(std::string_view line,
                                                        std::string_view name) {
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        tokens.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    if (tokens.empty() || tokens.front() != name) {
        return std::nullopt;
    }
    tokens.erase(tokens.begin());
    return tokens;
}

}  // namespace

bool ShipGame::importPlay(const std::string& text) {
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            return false;  // cut off: every line ends with a line break
        }
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    if (lines.size() != 4) {
        return false;
    }
    const auto cells = lineTokens(lines[0], "cells");
    const auto cols = lineTokens(lines[1], "cols");
    const auto rows = lineTokens(lines[2], "rows");
    const auto entries = lineTokens(lines[3], "legend");
    if (!cells || !cols || !rows || !entries ||
        cells->size() != index((maxCol_ + 1) * (maxRow_ + 1)) ||
        cols->size() != index(maxCol_ + 1) || rows->size() != index(maxRow_ + 1) ||
        entries->size() != legend_.size()) {
        return false;
    }

    // Everything is checked on a copy; the game changes only when all of it fits.
    ShipGame next(*this);
    std::size_t k = 0;
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const auto v = parseToken((*cells)[k++], 3);
            if (!v || (*v)[1] > static_cast<int>(CellFace::Wrong)) {
                return false;
            }
            ElementState& c = next.cell(x, y);
            const int code = (*v)[0];
            const auto face = static_cast<CellFace>((*v)[1]);
            const int beneath = (*v)[2];
            bool fits = false;
            switch (face) {
                case CellFace::Normal:
                    fits = !c.IsFixed && isMarkCode(code);
                    break;
                case CellFace::Clue:
                    fits = c.IsFixed && code == c.ShipIndex;
                    break;
                case CellFace::Revealed:
                    fits = !c.IsFixed && c.HasShip && code == c.ShipIndex;
                    break;
                case CellFace::Found:
                case CellFace::FoundRevealed:
                    fits = !c.IsFixed && c.HasShip && code == imgRightMark;
                    break;
                case CellFace::Wrong:
                    fits = !c.HasShip && code == imgWrongMark &&
                           (isSegmentCode(beneath) || beneath == imgQuestion);
                    break;
            }
            if (!fits) {
                return false;
            }
            c.ImageIndex = code;
            c.Face = face;
            c.Beneath = face == CellFace::Wrong ? beneath : imgCovered;
        }
    }
    for (const bool columns : {true, false}) {
        const std::vector<std::string_view>& tokens = columns ? *cols : *rows;
        for (std::size_t n = 0; n < tokens.size(); ++n) {
            const auto v = parseToken(tokens[n], 2);
            if (!v || (*v)[0] > 1 || (*v)[1] > maxBoardSize) {
                return false;
            }
            // The sum is checked for its form only: it is counted again below.
            ElementState& number =
                columns ? next.colNumber(static_cast<int>(n)) : next.rowNumber(static_cast<int>(n));
            number.IsCovered = (*v)[0] == 1;
        }
    }
    for (std::size_t n = 0; n < entries->size(); ++n) {
        const auto v = parseToken((*entries)[n], 3);
        ElementState& e = next.legend_[n];
        if (!v || (*v)[2] > 1) {
            return false;
        }
        const bool plain = (*v)[0] == e.ShipIndex && (*v)[1] == static_cast<int>(CellFace::Normal);
        const bool ticked = (*v)[0] == imgWrongMark && (*v)[1] == static_cast<int>(CellFace::Wrong);
        if (!plain && !ticked) {
            return false;
        }
        e.ImageIndex = (*v)[0];
        e.Face = static_cast<CellFace>((*v)[1]);
        e.Beneath = ticked ? e.ShipIndex : imgCovered;
        e.IsCovered = (*v)[2] == 1;
    }
    next.UpdateSums();
    next.history_.clear();
    next.done_ = 0;
    *this = std::move(next);
    return true;
}

// --- The history as text ---
//
// "history-base" and the play before the oldest step, its lines joined by '|'; "history", the
// number of steps in effect, then one token per step: its moves separated by ',', each move
// kind.water.x.y.code with x, y and code one above their values.

std::string ShipGame::exportHistory() {
    // The base is the board with every step in effect taken back; they are done again at once.
    std::vector<ElementState*> elements;
    for (const ElementRef& ref : allElements()) {
        elements.push_back(mutableElement(ref));
    }
    for (std::size_t k = done_; k-- > 0;) {
        for (const Change& change : history_[k].changes) {
            setPlayFields(*elements[change.element], change.before);
        }
    }
    std::string base = exportPlay();
    for (std::size_t k = 0; k < done_; ++k) {
        for (const Change& change : history_[k].changes) {
            setPlayFields(*elements[change.element], change.after);
        }
    }
    std::replace(base.begin(), base.end(), '\n', '|');
    std::string out = "history-base " + base + "\nhistory " + std::to_string(done_);
    for (const Step& step : history_) {
        char separator = ' ';
        for (const std::uint32_t packed : step.moves) {
            // Each number written one above the value given here: the kind and the water flag
            // as they are, x, y and the code one above theirs, all below 256.
            const Move move = unpackMove(packed);
            out += separator;
            for (const int value : {static_cast<int>(move.kind) - 1, move.water ? 0 : -1, move.x,
                                    move.y, move.code}) {
                if (value + 1 >= 100) {
                    out += static_cast<char>('0' + (value + 1) / 100);
                }
                if (value + 1 >= 10) {
                    out += static_cast<char>('0' + (value + 1) / 10 % 10);
                }
                out += static_cast<char>('0' + (value + 1) % 10);
                out += '.';
            }
            out.pop_back();
            separator = ',';
        }
    }
    out += '\n';
    return out;
}

bool ShipGame::importHistory(const std::string& text) {
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string::npos || text.size() < lineEnd + 2 || text.back() != '\n') {
        return false;
    }
    const std::string_view first(text.data(), lineEnd);
    const std::string_view second(text.data() + lineEnd + 1, text.size() - lineEnd - 2);
    constexpr std::string_view baseName = "history-base ";
    if (first.substr(0, baseName.size()) != baseName) {
        return false;
    }
    std::string base(first.substr(baseName.size()));
    std::replace(base.begin(), base.end(), '|', '\n');
    const auto tokens = lineTokens(second, "history");
    if (!tokens || tokens->empty() || tokens->size() - 1 > maxHistorySteps) {
        return false;
    }
    std::size_t done = 0;
    const std::string_view doneText = tokens->front();
    if (doneText.empty() || doneText.size() > 4 ||
        !std::all_of(doneText.begin(), doneText.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    for (const char c : doneText) {
        done = done * 10 + static_cast<std::size_t>(c - '0');
    }
    if (done > tokens->size() - 1) {
        return false;
    }
    // Played again from the base on a copy: every step must change something, as it once did,
    // and taking back the steps not in effect must arrive at the board as it is now.
    ShipGame replay(*this);
    if (!replay.importPlay(base)) {
        return false;
    }
    for (std::size_t k = 1; k < tokens->size(); ++k) {
        std::vector<Move> moves;
        std::string_view step = (*tokens)[k];
        for (;;) {
            const std::size_t comma = std::min(step.find(','), step.size());
            const auto v = parseToken(step.substr(0, comma), 5);
            if (!v || (*v)[0] > static_cast<int>(Move::Kind::ShowSolution) || (*v)[1] > 1 ||
                (*v)[2] > 0xFF || (*v)[3] > 0xFF || (*v)[4] > 0xFF) {
                return false;
            }
            moves.push_back(unpackMove(packMove(Move{static_cast<Move::Kind>((*v)[0]), (*v)[2] - 1,
                                                     (*v)[3] - 1, (*v)[4] - 1, (*v)[1] == 1})));
            if (comma == step.size()) {
                break;
            }
            step.remove_prefix(comma + 1);
        }
        if (replay.apply(moves).empty()) {
            return false;
        }
    }
    while (replay.done_ > done) {
        replay.undo();
    }
    // The sums are compared neither: after a solution display they keep the count of the move
    // before it, which the replay knows and a board alone does not; the replay's are taken.
    for (const ElementRef& ref : allElements()) {
        ElementState now = *element(ref);
        now.ReihenSumme = replay.element(ref)->ReihenSumme;
        if (!(*replay.element(ref) == now)) {
            return false;
        }
    }
    colNumbers_ = replay.colNumbers_;
    rowNumbers_ = replay.rowNumbers_;
    history_ = std::move(replay.history_);
    done_ = replay.done_;
    return true;
}

}  // namespace quorvik
