// Building a puzzle: the level's figures, the fleet drawn from a seed, the clues, and the
// searches for one solution and for a difficulty. The same seed gives the same draws.
#include "ShipGame.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace quorvik {

namespace {

// The shape of segment k of a ship of `length` cells lying across (legend ships do) or down.
Mark segmentShape(int length, int k, bool vertical) {
    if (length == 1) {
        return Mark::Single;
    }
    if (k == 0) {
        return vertical ? Mark::Top : Mark::Left;
    }
    if (k == length - 1) {
        return vertical ? Mark::Bottom : Mark::Right;
    }
    return Mark::Middle;
}

}  // namespace

// --- Level and new game ---

void ShipGame::applyLevel(int level) {
    const LevelInfo& info = levelInfo(level);
    level_ = info.level;
    clueCount_ = info.clueCount;
    maxCol_ = info.maxCol;
    maxRow_ = info.maxRow;
    fleet_ = info.fleet;
}

void ShipGame::setLevel(int level) {
    keepForUndo();
    applyLevel(level);
    buildNewGame();
}

bool ShipGame::newGameFromSeed(int level, std::uint32_t seed, bool unique, Difficulty difficulty) {
    if (!isValidLevel(level)) {
        return false;
    }
    // Built aside first, so that a seed that gives no game leaves the current one as it is.
    ShipGame trial(*this);
    trial.applyLevel(level);
    trial.resetBoard();
    trial.uniqueMode_ = unique;
    trial.difficulty_ = difficulty;
    const bool built = trial.placeFleetFromSeed(seed);
    trial.uniqueMode_ = uniqueMode_;
    trial.difficulty_ = difficulty_;
    if (!built) {
        return false;
    }
    trial.attempts_ = 0;
    trial.updateSums();
    trial.history_.clear();
    trial.done_ = 0;
    keepForUndo();
    trial.earlierGames_ = earlierGames_;
    trial.laterGames_.clear();
    *this = std::move(trial);
    return true;
}

void ShipGame::newGame() {
    keepForUndo();
    if (typedPuzzle_) {
        applyLevel(level_);  // back to the level's board and fleet
    }
    buildNewGame();
}

void ShipGame::buildNewGame() {
    int count = 0;
    // Looking for a medium or hard game: the clues drawn for Medium may make a puzzle easy, so
    // the next attempts are graded too until one has the grade asked for. The best puzzle so far
    // that misses it, by how close it comes, is kept should none of maxHardAttempts have it.
    // The difficulty asked for decides, not that of the game replaced: the first game after a
    // new choice, or of a new ShipGame, is searched too.
    const bool searched = difficulty_ == Difficulty::Medium || difficulty_ == Difficulty::Hard;
    const auto rank = [](Grade g) { return g == Grade::VeryHard ? -1 : static_cast<int>(g); };
    std::optional<std::pair<Grade, std::uint32_t>> best;
    for (int graded = 1;; ++graded) {
        do {
            resetBoard();
            ++count;
        } while (!placeFleet());
        if (!searched || grade() == gradeAskedFor(builtDifficulty_)) {
            break;
        }
        if (!best || rank(grade()) > rank(best->first)) {
            best = {grade(), gameSeed_};
        }
        if (graded == maxHardAttempts) {
            // The seed built a game once and builds the same again.
            resetBoard();
            placeFleetFromSeed(best->second);
            break;
        }
    }
    attempts_ = count >= 2 ? count : 0;
    updateSums();
    history_.clear();
    done_ = 0;
}

void ShipGame::resetBoard() {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            mutableCell(x, y) = {};
        }
        mutableColNumber(x) = {};
    }
    for (int y = 0; y <= maxRow_; ++y) {
        mutableRowNumber(y) = {};
    }
    legend_.clear();
    legendRowStart_.clear();
    legendLengths_.clear();
    // Row r holds every ship of the r-th longest length of the fleet, side by side.
    for (int length = maxBoardSize; length >= 1; --length) {
        const int ships = fleet_[index(length)];
        if (ships <= 0) {
            continue;
        }
        const int r = legendRowCount();
        legendLengths_.push_back(length);
        legendRowStart_.push_back(static_cast<int>(legend_.size()));
        for (int s = 0; s < ships; ++s) {
            for (int i = 0; i < length; ++i) {
                legend_.push_back({.mark = segmentShape(length, i, false),
                                   .isCovered = false,
                                   .shipLength = length - 1,
                                   .shipInRow = s,
                                   .legendRow = r});
            }
        }
    }
}

