// Writing and reading puzzle codes: the puzzle packed into bits, the bits in base 32, a check
// digit over GF(32) at the end.
#include "PuzzleCode.h"

#include <algorithm>
#include <bit>

namespace quorvik {

namespace {

constexpr std::string_view digits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int digitBits = 5;
// Counts larger than this fit no board of 31 x 31; a code claiming one is damaged.
constexpr int maxCount = 999;
constexpr int maxCountGroups = 4;

const std::string invalidCode = "Der Rätselcode beschreibt kein gültiges Rätsel.";

// Multiplication in GF(32) with the field polynomial x^5 + x^2 + 1.
int gfTimes(int a, int b) {
    int product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1) {
            product ^= a;
        }
        a <<= 1;
        if (a & 0x20) {
            a ^= 0x25;
        }
    }
    return product;
}

int checkDigit(const std::vector<int>& data) {
    int sum = 0;
    for (const int d : data) {
        sum = gfTimes(sum, 2) ^ d;
    }
    return gfTimes(sum, 2);
}

// Bits needed for the values 0 to `largest`.
int bitsFor(int largest) {
    return std::max(1, static_cast<int>(std::bit_width(static_cast<unsigned>(largest))));
}

class BitWriter {
public:
    void put(int value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            bits_.push_back(((value >> i) & 1) != 0);
        }
    }
    void putCount(int value) {
        int groups = 1;
        while ((value >> (3 * groups)) != 0) {
            ++groups;
        }
        for (int g = groups - 1; g >= 0; --g) {
            put(g > 0 ? 1 : 0, 1);
            put((value >> (3 * g)) & 7, 3);
        }
    }
    std::vector<int> digitValues() const {
        std::vector<int> values;
        for (std::size_t i = 0; i < bits_.size(); i += digitBits) {
            int value = 0;
            for (std::size_t b = i; b < i + digitBits; ++b) {
                value = value << 1 | (b < bits_.size() && bits_[b] ? 1 : 0);
            }
            values.push_back(value);
        }
        return values;
    }

private:
    std::vector<bool> bits_;
};

// Reads bits in the writer's order; reading past the end sets `exhausted` and gives zeros.
class BitReader {
public:
    explicit BitReader(const std::vector<int>& values) {
        for (const int v : values) {
            for (int i = digitBits - 1; i >= 0; --i) {
                bits_.push_back(((v >> i) & 1) != 0);
            }
        }
    }
    int get(int width) {
        int value = 0;
        for (int i = 0; i < width; ++i) {
            exhausted = exhausted || position_ >= bits_.size();
            value = value << 1 | (!exhausted && bits_[position_] ? 1 : 0);
            ++position_;
        }
        return value;
    }
    // A count, or -1 when it has more groups than any count needs.
    int getCount() {
        int value = 0;
        for (int group = 0; group < maxCountGroups; ++group) {
            const bool more = get(1) != 0;
            value = value << 3 | get(3);
            if (!more) {
                return value;
            }
        }
        return -1;
    }
    // Whether what is left is the padding of the last digit: fewer than five zero bits.
    bool onlyPaddingLeft() const {
        return bits_.size() - std::min(position_, bits_.size()) < digitBits &&
               std::none_of(
                   bits_.begin() + static_cast<std::ptrdiff_t>(std::min(position_, bits_.size())),
                   bits_.end(), [](bool b) { return b; });
    }
    bool exhausted = false;

private:
    std::vector<bool> bits_;
    std::size_t position_ = 0;
};

void putNumbers(BitWriter& out, const std::vector<int>& numbers, int length) {
    for (const int n : numbers) {
        out.put(n < 0 ? length + 1 : n, bitsFor(length + 1));
    }
}

bool getNumbers(BitReader& in, std::vector<int>& numbers, int count, int length) {
    for (int i = 0; i < count; ++i) {
        const int value = in.get(bitsFor(length + 1));
        if (value > length + 1) {
            return false;
        }
        numbers.push_back(value == length + 1 ? -1 : value);
    }
    return true;
}

