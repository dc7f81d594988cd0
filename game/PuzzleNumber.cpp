// Puzzle numbers: formatting, the check digit and the tolerant reading of a typed number.
#include "PuzzleNumber.h"

#include "LevelTable.h"

#include <array>
#include <charconv>

namespace quorvik {

namespace {

constexpr std::string_view hexDigits = "0123456789ABCDEF";

// Symbol of the one-solution mode in the check; the letter that shows it is E as well.
constexpr unsigned uniqueSymbol = 0xE;

// The letters that follow the level, with their symbols in the check: the one-solution mode,
// and the difficulties leicht, mittel and schwer in the order of Difficulty.
struct Mode {
    char letter;
    unsigned symbol;
};
constexpr std::array<Mode, 4> modes{{{'E', uniqueSymbol}, {'L', 1}, {'M', 2}, {'S', 3}}};

unsigned modeSymbol(const PuzzleId& id) {
    return id.difficulty != Difficulty::Any ? static_cast<unsigned>(id.difficulty)
           : id.unique                      ? uniqueSymbol
                                            : 0u;
}

// Multiplication by x in GF(16) = GF(2)[x] / (x^4 + x + 1).
constexpr unsigned timesX(unsigned value) {
    value <<= 1;
    return (value & 0x10u) != 0 ? value ^ 0x13u : value;
}

// Sum of d_i x^(n - i + 1) over the symbols, by Horner's rule: add, then multiply by x.
unsigned weightedSum(const PuzzleId& id) {
    unsigned sum = timesX(timesX(static_cast<unsigned>(id.level) & 0xFu) ^ modeSymbol(id));
    for (int shift = 28; shift >= 0; shift -= 4) {
        sum = timesX(sum ^ ((id.seed >> shift) & 0xFu));
    }
    return sum;
}

constexpr std::string_view blanks = " \t\n\r\v\f";

// The length of the separator that starts `text`: an ASCII hyphen or blank, or one of the UTF-8
// dashes and no-break spaces players paste from other programs; 0 for anything else.
std::size_t separatorLength(std::string_view text) {
    if (text.front() == '-' || blanks.find(text.front()) != std::string_view::npos) {
        return 1;
    }
    static constexpr std::string_view others[] = {"\u2010", "\u2011", "\u2012", "\u2013",
                                                  "\u2014", "\u2015", "\u2212", "\uFE63",
                                                  "\uFF0D", "\u00A0", "\u202F", "\u2009"};
    for (const std::string_view other : others) {
        if (text.starts_with(other)) {
            return other.size();
        }
    }
    return 0;
}

char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper case, and the letters that are misread digits turned into those digits.
char normalized(char c) {
    c = upperCase(c);
    return c == 'O' ? '0' : c == 'I' || c == 'L' ? '1' : c;
}

}  // namespace

char puzzleNumberCheck(const PuzzleId& id) {
    // Appending c adds c x after one more multiplication of the sum: sum x + c x = 0 holds for
    // c = sum, since adding is XOR.
    return hexDigits[weightedSum(id)];
}

std::string formatPuzzleNumber(const PuzzleId& id) {
    if (!isValidLevel(id.level)) {
        return {};
    }
    std::string number(1, static_cast<char>('0' + id.level));
    for (const Mode& mode : modes) {
        if (mode.symbol == modeSymbol(id)) {
            number += mode.letter;
        }
    }
    number += '-';
    for (int shift = 28; shift >= 0; shift -= 4) {
        number += hexDigits[(id.seed >> shift) & 0xFu];
    }
    number += '-';
    number += puzzleNumberCheck(id);
    return number;
}

namespace {

struct Reading {
    std::optional<PuzzleId> id;
    PuzzleNumberProblem problem = PuzzleNumberProblem::None;
};

Reading readPuzzleNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {std::nullopt, PuzzleNumberProblem::Empty};
    }
    text = text.substr(first, text.find_last_not_of(blanks) + 1 - first);
    // Each run of separators is one hyphen.
    std::string number;
    while (!text.empty()) {
        if (const std::size_t length = separatorLength(text); length > 0) {
            if (number.empty() || number.back() != '-') {
                number += '-';
            }
            text.remove_prefix(length);
        } else {
            // The mode letter's place takes L as a mode, not as a misread 1.
            number += number.size() == 1 ? upperCase(text.front()) : normalized(text.front());
            text.remove_prefix(1);
        }
    }
    const Reading malformed{std::nullopt, PuzzleNumberProblem::Malformed};

    // <level>[mode]-<eight digits>-<check>: 12 characters, 13 with the mode letter.
    const bool unique = number.size() == 13;
    if (number.size() != 12 && !unique) {
        return malformed;
    }
    unsigned mode = 0;
    for (const Mode& m : modes) {
        if (unique && number[1] == m.letter) {
            mode = m.symbol;
        }
    }
    if (unique && mode == 0) {
        return malformed;
    }
    const std::string_view seedPart = std::string_view(number).substr(unique ? 3 : 2, 8);
    const std::size_t afterLevel = unique ? 2 : 1;
    if (number[afterLevel] != '-' || number[afterLevel + 9] != '-' ||
        hexDigits.find(number.back()) == std::string_view::npos) {
        return malformed;
    }
    // Upper case by now, so that from_chars takes the digits as they are shown.
    std::uint32_t seed = 0;
    const char* seedEnd = seedPart.data() + seedPart.size();
    if (std::from_chars(seedPart.data(), seedEnd, seed, 16).ptr != seedEnd) {
        return malformed;
    }
    const int level = number[0] - '0';
    if (level < 0 || level > 9) {
        return malformed;
    }
    if (!isValidLevel(level)) {
        return {std::nullopt, PuzzleNumberProblem::UnknownLevel};
    }
    const PuzzleId id{level, seed, unique,
                      mode == uniqueSymbol ? Difficulty::Any : static_cast<Difficulty>(mode)};
    if (number.back() != puzzleNumberCheck(id)) {
        return {std::nullopt, PuzzleNumberProblem::WrongCheck};
    }
    return {id, PuzzleNumberProblem::None};
}

}  // namespace

std::optional<PuzzleId> parsePuzzleNumber(std::string_view text) {
    return readPuzzleNumber(text).id;
}

PuzzleNumberProblem puzzleNumberProblem(std::string_view text) {
    return readPuzzleNumber(text).problem;
}

std::uint32_t dailySeed(std::int64_t julianDay, int level, int attempt) {
    std::uint64_t z = (static_cast<std::uint64_t>(julianDay) << 16) ^
                      (static_cast<std::uint64_t>(level) << 12) ^
                      static_cast<std::uint64_t>(attempt & 0xFFF);
    z += 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

}  // namespace quorvik
