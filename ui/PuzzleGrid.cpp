// The editor's board. A click on a cell steps its clue through the kinds (the right button
// backwards), a click on a number steps it through "?" and 0 up to the line's length; the keys
// are the text form's symbols and the digits, so what is typed reads as it would on paper.
#include "PuzzleGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <optional>

#include "TileImageSet.h"

namespace quorvik {

namespace {

// The clues in the order a click steps through them, none first.
constexpr std::array<Mark, 9> clueOrder = {Mark::Covered, Mark::Water, Mark::Segment,
                                           Mark::Single,  Mark::Top,   Mark::Bottom,
                                           Mark::Left,    Mark::Right, Mark::Middle};

// The clue a key of the text form gives; Covered for the keys that clear a cell.
std::optional<Mark> clueOfKey(const QString& text, int key) {
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace || key == Qt::Key_Space) {
        return Mark::Covered;
    }
    static const QString symbols = QStringLiteral(".~*o^v<>#");
    const qsizetype at = text.size() == 1 ? symbols.indexOf(text.at(0).toLower()) : -1;
    if (at < 0) {
        return text == QStringLiteral("w") || text == QStringLiteral("W")
                   ? std::optional(Mark::Water)
                   : std::nullopt;
    }
    return clueOrder[static_cast<std::size_t>(at)];
}

// The clue that follows `mark` when a cell is clicked (backwards for the right button).
Mark nextClue(Mark mark, bool backwards) {
    const auto* at = std::find(clueOrder.begin(), clueOrder.end(), mark);
    const auto k = static_cast<std::size_t>(at - clueOrder.begin());
    return clueOrder[(k + (backwards ? clueOrder.size() - 1 : 1)) % clueOrder.size()];
}

}  // namespace