std::optional<Puzzle> unpack(BitReader& in) {
    Puzzle p;
    p.columns = in.get(5) + 1;
    p.rows = in.get(5) + 1;
    if (!getNumbers(in, p.columnNumbers, p.columns, p.rows) ||
        !getNumbers(in, p.rowNumbers, p.rows, p.columns)) {
        return std::nullopt;
    }
    const int longest = in.get(5);
    p.fleet.assign(static_cast<std::size_t>(longest) + 1, 0);
    for (int length = 1; length <= longest; ++length) {
        const int count = in.getCount();
        if (count < 0 || count > maxCount) {
            return std::nullopt;
        }
        p.fleet[static_cast<std::size_t>(length)] = count;
    }
    if (p.fleet.back() == 0 && longest > 0) {
        return std::nullopt;  // never written so: the longest length has ships
    }
    const int clueCount = in.getCount();
    const int cells = p.columns * p.rows;
    if (clueCount < 0 || clueCount > cells) {
        return std::nullopt;
    }
    int index = -1;
    for (int i = 0; i < clueCount; ++i) {
        const int gap = in.getCount();
        index += 1 + gap;
        const auto mark = static_cast<Mark>(in.get(3) + 1);
        if (gap < 0 || index >= cells) {
            return std::nullopt;
        }
        p.clues.push_back({index / p.rows, index % p.rows, mark});
    }
    if (in.exhausted || !in.onlyPaddingLeft()) {
        return std::nullopt;
    }
    return p;
}

}  // namespace

std::string puzzleCode(const Puzzle& puzzle) {
    BitWriter out;
    out.put(puzzle.columns - 1, 5);
    out.put(puzzle.rows - 1, 5);
    putNumbers(out, puzzle.columnNumbers, puzzle.rows);
    putNumbers(out, puzzle.rowNumbers, puzzle.columns);
    const int longest = longestShip(puzzle.fleet);
    out.put(longest, 5);
    for (int length = 1; length <= longest; ++length) {
        out.putCount(puzzle.fleet[static_cast<std::size_t>(length)]);
    }
    out.putCount(static_cast<int>(puzzle.clues.size()));
    int index = -1;
    for (const Clue& clue : puzzle.clues) {
        const int at = clue.x * puzzle.rows + clue.y;
        out.putCount(at - index - 1);
        out.put(static_cast<int>(clue.mark) - 1, 3);
        index = at;
    }
    std::vector<int> values = out.digitValues();
    values.push_back(checkDigit(values));
    std::string code = "R";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 5 == 0) {
            code += '-';
        }
        code += digits[static_cast<std::size_t>(values[i])];
    }
    return code;
}

PuzzleReading readPuzzleCode(std::string_view code) {
    std::vector<int> values;
    bool prefixSeen = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-') {
            continue;
        }
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (!prefixSeen) {
            if (c != 'R') {
                return {std::nullopt, "Ein Rätselcode beginnt mit „R-“."};
            }
            prefixSeen = true;
            continue;
        }
        c = c == 'O' ? '0' : c == 'I' || c == 'L' ? '1' : c;
        const std::size_t value = digits.find(c);
        if (value == std::string_view::npos) {
            const auto byte = static_cast<unsigned char>(code[i]);
            const std::string shown =
                byte >= 0x20 && byte < 0x7f ? std::string(1, code[i]) : "\\x" + [byte] {
                    constexpr std::string_view hex = "0123456789abcdef";
                    return std::string{hex[byte >> 4], hex[byte & 15]};
                }();
            return {std::nullopt, "„" + shown + "“ gehört nicht in einen Rätselcode."};
        }
        values.push_back(static_cast<int>(value));
    }
    if (!prefixSeen) {
        return {std::nullopt, "Der Rätselcode ist leer."};
    }
    // Size and numbers take at least three digits, the check one more.
    if (values.size() < 4) {
        return {std::nullopt, "Der Rätselcode ist zu kurz."};
    }
    const int check = values.back();
    values.pop_back();
    if (checkDigit(values) != check) {
        return {std::nullopt,
                "Die Prüfstelle passt nicht: Der Rätselcode ist falsch abgeschrieben."};
    }
    BitReader in(values);
    std::optional<Puzzle> puzzle = unpack(in);
    if (!puzzle) {
        return {std::nullopt, invalidCode};
    }
    return {std::move(puzzle), {}};
}

}  // namespace quorvik