bool ShipGame::placeFleet() {
    random_.Randomize();
    return placeFleetFromSeed(random_.seed());
}

bool ShipGame::placeFleetFromSeed(std::uint32_t seed) {
    random_.setSeed(seed);
    gameSeed_ = seed;
    typedPuzzle_.reset();
    builtUnique_ = uniqueMode_ || difficulty_ != Difficulty::Any;
    builtDifficulty_ = difficulty_;
    extraClues_ = 0;
    oneSolution_.reset();
    grade_.reset();
    spread_ = {};
    for (int n = maxBoardSize; n >= 1; --n) {
        for (int ship = 0; ship < fleet_[index(n)]; ++ship) {
            int x = 0;
            int y = 0;
            bool down = false;
            for (int tries = 1;; ++tries) {
                down = static_cast<int>(random_.Random(2)) == orientationVertical;
                // Start ranges let a ship reach the last column and the last row.
                x = static_cast<int>(random_.Random(std::max(maxCol_ + (down ? 1 : 2 - n), 1)));
                y = static_cast<int>(random_.Random(std::max(maxRow_ + (down ? 2 - n : 1), 1)));
                if (tries > maxTriesPerShip) {
                    return false;
                }
                if (canPlaceShip(x, y, down ? orientationVertical : orientationHorizontal, n)) {
                    break;
                }
            }
            for (int k = 0; k < n; ++k) {
                placeSegment(down ? x : x + k, down ? y + k : y, segmentShape(n, k, down));
            }
        }
    }
    revealClues();
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
        const auto differs = [&](int x, int y) {
            const auto k = index(x * (maxRow_ + 1) + y);
            return found.solutions[0][k] != found.solutions[1][k];
        };
        // A clue where the two solutions differ rules out at least one of them, so the
        // solutions dwindle until one remains.
        if (!revealClue(differs)) {
            return false;
        }
        ++extraClues_;
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
        if (!revealClue([](int, int) { return true; })) {
            return false;
        }
        ++extraClues_;
    }
}

bool ShipGame::revealClue(const std::function<bool(int x, int y)>& fits) {
    const auto eligible = [&](int x, int y) {
        const ElementState& c = cell(x, y);
        return c.hasShip && !c.isClue && !hasClueNeighbour(x, y) && fits(x, y);
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
    // Drawn column, then row, from the whole board until a cell is eligible.
    for (;;) {
        const int x = static_cast<int>(random_.Random(maxCol_ + 1));
        const int y = static_cast<int>(random_.Random(maxRow_ + 1));
        if (eligible(x, y)) {
            ElementState& c = mutableCell(x, y);
            c.isClue = true;
            c.mark = c.ship;
            c.reveal = Reveal::Clue;
            return true;
        }
    }
}

bool ShipGame::canPlaceShip(int x, int y, int orientation, int length) const {
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
            if (cell(cx, cy).hasShip) {
                return false;
            }
        }
    }
    return true;
}

void ShipGame::placeSegment(int x, int y, Mark shape) {
    ElementState& c = mutableCell(x, y);
    showPlain(c, Mark::Covered);
    c.ship = shape;
    c.hasShip = true;
    ++mutableColNumber(x).number;
    ++mutableRowNumber(y).number;
}

void ShipGame::revealClues() {
    // The level table leaves enough eligible cells for every clue count.
    for (int k = 0; k < clueCount_; ++k) {
        revealClue([](int, int) { return true; });
    }
}

bool ShipGame::hasClueNeighbour(int x, int y) const {
    return (x > 0 && cell(x - 1, y).isClue) || (x < maxCol_ && cell(x + 1, y).isClue) ||
           (y > 0 && cell(x, y - 1).isClue) || (y < maxRow_ && cell(x, y + 1).isClue);
}

}  // namespace quorvik