PuzzleGrid::PuzzleGrid(const TileImageSet& tiles, QWidget* parent)
    : QWidget(parent), tiles_(tiles) {
    setObjectName(QStringLiteral("PuzzleGrid"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PuzzleGrid::setPuzzle(const Puzzle& puzzle) {
    puzzle_ = puzzle;
    cursor_ = {std::min(cursor_.x(), puzzle_.columns - 1), std::min(cursor_.y(), puzzle_.rows - 1)};
    typing_ = {-2, -2};
    updateGeometry();
    adjustSize();
    update();
}

Mark PuzzleGrid::clueAt(int x, int y) const {
    const auto at = std::find_if(puzzle_.clues.begin(), puzzle_.clues.end(),
                                 [x, y](const Clue& c) { return c.x == x && c.y == y; });
    return at != puzzle_.clues.end() ? at->mark : Mark::Covered;
}

int PuzzleGrid::pitch() const {
    // The largest boards still fit a laptop's screen beside the editor's controls.
    return std::clamp(640 / std::max({puzzle_.columns, puzzle_.rows, 1}), 18, 32);
}

QRect PuzzleGrid::cellRect(int x, int y) const {
    const int p = pitch();
    return {(x + 1) * p, (y + 1) * p, p, p};
}

QSize PuzzleGrid::sizeHint() const {
    return {(puzzle_.columns + 1) * pitch() + 1, (puzzle_.rows + 1) * pitch() + 1};
}

std::optional<QPoint> PuzzleGrid::elementAt(const QPoint& point) const {
    const int x = point.x() / pitch() - 1;
    const int y = point.y() / pitch() - 1;
    if (point.x() < 0 || point.y() < 0 || x >= puzzle_.columns || y >= puzzle_.rows ||
        (x < 0 && y < 0)) {
        return std::nullopt;
    }
    return QPoint(x, y);
}

int& PuzzleGrid::numberAt(int x, int y) {
    return x < 0 ? puzzle_.rowNumbers[static_cast<std::size_t>(y)]
                 : puzzle_.columnNumbers[static_cast<std::size_t>(x)];
}

int PuzzleGrid::lineLength(int x, int /*y*/) const {
    return x < 0 ? puzzle_.columns : puzzle_.rows;
}

void PuzzleGrid::setClue(int x, int y, Mark mark) {
    auto& clues = puzzle_.clues;
    std::erase_if(clues, [x, y](const Clue& c) { return c.x == x && c.y == y; });
    if (mark != Mark::Covered) {
        // Column by column, as the puzzle keeps them.
        const auto at = std::find_if(clues.begin(), clues.end(), [x, y](const Clue& c) {
            return c.x > x || (c.x == x && c.y > y);
        });
        clues.insert(at, {x, y, mark});
    }
    update(cellRect(x, y));
    emit edited();
}

void PuzzleGrid::setNumber(int x, int y, int number) {
    numberAt(x, y) = std::clamp(number, -1, lineLength(x, y));
    update(cellRect(x, y));
    emit edited();
}

void PuzzleGrid::stepNumber(int x, int y, int step) {
    const int length = lineLength(x, y);
    // "?" comes before 0 and after the line's length.
    const int next = (numberAt(x, y) + 1 + step + length + 2) % (length + 2) - 1;
    setNumber(x, y, next);
}

void PuzzleGrid::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int p = pitch();
    const qreal ratio = devicePixelRatioF();
    const TileImageSet& sized = tiles_.atSize(static_cast<int>((p - 2) * ratio));
    const auto draw = [&](ElementKind kind, const ElementState& state, const QRect& r) {
        QImage picture;
        sized.renderElement(kind, state, picture);
        picture.setDevicePixelRatio(ratio);
        painter.drawImage(r.adjusted(1, 1, -1, -1).topLeft(), picture);
    };
    painter.fillRect(rect(), palette().window());
    for (int x = 0; x < puzzle_.columns; ++x) {
        ElementState number;
        number.number = puzzle_.columnNumbers[static_cast<std::size_t>(x)];
        draw(ElementKind::ColNumber, number, cellRect(x, -1));
    }
    for (int y = 0; y < puzzle_.rows; ++y) {
        ElementState number;
        number.number = puzzle_.rowNumbers[static_cast<std::size_t>(y)];
        draw(ElementKind::RowNumber, number, cellRect(-1, y));
        for (int x = 0; x < puzzle_.columns; ++x) {
            ElementState cell;
            const Mark clue = clueAt(x, y);
            // A clue on grey as the game shows it, an open cell covered.
            cell.mark = clue;
            cell.reveal = clue == Mark::Covered ? Reveal::None : Reveal::Clue;
            draw(ElementKind::Grid, cell, cellRect(x, y));
        }
    }
    // The cursor: a dashed ring while the board has the focus, so that it shows which element
    // the keys change.
    if (hasFocus()) {
        QPen pen(QColor(0xFF, 0xD7, 0x00), 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(cellRect(cursor_.x(), cursor_.y()).adjusted(2, 2, -3, -3));
    }
}

void PuzzleGrid::mousePressEvent(QMouseEvent* event) {
    const std::optional<QPoint> at = elementAt(event->position().toPoint());
    if (!at || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        return;
    }
    const bool backwards = event->button() == Qt::RightButton;
    update(cellRect(cursor_.x(), cursor_.y()));
    cursor_ = *at;
    typing_ = {-2, -2};
    if (at->x() < 0 || at->y() < 0) {
        stepNumber(at->x(), at->y(), backwards ? -1 : 1);
    } else {
        setClue(at->x(), at->y(), nextClue(clueAt(at->x(), at->y()), backwards));
    }
}

void PuzzleGrid::wheelEvent(QWheelEvent* event) {
    const std::optional<QPoint> at = elementAt(event->position().toPoint());
    if (at && (at->x() < 0 || at->y() < 0) && event->angleDelta().y() != 0) {
        stepNumber(at->x(), at->y(), event->angleDelta().y() > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QWidget::wheelEvent(event);
}

void PuzzleGrid::keyPressEvent(QKeyEvent* event) {
    const int x = cursor_.x();
    const int y = cursor_.y();
    QPoint next = cursor_;
    switch (event->key()) {
        case Qt::Key_Left:
            next.rx() = std::max(y < 0 ? 0 : -1, x - 1);
            break;
        case Qt::Key_Right:
            next.rx() = std::min(puzzle_.columns - 1, x + 1);
            break;
        case Qt::Key_Up:
            next.ry() = std::max(x < 0 ? 0 : -1, y - 1);
            break;
        case Qt::Key_Down:
            next.ry() = std::min(puzzle_.rows - 1, y + 1);
            break;
        default:
            break;
    }
    if (next != cursor_) {
        update(cellRect(x, y));
        cursor_ = next;
        typing_ = {-2, -2};
        update(cellRect(next.x(), next.y()));
        return;
    }
    const QString text = event->text();
    if (x < 0 || y < 0) {
        // A number: digits type it (a second digit joins the first where the line is long
        // enough), "?" or Delete take it away, + and - step it.
        if (text.size() == 1 && text.at(0).isDigit()) {
            const int digit = text.at(0).digitValue();
            const int typed = numberAt(x, y);
            const int joined = typing_ == cursor_ && typed >= 1 ? typed * 10 + digit : -1;
            setNumber(x, y, joined >= 0 && joined <= lineLength(x, y) ? joined : digit);
            typing_ = cursor_;
        } else if (text == QStringLiteral("?") || event->key() == Qt::Key_Delete ||
                   event->key() == Qt::Key_Backspace) {
            setNumber(x, y, -1);
        } else if (text == QStringLiteral("+") || text == QStringLiteral("-")) {
            stepNumber(x, y, text == QStringLiteral("+") ? 1 : -1);
        } else {
            QWidget::keyPressEvent(event);
        }
        return;
    }
    if (const std::optional<Mark> clue = clueOfKey(text, event->key())) {
        setClue(x, y, *clue);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setClue(x, y, nextClue(clueAt(x, y), (event->modifiers() & Qt::ShiftModifier) != 0));
    } else {
        QWidget::keyPressEvent(event);
    }
}

}  // namespace quorvik
