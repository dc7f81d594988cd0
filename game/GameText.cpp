// The game in progress as text: the player's marks and the undo history, written out and
// read back with every check that keeps a damaged file from changing the game.
#include "ShipGame.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "PuzzleText.h"

namespace quorvik {

// --- The game in progress as text ---
//
// Four lines: "cells" with shown.reveal.beneath of every grid cell column by column, "cols"
// and "rows" with isCovered.markCount of every number, "legend" with shown.reveal.isCovered
// of every legend entry. The puzzle itself (fleet and clues) is not part of it: it is rebuilt
// from its seed first, and the text must fit it.
//
// "shown" and "beneath" are the file's codes of what the element shows: a mark, or the tick or
// the cross that lies over one; "beneath" is the mark under a cross, "covered" elsewhere.

namespace {

constexpr int storedCross = 30;
constexpr int storedTick = 31;

// The file's code of each mark, in the order of Mark.
constexpr std::array<int, 9> storedMarkCodes{29, 28, 32, 20, 24, 21, 22, 23, 25};

int storedCode(Mark mark) {
    return storedMarkCodes[static_cast<std::size_t>(mark)];
}

// The mark a code of the file stands for, or nothing for a code that is none.
std::optional<Mark> markOfStored(int code) {
    const auto* found = std::find(storedMarkCodes.begin(), storedMarkCodes.end(), code);
    return found == storedMarkCodes.end()
               ? std::nullopt
               : std::optional(static_cast<Mark>(found - storedMarkCodes.begin()));
}

// What the file says an element shows: the mark, or the tick or the cross over it.
int storedShown(const ElementState& e) {
    return e.reveal == Reveal::Wrong ? storedCross : e.markOpen() ? storedCode(e.mark) : storedTick;
}

// The pieces of `text` between its `separator`s: one piece for a text without any.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        if (end == text.size()) {
            return pieces;
        }
        start = end + 1;
    }
}

// The numbers of one "a.b.c" token of `parts` small numbers, or nothing when it is not one.
std::optional<std::vector<int>> parseToken(std::string_view token, std::size_t parts) {
    const std::vector<std::string_view> pieces = split(token, '.');
    if (pieces.size() != parts) {
        return std::nullopt;
    }
    std::vector<int> values;
    for (const std::string_view digits : pieces) {
        const std::optional<int> value = decimalWord(digits, 3);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

// The tokens of the line that starts with `name`, or nothing.
std::optional<std::vector<std::string_view>> lineTokens(std::string_view line,
                                                        std::string_view name) {
    std::vector<std::string_view> tokens = split(line, ' ');
    if (tokens.front() != name) {
        return std::nullopt;
    }
    tokens.erase(tokens.begin());
    return tokens;
}

}  // namespace

std::string ShipGame::exportPlay() const {
    const auto token = [](int a, int b, int c) {
        return ' ' + std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c);
    };
    std::string out = "cells";
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const ElementState& c = cell(x, y);
            const Mark beneath = c.reveal == Reveal::Wrong ? c.mark : Mark::Covered;
            out += token(storedShown(c), static_cast<int>(c.reveal), storedCode(beneath));
        }
    }
    for (const bool columns : {true, false}) {
        out += columns ? "\ncols" : "\nrows";
        for (int k = 0; k <= (columns ? maxCol_ : maxRow_); ++k) {
            const ElementState& n = columns ? colNumber(k) : rowNumber(k);
            out += ' ' + std::to_string(n.isCovered ? 1 : 0) + '.' + std::to_string(n.markCount);
        }
    }
    out += "\nlegend";
    for (const ElementState& e : legend_) {
        out += token(storedShown(e), static_cast<int>(e.reveal), e.isCovered ? 1 : 0);
    }
    out += '\n';
    return out;
}

bool ShipGame::importPlay(const std::string& text) {
    // Four lines, each ended by a line break: nothing follows the last.
    const std::vector<std::string_view> lines = split(text, '\n');
    if (lines.size() != 5 || !lines[4].empty()) {
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
    if (typedPuzzle_) {
        next.followPlay(*cells);
    }
    std::size_t k = 0;
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const auto v = parseToken((*cells)[k++], 3);
            if (!v || (*v)[1] > static_cast<int>(Reveal::Wrong)) {
                return false;
            }
            ElementState& c = next.mutableCell(x, y);
            const int code = (*v)[0];
            const auto reveal = static_cast<Reveal>((*v)[1]);
            const std::optional<Mark> shown = markOfStored(code);
            const std::optional<Mark> beneath = markOfStored((*v)[2]);
            std::optional<Mark> mark;
            switch (reveal) {
                case Reveal::None:
                    mark = c.isClue ? std::nullopt : shown;
                    break;
                case Reveal::Clue:
                    mark = c.isClue && shown == c.mark ? shown : std::nullopt;
                    break;
                case Reveal::Shown:
                    mark = !c.isClue && c.hasShip && shown == c.ship ? shown : std::nullopt;
                    break;
                case Reveal::Found:
                case Reveal::FoundShown:
                    if (!c.isClue && c.hasShip && code == storedTick) {
                        mark = c.ship;
                    }
                    break;
                case Reveal::Wrong:
                    if (!c.hasShip && code == storedCross && beneath && isShipMark(*beneath)) {
                        mark = beneath;
                    }
                    break;
            }
            if (!mark) {
                return false;
            }
            c.mark = *mark;
            c.reveal = reveal;
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
            ElementState& number = columns ? next.mutableColNumber(static_cast<int>(n))
                                           : next.mutableRowNumber(static_cast<int>(n));
            number.isCovered = (*v)[0] == 1;
        }
    }
    for (std::size_t n = 0; n < entries->size(); ++n) {
        const auto v = parseToken((*entries)[n], 3);
        ElementState& e = next.legend_[n];
        if (!v || (*v)[2] > 1) {
            return false;
        }
        const bool plain =
            (*v)[0] == storedCode(e.mark) && (*v)[1] == static_cast<int>(Reveal::None);
        const bool ticked = (*v)[0] == storedCross && (*v)[1] == static_cast<int>(Reveal::Wrong);
        if (!plain && !ticked) {
            return false;
        }
        e.reveal = ticked ? Reveal::Wrong : Reveal::None;
        e.isCovered = (*v)[2] == 1;
    }
    next.updateSums();
    next.history_.clear();
    next.done_ = 0;
    next.followMarks();
    *this = std::move(next);
    return true;
}

