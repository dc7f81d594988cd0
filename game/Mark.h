// What a grid cell can hold in the game's own terms: the player's marks, the clues, the hidden
// segments and the solution all speak of cells as one of these marks.
#pragma once

#include <cstdint>

namespace quorvik {

enum class Mark : std::uint8_t {
    Covered,
    Water,
    Segment,  // a segment whose kind is not given
    Single,
    Top,
    Bottom,
    Left,
    Right,
    Middle,
};

// Whether `mark` is a ship segment: Segment or one of the six shapes.
constexpr bool isShipMark(Mark mark) {
    return mark != Mark::Covered && mark != Mark::Water;
}

// Whether `mark` is one of the six shapes a hidden ship's segment has.
constexpr bool isShape(Mark mark) {
    return mark >= Mark::Single && mark <= Mark::Middle;
}

}  // namespace quorvik
