// Reading and writing the text form of a puzzle. The reader checks the layout and the ranges a
// puzzle value keeps (sizes, numbers no larger than their line, ship lengths); whether the
// puzzle has a solution is the solver's and PuzzleCheck's question.
#include "PuzzleText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "PuzzleCode.h"

namespace quorvik {

namespace {

constexpr std::string_view cellSymbols = ".~*o^v<>#";
constexpr Mark cellMarks[] = {Mark::Covered, Mark::Water, Mark::Segment, Mark::Single, Mark::Top,
                              Mark::Bottom,  Mark::Left,  Mark::Right,   Mark::Middle};
// More ships of one length than this never fit a board of 31 x 31.
constexpr int maxShipCount = 999;

char symbolOf(Mark mark) {
    return cellSymbols[static_cast<std::size_t>(
        std::find(std::begin(cellMarks), std::end(cellMarks), mark) - std::begin(cellMarks))];
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The words of a line, split at blanks.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    while (!(line = trimmed(line)).empty()) {
        std::size_t end = 0;
        while (end < line.size() && !isBlank(line[end])) {
            ++end;
        }
        result.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return result;
}

// A line number: a number, or -1 for "?"; nothing for anything else.
std::optional<int> lineNumber(std::string_view word) {
    if (word == "?") {
        return -1;
    }
    return decimalWord(word, 3);
}

// The character at the start of `s` as shown in a message: a whole UTF-8 sequence, or a
// control character as \xNN.
std::string shownCharacter(std::string_view s) {
    const auto first = static_cast<unsigned char>(s.front());
    if (first < 0x20 || first == 0x7f) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", first);
        return escaped;
    }
    std::size_t length = 1;
    while (length < s.size() && length < 4 &&
           (static_cast<unsigned char>(s[length]) & 0xc0) == 0x80) {
        ++length;
    }
    return std::string(s.substr(0, length));
}

std::string quoted(std::string_view s) {
    std::string result = "„";
    while (!s.empty()) {
        const std::string c = shownCharacter(s);
        result += c;
        s.remove_prefix(c.size() > 1 && c[0] == '\\' ? 1 : c.size());
    }
    return result + "“";
}

PuzzleReading failure(int line, const std::string& what) {
    return {std::nullopt, "Zeile " + std::to_string(line) + ": " + what};
}

// Reads "Flotte: 1x4 2x3 ..." into `fleet`; an empty text when it succeeds.
std::string readFleet(std::string_view line, std::vector<int>& fleet) {
    constexpr std::string_view keyword = "flotte";
    const bool named = line.size() >= keyword.size() &&
                       std::equal(keyword.begin(), keyword.end(), line.begin(), [](char k, char c) {
                           return k == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
                       });
    if (!named) {
        return "Die erste Zeile nennt die Flotte, etwa „Flotte: 1x4 2x3 3x2 4x1“.";
    }
    line.remove_prefix(keyword.size());
    line = trimmed(line);
    if (!line.empty() && line.front() == ':') {
        line.remove_prefix(1);
    }
    fleet.assign(1, 0);
    for (const std::string_view word : words(line)) {
        std::size_t cross = word.find_first_of("xX");
        std::size_t crossSize = 1;
        if (const std::size_t times = word.find("×"); times != std::string_view::npos) {
            cross = times;
            crossSize = std::string_view("×").size();
        }
        // Without a cross the length is missing, whatever the count.
        const int count = decimalWord(word.substr(0, cross), 3).value_or(-1);
        const int length = cross == std::string_view::npos
                               ? -1
                               : decimalWord(word.substr(cross + crossSize), 3).value_or(-1);
        if (count < 0 || length < 0 || count > maxShipCount) {
            return quoted(word) + " ist keine Angabe der Form Anzahl x Länge, etwa 2x3.";
        }
        if (length < 1 || length > maxPuzzleSide) {
            return "Schiffe sind 1 bis 31 Felder lang, nicht " + std::to_string(length) + ".";
        }
        if (static_cast<int>(fleet.size()) <= length) {
            fleet.resize(static_cast<std::size_t>(length) + 1, 0);
        }
        fleet[static_cast<std::size_t>(length)] += count;
    }
    while (fleet.size() > 1 && fleet.back() == 0) {
        fleet.pop_back();
    }
    return {};
}

}  // namespace

PuzzleReading readPuzzleText(std::string_view text) {
    // Some editors open a UTF-8 file with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    // The lines that are not blank, with their numbers counted from 1.
    std::vector<std::pair<int, std::string_view>> lines;
    int lineCount = 0;
    while (!text.empty() || lineCount == 0) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        ++lineCount;
        if (const std::string_view line = trimmed(text.substr(0, end)); !line.empty()) {
            lines.emplace_back(lineCount, line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    if (lines.empty()) {
        return {std::nullopt, "Der Text enthält kein Rätsel."};
    }
    Puzzle puzzle;
    if (std::string problem = readFleet(lines[0].second, puzzle.fleet); !problem.empty()) {
        return failure(lines[0].first, problem);
    }
    if (lines.size() < 2) {
        return {std::nullopt, "Nach der Flotte fehlen die Zahlen der Spalten."};
    }
    const int headerLine = lines[1].first;
    for (const std::string_view word : words(lines[1].second)) {
        const std::optional<int> number = lineNumber(word);
        if (!number) {
            return failure(headerLine,
                           quoted(word) + " ist keine Spaltenzahl (eine Zahl oder „?“).");
        }
        puzzle.columnNumbers.push_back(*number);
    }
    puzzle.columns = static_cast<int>(puzzle.columnNumbers.size());
    if (puzzle.columns > maxPuzzleSide) {
        return failure(headerLine, std::to_string(puzzle.columns) + " Spalten, höchstens 31.");
    }
    if (lines.size() < 3) {
        return {std::nullopt, "Nach den Zahlen der Spalten fehlen die Zeilen des Bretts."};
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const auto& [lineNo, line] = lines[i];
        const int y = puzzle.rows;
        if (y == maxPuzzleSide) {
            return failure(lineNo, "mehr als 31 Zeilen.");
        }
        const std::size_t numberEnd =
            line.front() == '?' ? 1 : std::min(line.find_first_not_of("0123456789"), line.size());
        const std::optional<int> number = lineNumber(line.substr(0, numberEnd));
        if (!number) {
            return failure(lineNo, "Die Zeile beginnt nicht mit ihrer Zahl oder „?“.");
        }
        puzzle.rowNumbers.push_back(*number);
        int x = 0;
        for (std::string_view rest = line.substr(numberEnd); !rest.empty();) {
            if (isBlank(rest.front())) {
                rest.remove_prefix(1);
                continue;
            }
            char symbol = rest.front();
            symbol = symbol == 'O' ? 'o' : symbol == 'V' ? 'v' : symbol;
            const std::size_t index = cellSymbols.find(symbol);
            if (index == std::string_view::npos) {
                return failure(lineNo, quoted(shownCharacter(rest)) +
                                           " ist kein Feldzeichen (. ~ * o ^ v < > #).");
            }
            if (cellMarks[index] != Mark::Covered) {
                puzzle.clues.push_back({x, y, cellMarks[index]});
            }
            ++x;
            rest.remove_prefix(1);
        }
        if (x != puzzle.columns) {
            return failure(lineNo, std::to_string(x) + " Felder, erwartet " +
                                       std::to_string(puzzle.columns) + ".");
        }
        if (*number > puzzle.columns) {
            return failure(lineNo, "Die Zahl " + std::to_string(*number) +
                                       " ist größer als die Zeile mit " +
                                       std::to_string(puzzle.columns) + " Feldern.");
        }
        ++puzzle.rows;
    }
    for (int x = 0; x < puzzle.columns; ++x) {
        if (const int number = puzzle.columnNumbers[static_cast<std::size_t>(x)];
            number > puzzle.rows) {
            return failure(headerLine, "Die Zahl " + std::to_string(number) + " der Spalte " +
                                           std::to_string(x + 1) + " ist größer als die " +
                                           std::to_string(puzzle.rows) + " Felder der Spalte.");
        }
    }
    std::sort(puzzle.clues.begin(), puzzle.clues.end(),
              [](const Clue& a, const Clue& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    return {std::move(puzzle), {}};
}

std::string writePuzzleText(const Puzzle& puzzle, bool withSolution) {
    const auto numberText = [](int n) { return n < 0 ? std::string("?") : std::to_string(n); };
    const auto padded = [](const std::string& s, std::size_t width) {
        return std::string(width > s.size() ? width - s.size() : 0, ' ') + s;
    };
    std::string text = "Flotte:";
    for (std::size_t length = puzzle.fleet.size(); length-- > 1;) {
        if (puzzle.fleet[length] > 0) {
            text += ' ' + std::to_string(puzzle.fleet[length]) + 'x' + std::to_string(length);
        }
    }
    std::size_t cellWidth = 1;
    for (const int n : puzzle.columnNumbers) {
        cellWidth = std::max(cellWidth, numberText(n).size());
    }
    std::size_t rowWidth = 1;
    for (const int n : puzzle.rowNumbers) {
        rowWidth = std::max(rowWidth, numberText(n).size());
    }
    text += '\n' + std::string(rowWidth, ' ');
    for (const int n : puzzle.columnNumbers) {
        text += ' ' + padded(numberText(n), cellWidth);
    }
    text += '\n';
    // The solution when asked for and known, else the clues.
    std::vector<Mark> cells = withSolution ? puzzle.solution : std::vector<Mark>();
    if (cells.empty()) {
        cells.assign(static_cast<std::size_t>(puzzle.columns * puzzle.rows), Mark::Covered);
        for (const Clue& clue : puzzle.clues) {
            cells[static_cast<std::size_t>(clue.x * puzzle.rows + clue.y)] = clue.mark;
        }
    }
    for (int y = 0; y < puzzle.rows; ++y) {
        text += padded(numberText(puzzle.rowNumbers[static_cast<std::size_t>(y)]), rowWidth);
        for (int x = 0; x < puzzle.columns; ++x) {
            // A blank between cells, the symbol at the right of the column's width.
            text += std::string(cellWidth, ' ') +
                    symbolOf(cells[static_cast<std::size_t>(x * puzzle.rows + y)]);
        }
        text += '\n';
    }
    return text;
}

std::optional<int> decimalWord(std::string_view word, std::size_t maxDigits) {
    unsigned value = 0;  // unsigned, so that no sign is taken
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || word.size() > maxDigits || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

PuzzleReading readPuzzle(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    if (first != std::string_view::npos && (text[first] == 'R' || text[first] == 'r') &&
        text.substr(first, last - first).find('\n') == std::string_view::npos) {
        return readPuzzleCode(text);
    }
    return readPuzzleText(text);
}

}  // namespace quorvik
