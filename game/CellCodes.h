// The cell codes: one integer space that is at once a grid cell's state, a number element's value
// and the index of the picture an element shows.
#pragma once

namespace quorvik {

// Codes 0 to 19 are the number pictures; code n shows the number n.
inline constexpr int imgNumberFirst = 0;
inline constexpr int imgNumberLast = 19;

inline constexpr int imgShipSingle = 20;   // a ship of length 1
inline constexpr int imgShipBottom = 21;   // lower end of a vertical ship
inline constexpr int imgShipLeft = 22;     // left end of a horizontal ship
inline constexpr int imgShipRight = 23;    // right end of a horizontal ship
inline constexpr int imgShipTop = 24;      // upper end of a vertical ship
inline constexpr int imgShipMiddle = 25;   // inner segment of either orientation
inline constexpr int imgShipMiddleH = 26;  // a picture exists, no operation selects it
inline constexpr int imgShipMiddleV = 27;  // a picture exists, no operation selects it
inline constexpr int imgWater = 28;        // marked as water (light)
inline constexpr int imgCovered = 29;      // still covered (dark); every cell starts so
inline constexpr int imgWrongMark = 30;    // laid over a wrong mark or a ticked-off legend ship
inline constexpr int imgRightMark = 31;    // laid over a segment the player found
inline constexpr int imgQuestion = 32;     // the player's "???": some segment, kind undecided

// The tile image set holds one picture per code from 0 to 33.
inline constexpr int imageCount = 34;

// Codes that count as a ship mark in a line sum: the six segment shapes and "???".
constexpr bool isShipMark(int code) {
    return (code >= imgShipSingle && code <= imgShipMiddle) || code == imgQuestion;
}

// Codes of the six segment shapes a hidden ship can have.
constexpr bool isSegmentCode(int code) {
    return code >= imgShipSingle && code <= imgShipMiddle;
}

// Cells without a player's ship mark: water and covered.
constexpr bool isWaterOrCovered(int code) {
    return code == imgWater || code == imgCovered;
}

// The codes a player's mark may give a cell: the six shapes, water, covered and "???".
constexpr bool isMarkCode(int code) {
    return isSegmentCode(code) || isWaterOrCovered(code) || code == imgQuestion;
}

}  // namespace quorvik
