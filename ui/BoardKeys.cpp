// Keyboard play: the cursor moves over the grid and, past its last column and row, over the row
// and column numbers; Tab takes it to the legend and back. Space does what a click does, the
// letters of the marks mark the cell, the menu key opens the cell's menu.
#include "BoardKeys.h"

#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace quorvik {

std::optional<Move> BoardKeys::clickMove(const ShipGame& game, const ElementRef& element) {
    const ElementState* state = game.element(element);
    if (state == nullptr) {
        return std::nullopt;
    }
    switch (element.kind) {
        case ElementKind::Grid:
            // Clues do not change, as with the mouse.
            return state->isClue ? std::nullopt : std::optional(Move::toggle(element.a, element.b));
        case ElementKind::ColNumber:
            return Move::fillColumn(element.a, state->isCovered);
        case ElementKind::RowNumber:
            return Move::fillRow(element.a, state->isCovered);
        case ElementKind::Legend:
            return state->isCovered ? Move::untick(element.a, element.b, element.c)
                                    : Move::tick(element.a, element.b, element.c);
    }
    return std::nullopt;
}

std::optional<Move> BoardKeys::markMove(const ShipGame& game, const ElementRef& cell, Mark mark) {
    const ElementState* state = game.element(cell);
    // Clues do not change.
    if (cell.kind == ElementKind::Grid && state != nullptr && !state->isClue) {
        return Move::mark(cell.a, cell.b, mark);
    }
    return std::nullopt;
}

bool BoardKeys::handleKey(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const int key = event->key();
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier));
    // The marks of the cell menu, by the first letter of their German names: Einer, Oben,
    // Links, Mitte, Rechts, Unten; "?" (or F for Frage) for "???", W for water; Delete or
    // Backspace covers the cell again.
    static const std::pair<QChar, Mark> markKeys[] = {
        {u'?', Mark::Segment}, {u'F', Mark::Segment}, {u'E', Mark::Single},
        {u'O', Mark::Top},     {u'L', Mark::Left},    {u'M', Mark::Middle},
        {u'R', Mark::Right},   {u'U', Mark::Bottom},  {u'W', Mark::Water}};
    std::optional<Mark> mark;
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        mark = Mark::Covered;
    } else if (event->text().size() == 1) {
        const QChar typed = event->text().at(0).toUpper();
        for (const auto& [ch, keyMark] : markKeys) {
            if (typed == ch) {
                mark = keyMark;
            }
        }
    }
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    const bool activate = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!arrow && !activate && !menuKey && !mark) {
        return false;
    }
    if (!shown_) {
        shown_ = true;
        placeFrame();
        return true;
    }
    if (arrow) {
        moveBy(int(key == Qt::Key_Right) - int(key == Qt::Key_Left),
               int(key == Qt::Key_Down) - int(key == Qt::Key_Up));
    } else if (menuKey) {
        openMenu();
    } else if (const std::optional<Move> move =
                   activate ? clickMove(game_, cursor_) : markMove(game_, cursor_, *mark)) {
        emit moveChosen(*move);
    }
    return true;
}

void BoardKeys::hideCursor() {
    if (std::exchange(shown_, false)) {
        placeFrame();
    }
}

void BoardKeys::moveBy(int dx, int dy) {
    if (cursor_.kind == ElementKind::Legend) {
        const int r = std::clamp(cursor_.a + dy, 0, game_.legendRowCount() - 1);
        const int s = std::clamp(cursor_.b + dx, 0, game_.legendShipCount(r) - 1);
        cursor_ = ElementRef::legend(r, s, 0);
    } else {
        // The grid with the row numbers as one more column and the column numbers as one more
        // row; their corner holds no element.
        const int maxCol = game_.maxCol();
        const int maxRow = game_.maxRow();
        int gx = cursor_.kind == ElementKind::RowNumber ? maxCol + 1 : cursor_.a;
        int gy = cursor_.kind == ElementKind::ColNumber   ? maxRow + 1
                 : cursor_.kind == ElementKind::RowNumber ? cursor_.a
                                                          : cursor_.b;
        const int nx = std::clamp(gx + dx, 0, maxCol + 1);
        const int ny = std::clamp(gy + dy, 0, maxRow + 1);
        if (nx <= maxCol || ny <= maxRow) {
            gx = nx;
            gy = ny;
        }
        cursor_ = gx > maxCol   ? ElementRef::row(gy)
                  : gy > maxRow ? ElementRef::column(gx)
                                : ElementRef::grid(gx, gy);
    }
    placeFrame();
}

void BoardKeys::switchArea() {
    // A hidden cursor only shows; there are two areas only, so either direction goes to the
    // other one.
    if (!shown_) {
        shown_ = true;
    } else if (cursor_.kind == ElementKind::Legend) {
        cursor_ = boardCursor_;
    } else {
        boardCursor_ = cursor_;
        cursor_ = ElementRef::legend(0, 0, 0);
    }
    placeFrame();
}

void BoardKeys::placeFrame() {
    // A level change may leave the cursor beyond the new board or legend.
    if (game_.element(cursor_) == nullptr) {
        cursor_ = cursor_.kind == ElementKind::Legend ? ElementRef::legend(0, 0, 0)
                                                      : ElementRef::grid(0, 0);
    }
    const bool framed = shown_ && game_.element(cursor_) != nullptr;
    board_.setFrames(FrameKind::Cursor, framed ? std::vector{cursor_} : std::vector<ElementRef>());
}

void BoardKeys::openMenu() {
    QMenu* menu = board_.cellMenu(cursor_);
    if (menu == nullptr) {
        return;
    }
    // The cell's own menu below the cell, its first entry active, so the arrows and Enter work
    // at once; a choice goes the way of a mouse choice.
    menu->setActiveAction(menu->actions().constFirst());
    menu->popup(board_.mapToGlobal(board_.elementRect(cursor_).bottomLeft() + QPoint(0, 1)));
}

}  // namespace quorvik