void ShipGame::followPlay(const std::vector<std::string_view>& cells) {
    // The solution a typed-in game showed is the one whose segments are filled in or ticked and
    // that has no ship under a cross; the player's marks choose among several such.
    std::vector<SolverCell> shown;
    std::vector<SolverCell> marks;
    std::size_t k = 0;
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_ && k < cells.size(); ++y) {
            const auto v = parseToken(cells[k++], 3);
            if (!v || cell(x, y).isClue) {
                continue;
            }
            const std::optional<Mark> mark = markOfStored((*v)[0]);
            switch (static_cast<Reveal>((*v)[1])) {
                case Reveal::None:
                    if (mark && *mark != Mark::Covered) {
                        marks.push_back({x, y, *mark});
                    }
                    break;
                case Reveal::Shown:
                    shown.push_back({x, y, mark.value_or(Mark::Covered)});
                    break;
                case Reveal::Found:
                case Reveal::FoundShown:
                    shown.push_back({x, y, Mark::Segment});
                    break;
                case Reveal::Wrong:
                    shown.push_back({x, y, Mark::Water});
                    break;
                case Reveal::Clue:
                    break;
            }
        }
    }
    std::vector<SolverCell> both = shown;
    both.insert(both.end(), marks.begin(), marks.end());
    if (!takeSolutionWith(both)) {
        takeSolutionWith(shown);
    }
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
            // as they are, x, y and the code one above theirs, all below 256. A mark's code is
            // the file's code of the mark, a legend tick's the segment.
            const Move move = unpackMove(packed);
            const int code = move.kind == Move::Kind::Mark ? storedCode(move.placed) : move.segment;
            out += separator;
            for (const int value :
                 {static_cast<int>(move.kind) - 1, move.water ? 0 : -1, move.x, move.y, code}) {
                out += std::to_string(value + 1) + '.';
            }
            out.pop_back();
            separator = ',';
        }
    }
    out += '\n';
    return out;
}

bool ShipGame::importHistory(const std::string& text) {
    const std::vector<std::string_view> lines = split(text, '\n');
    constexpr std::string_view baseName = "history-base ";
    if (lines.size() != 3 || !lines[2].empty() || !lines[0].starts_with(baseName)) {
        return false;
    }
    std::string base(lines[0].substr(baseName.size()));
    std::replace(base.begin(), base.end(), '|', '\n');
    const auto tokens = lineTokens(lines[1], "history");
    if (!tokens || tokens->empty() || tokens->size() - 1 > maxHistorySteps) {
        return false;
    }
    const std::optional<int> done = decimalWord(tokens->front(), 4);
    if (!done || static_cast<std::size_t>(*done) > tokens->size() - 1) {
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
        for (const std::string_view token : split((*tokens)[k], ',')) {
            const auto v = parseToken(token, 5);
            if (!v || (*v)[0] > static_cast<int>(Move::Kind::ShowSolution) || (*v)[1] > 1 ||
                (*v)[2] > 0xFF || (*v)[3] > 0xFF || (*v)[4] > 0xFF) {
                return false;
            }
            // A mark move with a code that is no mark covers the cell.
            const int code = (*v)[4] - 1;
            moves.push_back(unpackMove(
                packMove(Move{static_cast<Move::Kind>((*v)[0]), (*v)[2] - 1, (*v)[3] - 1,
                              markOfStored(code).value_or(Mark::Covered), code, (*v)[1] == 1})));
        }
        if (replay.apply(moves).empty()) {
            return false;
        }
    }
    while (replay.done_ > static_cast<std::size_t>(*done)) {
        replay.undo();
    }
    // The sums are compared neither: after a solution display they keep the count of the move
    // before it, which the replay knows and a board alone does not; the replay's are taken.
    for (const ElementRef& ref : allElements()) {
        ElementState now = *element(ref);
        now.markCount = replay.element(ref)->markCount;
        if (typedPuzzle_) {
            // A typed-in game's solution followed the marks step by step; the replay's is taken.
            now.hasShip = replay.element(ref)->hasShip;
            now.ship = replay.element(ref)->ship;
        }
        if (!(*replay.element(ref) == now)) {
            return false;
        }
    }
    colNumbers_ = replay.colNumbers_;
    rowNumbers_ = replay.rowNumbers_;
    grid_ = replay.grid_;
    history_ = std::move(replay.history_);
    done_ = replay.done_;
    return true;
}

}  // namespace quorvik
