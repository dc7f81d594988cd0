// The rules of the puzzle: generation, commands, sums, completion and the solution display.
#include "ShipGame.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace quorvik {

namespace {

ElementRef gridRef(int x, int y) {
    return {ElementKind::Grid, x, y, 0};
}
ElementRef colRef(int x) {
    return {ElementKind::ColNumber, x, 0, 0};
}
ElementRef rowRef(int y) {
    return {ElementKind::RowNumber, y, 0, 0};
}
ElementRef legendRef(int r, int s, int i) {
    return {ElementKind::Legend, r, s, i};
}

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

std::string formatHint(const char* format, int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

ShipGame::ShipGame(BoardDisplay* display, RuntimeRandom::SeedSource seeds)
    : display_(display), random_(std::move(seeds)) {}

void ShipGame::setBackground(Background background) {
    if (display_ != nullptr) {
        display_->setBackground(background);
    }
}

void ShipGame::draw(const ElementRef& ref, int code) {
    if (display_ != nullptr) {
        display_->drawElement(ref, code);
    }
}

void ShipGame::setImageIndex(ElementState& element, const ElementRef& ref, int code) {
    element.ImageIndex = code;
    // A code outside the image set is stored; the element keeps its old picture.
    if (element.ImageListAttached && code >= 0 && code < imageCount) {
        draw(ref, code);
    }
}

// --- Level and new game ---

void ShipGame::SetLevel(int level) {
    const LevelInfo& info = levelInfo(level);
    level_ = info.level;
    clueCount_ = info.clueCount;
    maxCol_ = info.maxCol;
    maxRow_ = info.maxRow;
    levelText_ = levelLabel(level_);
    if (display_ != nullptr) {
        display_->levelChanged();
    }
    NewGame();
    UpdateSums();
}

void ShipGame::NewGame() {
    if (display_ != nullptr) {
        display_->newGameStarted();
    }
    attempts_ = 0;
    int count = 0;
    do {
        ResetBoard();
        ++count;
        if (count >= 2) {
            attempts_ = count;
        }
    } while (!PlaceFleet(level_));
    if (display_ != nullptr) {
        display_->newGameFinished();
    }
}

void ShipGame::ResetBoard() {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = cell(x, y);
            c.Preset();
            c.Col = x;
            c.Row = y;
            // Attaching the image set draws the covered picture.
            c.ImageListAttached = true;
            setImageIndex(c, gridRef(x, y), c.ImageIndex);
        }
        ElementState& number = colNumber(x);
        number.Preset();
        number.Col = x;
        number.Row = -1;
        number.ShowHint = true;
        number.SetIsColElement(true);
        number.ImageIndex = 0;
    }
    for (int y = 0; y <= maxRow_; ++y) {
        ElementState& number = rowNumber(y);
        number.Preset();
        number.Col = -1;
        number.Row = y;
        number.ShowHint = true;
        number.SetIsRowElement(true);
        number.ImageIndex = 0;
    }
    BuildLegend(level_);
}

void ShipGame::BuildLegend(int level) {
    legend_.clear();
    legendRowStart_.clear();
    legendLevel_ = std::max(level, 0);
    // Row r holds r + 1 ships of length level - r.
    for (int r = 0; r < legendLevel_; ++r) {
        legendRowStart_.push_back(static_cast<int>(legend_.size()));
        const int length = legendLevel_ - r;
        for (int s = 0; s <= r; ++s) {
            for (int i = 0; i < length; ++i) {
                ElementState entry;
                entry.Preset();
                entry.IsLegend = true;
                entry.ShipLength = length - 1;
                entry.ShipNo = s;
                entry.ShipRow = r;
                legend_.push_back(entry);
            }
        }
    }
    if (display_ != nullptr) {
        display_->legendRebuilt();
    }
    for (int r = 0; r < legendLevel_; ++r) {
        const int length = legendLevel_ - r;
        for (int s = 0; s <= r; ++s) {
            for (int i = 0; i < length; ++i) {
                ElementState& entry = *legendEntry(r, s, i);
                const ElementRef ref = legendRef(r, s, i);
                entry.ImageListAttached = true;
                setImageIndex(entry, ref, entry.ImageIndex);
                const int code = legendSegmentCode(length, i);
                setImageIndex(entry, ref, code);
                entry.ShipIndex = code;
                entry.IsCovered = false;
            }
        }
    }
}

ElementState* ShipGame::legendEntry(int r, int s, int i) {
    return const_cast<ElementState*>(std::as_const(*this).legendEntry(r, s, i));
}

const ElementState* ShipGame::legendEntry(int r, int s, int i) const {
    if (r < 0 || r >= legendLevel_) {
        return nullptr;
    }
    const int length = legendLevel_ - r;
    if (s < 0 || s > r || i < 0 || i >= length) {
        return nullptr;
    }
    return &legend_[index(legendRowStart_[index(r)] + s * length + i)];
}

