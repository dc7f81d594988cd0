// The one mapping from what the game knows to the tile pictures: the picture of each mark, of
// each number, of the tick and the cross.
#pragma once

#include "Mark.h"

namespace quorvik {

// Pictures 0 to 19 are the numbers; picture n shows the number n.
inline constexpr int numberPictureLast = 19;

inline constexpr int singlePicture = 20;        // a ship of length 1
inline constexpr int bottomPicture = 21;        // lower end of a vertical ship
inline constexpr int leftPicture = 22;          // left end of a horizontal ship
inline constexpr int rightPicture = 23;         // right end of a horizontal ship
inline constexpr int topPicture = 24;           // upper end of a vertical ship
inline constexpr int middlePicture = 25;        // inner segment of either orientation
inline constexpr int middleAcrossPicture = 26;  // a band across the cell: shown by nothing
inline constexpr int middleDownPicture = 27;    // a band down the cell: shown by nothing
inline constexpr int waterPicture = 28;         // marked as water (light)
inline constexpr int coveredPicture = 29;       // still covered (dark)
inline constexpr int crossPicture = 30;    // laid over a wrong mark or a ticked-off legend ship
inline constexpr int tickPicture = 31;     // laid over a segment the player found
inline constexpr int segmentPicture = 32;  // "???": some segment, kind undecided

// The tile set holds one picture per index from 0 to 33 (33 is shown by nothing either).
inline constexpr int tilePictureCount = 34;

// The picture of a mark.
constexpr int markPicture(Mark mark) {
    // In the order of Mark.
    constexpr int pictures[] = {coveredPicture, waterPicture, segmentPicture,
                                singlePicture,  topPicture,   bottomPicture,
                                leftPicture,    rightPicture, middlePicture};
    return pictures[static_cast<int>(mark)];
}

}  // namespace quorvik
