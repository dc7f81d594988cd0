// The board of the puzzle editor: a typed-in puzzle's numbers and clues drawn with the game's
// pictures, changed by mouse and keyboard. Column numbers stand above the grid and row numbers
// left of it, as in the text form.
#pragma once

#include <QWidget>

#include "Puzzle.h"

namespace quorvik {

class TileImageSet;

class PuzzleGrid : public QWidget {
    Q_OBJECT

public:
    PuzzleGrid(const TileImageSet& tiles, QWidget* parent = nullptr);

    const Puzzle& puzzle() const { return puzzle_; }
    // Shows `puzzle` (its size, numbers and clues); the cursor stays on the board.
    void setPuzzle(const Puzzle& puzzle);

    QSize sizeHint() const override;

signals:
    // The player changed a number or a clue.
    void edited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int pitch() const;
    // The clue of a cell, Covered for none.
    Mark clueAt(int x, int y) const;
    // Where the element at (x, y) lies, in the cursor's terms.
    QRect cellRect(int x, int y) const;
    // The element under `point` in the cursor's terms, or nothing off the board.
    std::optional<QPoint> elementAt(const QPoint& point) const;
    void setClue(int x, int y, Mark mark);
    // Steps a number by `step` through "?", 0, 1, ... up to the line's length.
    void stepNumber(int x, int y, int step);
    void setNumber(int x, int y, int number);
    int& numberAt(int x, int y);
    int lineLength(int x, int y) const;

    const TileImageSet& tiles_;
    Puzzle puzzle_;
    // The cursor: x -1 is the row numbers' column, y -1 the column numbers' row.
    QPoint cursor_{0, 0};
    // The number being typed digit by digit, and where.
    QPoint typing_{-2, -2};
};

}  // namespace quorvik