bool ShipGame::PlaceFleet(int level) {
    random_.Randomize();
    for (int n = level; n >= 1; --n) {
        for (int ship = 0; ship < shipCount(level, n); ++ship) {
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
    // Number elements do not draw through the image set; they are drawn once, on silver.
    for (int x = 0; x <= maxCol_; ++x) {
        draw(colRef(x), colNumber(x).ImageIndex);
    }
    for (int y = 0; y <= maxRow_; ++y) {
        draw(rowRef(y), rowNumber(y).ImageIndex);
    }
    RevealClues();
    return true;
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
    setImageIndex(c, gridRef(x, y), imgCovered);
    c.ShipIndex = code;
    c.HasShip = true;
    // Number elements only record the count; they are drawn once the fleet is complete.
    ++colNumber(x).ImageIndex;
    ++rowNumber(y).ImageIndex;
}

void ShipGame::SetCellImage(int x, int y, int code) {
    setImageIndex(cell(x, y), gridRef(x, y), code);
}

void ShipGame::RevealClues() {
    setBackground(Background::Grey);
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
        draw(gridRef(x, y), c.ShipIndex);
        c.IsFixed = true;
        setImageIndex(c, gridRef(x, y), c.ShipIndex);
    }
    setBackground(Background::Silver);
}

bool ShipGame::HasFixedNeighbour(int x, int y) const {
    return (x > 0 && cell(x - 1, y).IsFixed) || (x < maxCol_ && cell(x + 1, y).IsFixed) ||
           (y > 0 && cell(x, y - 1).IsFixed) || (y < maxRow_ && cell(x, y + 1).IsFixed);
}

// --- Playing ---

void ShipGame::HandleCellCommand(unsigned param, int code) {
    const int a = static_cast<int>(param >> 8);
    const int b = static_cast<int>(param & 0xFF);
    // A command naming an element outside the current board is not applied: the board's
    // storage ends there, and no element of the player's board lies beyond it.
    switch (code) {
        case imgShipSingle:
        case imgShipBottom:
        case imgShipLeft:
        case imgShipRight:
        case imgShipTop:
        case imgShipMiddle:
        case imgWater:
        case imgCovered:
        case imgQuestion:
            if (isOnBoard(a, b)) {
                SetCellImage(a, b, code);
            }
            break;
        case cmdToggleCell:
            if (isOnBoard(a, b)) {
                SetCellImage(a, b, cell(a, b).ImageIndex == imgCovered ? imgWater : imgCovered);
            }
            break;
        case cmdFillRow:
            fillLine(false, a, b == 1);
            break;
        case cmdFillColumn:
            fillLine(true, a, b == 1);
            break;
        case cmdTickLegend:
        case cmdUntickLegend:
            MarkLegendShip(a, b, code);
            break;
        default:
            if (isOnBoard(a, b)) {
                SetCellImage(a, b, imgCovered);
            }
            break;
    }
    if (CheckFinish()) {
        ShowSolution();
    }
    UpdateSums();
}

void ShipGame::fillLine(bool column, int line, bool water) {
    const int last = column ? maxRow_ : maxCol_;
    if (line < 0 || line > (column ? maxCol_ : maxRow_)) {
        return;
    }
    // Ship marks, "???" and clues (which show their segment) are left alone.
    for (int k = 0; k <= last; ++k) {
        const int x = column ? line : k;
        const int y = column ? k : line;
        if (isWaterOrCovered(cell(x, y).ImageIndex)) {
            SetCellImage(x, y, water ? imgWater : imgCovered);
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
        ElementState& number = colNumber(x);
        for (int y = 0; y <= maxRow_; ++y) {
            if (isShipMark(cell(x, y).ImageIndex)) {
                ++number.ReihenSumme;
            }
        }
        number.Hint = formatHint("Spaltensumme: %d", number.ReihenSumme);
    }
    for (int y = 0; y <= maxRow_; ++y) {
        ElementState& number = rowNumber(y);
        for (int x = 0; x <= maxCol_; ++x) {
            if (isShipMark(cell(x, y).ImageIndex)) {
                ++number.ReihenSumme;
            }
        }
        number.Hint = formatHint("Zeilensumme: %d", number.ReihenSumme);
    }
    if (display_ != nullptr) {
        display_->sumsUpdated();
    }
}

void ShipGame::MarkLegendShip(int shipNo, int shipRow, int code) {
    const ElementState* first = legendEntry(shipRow, shipNo, 0);
    if (first == nullptr) {
        return;
    }
    const bool untick = code == cmdUntickLegend;
    // A tick lays the wrong mark over the ship picture; an untick draws the picture afresh.
    setBackground(untick ? Background::Silver : Background::None);
    for (int i = 0; i <= first->ShipLength; ++i) {
        ElementState& entry = *legendEntry(shipRow, shipNo, i);
        setImageIndex(entry, legendRef(shipRow, shipNo, i),
                      untick ? entry.ShipIndex : imgWrongMark);
    }
    setBackground(Background::Silver);
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
    setBackground(Background::Blue);
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = cell(x, y);
            if (c.HasShip) {
                RevealShipCell(x, y);
            } else if (!isWaterOrCovered(c.ImageIndex)) {
                // A ship mark or "???" where no ship lies: the wrong mark over it.
                setBackground(Background::None);
                setImageIndex(c, gridRef(x, y), imgWrongMark);
                setBackground(Background::Blue);
            }
        }
    }
    setBackground(Background::Silver);
}

void ShipGame::RevealShipCell(int x, int y) {
    ElementState& c = cell(x, y);
    if (c.ImageIndex != c.ShipIndex) {
        setImageIndex(c, gridRef(x, y), c.ShipIndex);
    } else if (!c.IsFixed) {
        setBackground(Background::None);
        setImageIndex(c, gridRef(x, y), imgRightMark);
        setBackground(Background::Blue);
    }
}

}  // namespace quorvik
