// The whole puzzle without a window: the board and its elements, the level, the fleet generator,
// the clue selection, the player's cell commands with the line sums, the completion test and the
// solution display. Display operations go to a BoardDisplay in the order the pictures are laid.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "BoardDisplay.h"
#include "ElementState.h"
#include "LevelTable.h"
#include "RuntimeRandom.h"

namespace quorvik {

// Command codes of a cell command besides the cell codes it sets directly.
inline constexpr int cmdToggleCell = 35;    // covered <-> water; any other mark -> covered
inline constexpr int cmdFillRow = 36;       // a = row, b = 1 for water, 0 for covered
inline constexpr int cmdFillColumn = 37;    // a = column, b as for cmdFillRow
inline constexpr int cmdTickLegend = 38;    // a = ShipNo, b = ShipRow
inline constexpr int cmdUntickLegend = 39;  // a = ShipNo, b = ShipRow

// Ship orientation as drawn by the generator.
inline constexpr int orientationHorizontal = 0;
inline constexpr int orientationVertical = 1;

// A ship that finds no place within this many tries abandons the attempt.
inline constexpr int maxTriesPerShip = 4000;

// The first value of a cell command: a in the high byte, b in the low byte.
constexpr unsigned cellCommandParam(int a, int b) {
    return (static_cast<unsigned>(a & 0xFF) << 8) | static_cast<unsigned>(b & 0xFF);
}

class ShipGame {
public:
    explicit ShipGame(BoardDisplay* display = nullptr,
                      RuntimeRandom::SeedSource seeds = RuntimeRandom::clockSeed);

    void setDisplay(BoardDisplay* display) { display_ = display; }
    RuntimeRandom& random() { return random_; }

    // --- Level and new game ---

    // Applies a level (outside 4..8 the beginner level), starts a new game and counts the sums.
    void SetLevel(int level);
    // Resets the board until a fleet fits; the caller counts the sums afterwards.
    void NewGame();
    // The board reset of one attempt: grid cells, number elements and a new legend.
    void ResetBoard();
    // Creates the legend entries of `level` anew.
    void BuildLegend(int level);
    // Hides the level's fleet and reveals the clues; false when a ship found no place.
    bool PlaceFleet(int level);
    // Whether a ship from (x, y) running right (0) or down (1) neither overlaps nor touches one.
    bool CanPlaceShip(int x, int y, int orientation, int length) const;
    // Makes (x, y) a hidden segment with `code` and counts it in its column and row.
    void PlaceSegment(int x, int y, int code);
    // Sets the mark of grid cell (x, y), which redraws it.
    void SetCellImage(int x, int y, int code);
    void RevealClues();
    bool HasFixedNeighbour(int x, int y) const;

    // --- Playing ---

    // Applies one cell command (first value a * 256 + b, second value the code), then shows the
    // solution if the board is solved, and last recounts the sums.
    void HandleCellCommand(unsigned param, int code);
    void UpdateSums();
    void MarkLegendShip(int shipNo, int shipRow, int code);
    bool CheckFinish() const;
    // The solution display: right marks, wrong marks and the missing segments on blue.
    void ShowSolution();
    void RevealShipCell(int x, int y);

    // --- State ---

    int level() const { return level_; }
    int maxCol() const { return maxCol_; }
    int maxRow() const { return maxRow_; }
    int clueCount() const { return clueCount_; }
    int attempts() const { return attempts_; }
    const std::string& levelText() const { return levelText_; }

    bool isOnBoard(int x, int y) const { return x >= 0 && x <= maxCol_ && y >= 0 && y <= maxRow_; }

    ElementState& cell(int x, int y) { return grid_[index(x)][index(y)]; }
    const ElementState& cell(int x, int y) const { return grid_[index(x)][index(y)]; }
    ElementState& colNumber(int x) { return colNumbers_[index(x)]; }
    const ElementState& colNumber(int x) const { return colNumbers_[index(x)]; }
    ElementState& rowNumber(int y) { return rowNumbers_[index(y)]; }
    const ElementState& rowNumber(int y) const { return rowNumbers_[index(y)]; }

    // The legend entry of segment i of ship s in legend row r, or nullptr if there is none.
    ElementState* legendEntry(int r, int s, int i);
    const ElementState* legendEntry(int r, int s, int i) const;
    // Every entry of the current legend, row by row, ship by ship, segment by segment.
    const std::vector<ElementState>& legend() const { return legend_; }
    int legendLevel() const { return legendLevel_; }

private:
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }

    // The element's image setter: stores the code and draws it when the element draws through
    // the image set and the code has a picture.
    void setImageIndex(ElementState& element, const ElementRef& ref, int code);
    void setBackground(Background background);
    void draw(const ElementRef& ref, int code);
    void fillLine(bool column, int line, bool water);

    BoardDisplay* display_;
    RuntimeRandom random_;

    std::array<std::array<ElementState, maxBoardSize>, maxBoardSize> grid_{};  // [column][row]
    std::array<ElementState, maxBoardSize> colNumbers_{};
    std::array<ElementState, maxBoardSize> rowNumbers_{};
    std::vector<ElementState> legend_;
    std::vector<int> legendRowStart_;  // index in legend_ of each legend row's first entry
    int legendLevel_ = 0;

    int level_ = 0;
    int maxCol_ = 0;
    int maxRow_ = 0;
    int clueCount_ = 0;
    int attempts_ = 0;
    std::string levelText_;
};

}  // namespace quorvik
