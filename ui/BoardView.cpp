// The board view: the panels laid out at a cell pitch, the elements painted from the model's
// state, the element under the mouse, the cell menu, and which frames lie over which cells.
#include "BoardView.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

#include <utility>

#include "BoardAccessible.h"
#include "Fonts.h"
#include "TileImageSet.h"

namespace quorvik {

namespace {

// The cell menu, top to bottom, with the key that makes the same mark on the board (shown as
// the entry's shortcut; the keys themselves are the window's).
struct MenuEntry {
    const char* name;
    const char* caption;
    Mark mark;
    Qt::Key key;
};
constexpr MenuEntry menuEntries[] = {
    {"TMIFrage_1", "???", Mark::Segment, Qt::Key_Question},
    {"TMISchiff_1", "Schiff", Mark::Single, Qt::Key_E},
    {"TMISchiff_5", "Schiff", Mark::Top, Qt::Key_O},
    {"TMISchiff_3", "Schiff", Mark::Left, Qt::Key_L},
    {"TMISchiff_6", "Schiff", Mark::Middle, Qt::Key_M},
    {"TMISchiff_4", "Schiff", Mark::Right, Qt::Key_R},
    {"TMISchiff_2", "Schiff", Mark::Bottom, Qt::Key_U},
};

// Only what the set's drawing reads goes into the key, so that equal looks share a picture.
auto pictureKey(const ElementRef& element, const ElementState& shown, int deviceSize) {
    const bool number =
        element.kind == ElementKind::ColNumber || element.kind == ElementKind::RowNumber;
    return std::tuple{number, number ? 0 : static_cast<int>(shown.reveal),
                      number ? shown.number : static_cast<int>(shown.mark),
                      number && shown.lineDone, deviceSize};
}

}  // namespace

// --- The view ---

BoardView::BoardView(const ShipGame& game, const TileImageSet& images, QWidget* parent)
    : QWidget(parent), game_(game), images_(images) {
    setObjectName(QStringLiteral("PanelMain"));
    installBoardAccessibility();

    // The heading shows once it has its heavy face, after the first paint: the first frame
    // neither lays out nor draws its letters in a face they do not keep.
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("heading"));
    heading_->hide();

    buttons_ = new QFrame(this);
    buttons_->setObjectName(QStringLiteral("PanelButtons"));
    showButton_ = new QPushButton(QStringLiteral("F1 Zeigen"), buttons_);
    showButton_->setObjectName(QStringLiteral("btnZeigen"));
    showButton_->setGeometry(10, 10, 75, 25);
    newButton_ = new QPushButton(QStringLiteral("F2 Neu"), buttons_);
    newButton_->setObjectName(QStringLiteral("btnNeu"));
    newButton_->setGeometry(10, 45, 75, 25);
    // Clicks on the board must not leave the focus on a button, where Space would press it.
    showButton_->setFocusPolicy(Qt::NoFocus);
    newButton_->setFocusPolicy(Qt::NoFocus);
}

void BoardView::setHeading(const QString& text) {
    heading_->setText(text);
    heading_->adjustSize();
    heading_->setFixedHeight(layout_.metrics.headingHeight());
}

void BoardView::applyHeadingFace() {
    // The heading's heavy face at the heading's height; the fonts library caches each size.
    heading_->setFont(headingFont(layout_.metrics.headingHeight()));
    setHeading(heading_->text());
    heading_->show();
}

void BoardView::build(int pitch, LegendPlace side) {
    pictures_.clear();
    framed_.clear();
    layout_ = layoutAt(pitch, side);
    arrange(pitch, side);
}

void BoardView::arrange(int pitch, LegendPlace side) {
    const bool pitchChanged = pitch != layout_.metrics.pitch;
    layout_ = layoutAt(pitch, side);
    if (pitchChanged) {
        // Pictures of other sizes are not shown again soon.
        pictures_.clear();
        framed_.clear();
        if (headingFaceSet_) {
            applyHeadingFace();
        }
    }
    const BoardMetrics& m = layout_.metrics;
    heading_->move(layout_.legend.topLeft() + QPoint(m.inset(), m.inset()));
    heading_->setFixedHeight(m.headingHeight());
    buttons_->setGeometry(layout_.buttons);
    resize(layout_.size);
    update();
}

BoardLayout BoardView::layoutAt(int pitch, LegendPlace side) const {
    BoardLayout l;
    l.metrics.pitch = pitch;
    const BoardMetrics& m = l.metrics;
    const BoardShape shape = BoardShape::ofGame(game_);
    const QSize legend = m.legend(shape);
    const int extent = m.numberPanel();
    l.images = QRect(QPoint(m.inset(), m.inset()), m.images(shape));
    l.columns = QRect(l.images.left(), l.images.bottom() + 1, l.images.width(), extent);
    l.rows = QRect(l.images.right() + 1, l.images.top(), extent, l.images.height());
    l.size = m.board(shape, side);
    if (side == LegendPlace::Below) {
        // Wide boards: the legend below the numbers, the buttons to its right.
        l.legend = QRect(QPoint(l.images.left(), l.columns.bottom() + 1), legend);
        l.buttons = QRect(l.legend.right() + 1, l.legend.top(),
                          l.size.width() - 2 * l.images.left() - extent - legend.width(),
                          l.size.height() - l.legend.top() - l.images.top());
    } else {
        // The legend right of the row numbers, the buttons below it.
        l.legend = QRect(QPoint(l.rows.right() + 1, l.images.top()), legend);
        l.buttons = QRect(l.legend.left(), l.legend.bottom() + 1, legend.width(),
                          l.size.height() - 2 * l.images.top() - extent - legend.height());
    }
    return l;
}

// --- Where the elements lie ---

QRect BoardView::elementRect(const ElementRef& e) const {
    if (game_.element(e) == nullptr) {
        return {};
    }
    const BoardLayout& l = layout_;
    const BoardMetrics& m = l.metrics;
    const int p = m.pitch;
    const int b = m.border();
    switch (e.kind) {
        case ElementKind::Grid:
            return {l.images.left() + e.a * p + b, l.images.top() + e.b * p + b, p, p};
        case ElementKind::ColNumber:
            return {l.columns.left() + e.a * p + b, l.columns.top() + b, p, p};
        case ElementKind::RowNumber:
            return {l.rows.left() + b, l.rows.top() + e.a * p + b, p, p};
        case ElementKind::Legend:
            return {l.legend.left() + m.inset() +
                        m.legendShipPitch(game_.legendRowLength(e.a)) * e.b + e.c * p,
                    l.legend.top() + m.legendTop() + e.a * m.legendRowPitch(), p, p};
    }
    return {};
}

std::optional<ElementRef> BoardView::elementAt(const QPoint& point) const {
    const BoardMetrics& m = layout_.metrics;
    const int p = m.pitch;
    // The cell under the point, counted from a panel's first element: the grid's column and row
    // are also those of the column and row numbers.
    const auto index = [](int offset, int step) { return offset < 0 ? -1 : offset / step; };
    const int x = index(point.x() - layout_.images.left() - m.border(), p);
    const int y = index(point.y() - layout_.images.top() - m.border(), p);
    const int top = point.y() - layout_.legend.top() - m.legendTop();
    const int r = index(top, m.legendRowPitch());
    const int ship = m.legendShipPitch(game_.legendRowLength(r));
    const int left = point.x() - layout_.legend.left() - m.inset();
    // Only a point on an element's picture finds it, not one on its bevel, the gaps or the
    // panel's border.
    for (const ElementRef& e : {ElementRef::grid(x, y), ElementRef::column(x), ElementRef::row(y),
                                ElementRef::legend(r, index(left, ship), index(left % ship, p))}) {
        const QRect picture = elementRect(e).adjusted(1, 1, -1, -1);
        if (picture.isValid() && picture.contains(point)) {
            return e;
        }
    }
    return std::nullopt;
}

QRect BoardView::frameRect(const ElementRef& element) const {
    QRect area = elementRect(element);
    if (element.kind == ElementKind::Legend && !area.isEmpty()) {
        for (int i = 0; i < game_.legendRowLength(element.a); ++i) {
            area |= elementRect(ElementRef::legend(element.a, element.b, i));
        }
    }
    return area;
}

// --- Painting ---

const QImage& BoardView::pictureAt(const ElementRef& element, const ElementState& shown,
                                   int deviceSize) const {
    const auto [found, added] = pictures_.try_emplace(pictureKey(element, shown, deviceSize));
    if (added && !images_.atSize(deviceSize).renderElement(element.kind, shown, found->second)) {
        found->second = QImage();
    }
    return found->second;
}

// The picture inside its raised bevel, drawn once for all elements of the same look and size:
// one opaque image per element instead of four strips and a picture. The pictures are opaque,
// so the image is too and its drawing is a plain copy. Null when there is no picture.
const QImage* BoardView::framedPictureAt(const ElementRef& element, const ElementState& shown,
                                         int size) const {
    const auto [found, added] = framed_.try_emplace(pictureKey(element, shown, size - 2));
    QImage& framed = found->second;
    if (added) {
        const QImage& picture = pictureAt(element, shown, size - 2);
        if (!picture.isNull()) {
            framed = QImage(size, size, QImage::Format_RGB32);
            framed.fill(Qt::black);
            QPainter painter(&framed);
            drawRaisedBevel(painter, framed.rect(), palette());
            painter.drawImage(framed.rect().adjusted(1, 1, -1, -1), picture);
        }
    }
    return framed.isNull() ? nullptr : &framed;
}

// Panels, then the elements that meet the area to paint, then the frames over them.
void BoardView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect& clip = event->rect();
    for (const QRect& panel : {layout_.images, layout_.columns, layout_.rows, layout_.legend}) {
        if (panel.intersects(clip)) {
            drawRaisedBevel(painter, panel, palette());
        }
    }
    // Each element's picture in a raised bevel of one pixel; on an unscaled screen both come as
    // one shared image.
    const qreal deviceRatio = devicePixelRatioF();
    const bool unscaled = deviceRatio == 1 &&
                          painter.paintEngine()->type() == QPaintEngine::Raster &&
                          painter.transform().type() <= QTransform::TxTranslate;
    for (const ElementRef& e : game_.allElements()) {
        const QRect r = elementRect(e);
        if (!r.intersects(clip)) {
            continue;
        }
        const ElementState shown = *shownState(e);
        if (const QImage* framed = unscaled ? framedPictureAt(e, shown, r.width()) : nullptr) {
            painter.drawImage(r.topLeft(), *framed);
            continue;
        }
        drawRaisedBevel(painter, r, palette());
        // The picture drawn for the device pixels the area covers, so that it stays sharp at
        // every zoom and pixel density.
        const QRect area = r.adjusted(1, 1, -1, -1);
        const QImage& picture = pictureAt(e, shown, qRound(area.width() * deviceRatio));
        if (!picture.isNull()) {
            painter.drawImage(area, picture);
        }
    }
    // Lines as thick as the panel border, 2 pixels at the normal size. The running count's
    // frames lie under the helps' frames and the cursor.
    for (const FrameKind kind : {FrameKind::Conflict, FrameKind::Hint, FrameKind::Mistake,
                                 FrameKind::OtherSolution, FrameKind::Cursor}) {
        for (const ElementRef& cell : frames(kind)) {
            const QRect r = frameRect(cell);
            if (!r.isEmpty()) {
                paintFrame(painter, kind, r, layout_.metrics.border());
            }
        }
    }
    if (!headingFaceSet_) {
        // The first frame is on its way to the screen; the heading's face follows it.
        headingFaceSet_ = true;
        QTimer::singleShot(0, this, [this] {
            applyHeadingFace();
            emit firstFramePainted();
        });
    }
}

// Framed pictures carry the palette's bevel colours.
void BoardView::changeEvent(QEvent* e) {
    if (e->type() == QEvent::PaletteChange) {
        framed_.clear();
    }
    QWidget::changeEvent(e);
}

// --- The mouse ---

bool BoardView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const std::optional<ElementRef> element = elementAt(help->pos());
        const QString text = element ? hint(*element) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            e->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this, elementRect(*element));
        }
        return true;
    }
    return QWidget::event(e);
}

// A click is a press and a release of the left button on the same element. The second press
// of a double click arrives as a double-click event; it and its release are not a click, so a
// fast double click toggles a cell once.
void BoardView::mousePressEvent(QMouseEvent* e) {
    const std::optional<ElementRef> element = elementAt(e->position().toPoint());
    if (element) {
        // A press on an element is the mouse's: the window hides the keyboard cursor then.
        emit elementPressed();
    }
    if (e->button() == Qt::LeftButton) {
        pressed_ = element;
    }
    e->accept();
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* e) {
    pressed_.reset();
    e->accept();
}

void BoardView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const std::optional<ElementRef> pressed = std::exchange(pressed_, std::nullopt);
    if (pressed && elementAt(e->position().toPoint()) == pressed) {
        emit elementActivated(*pressed);
    }
}

void BoardView::contextMenuEvent(QContextMenuEvent* e) {
    const std::optional<ElementRef> element = elementAt(e->pos());
    // The menu marks a grid cell; numbers and legend entries have no cell to mark.
    if (element && element->kind == ElementKind::Grid) {
        cellMenu(*element)->popup(e->globalPos());
    }
    e->accept();
}

QMenu* BoardView::cellMenu(const ElementRef& cell) {
    if (cell.kind != ElementKind::Grid || game_.element(cell) == nullptr) {
        return nullptr;
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    for (const MenuEntry& entry : menuEntries) {
        QAction* action =
            menu->addAction(images_.menuIcon(entry.mark), QString::fromUtf8(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setShortcut(QKeySequence(entry.key));
        // Only while the menu is open: on the board the window reads the same keys.
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this,
                [this, cell, mark = entry.mark] { emit markChosen(cell, mark); });
    }
    // The entries' captions have no access key of their own, so the menu would not answer to
    // the keys it shows; the filter chooses the entry as Enter on it would.
    menu->installEventFilter(this);
    // A closed menu goes (after the entry chosen in it has been handled).
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    return menu;
}

bool BoardView::eventFilter(QObject* watched, QEvent* event) {
    // Only the cell menus are watched; keys with a modifier are the menu's own.
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu == nullptr || event->type() != QEvent::KeyPress ||
        (static_cast<QKeyEvent*>(event)->modifiers() &
         (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    const QKeySequence typed(static_cast<QKeyEvent*>(event)->key());
    for (QAction* action : menu->actions()) {
        if (action->shortcut() == typed) {
            menu->setActiveAction(action);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
            return true;
        }
    }
    return false;
}

QString BoardView::hint(const ElementRef& element) const {
    // The numbers' hints say how many ship marks their line holds so far.
    const ElementState* state = game_.element(element);
    const bool column = element.kind == ElementKind::ColNumber;
    if (state == nullptr || !(column || element.kind == ElementKind::RowNumber)) {
        return {};
    }
    return (column ? QStringLiteral("Spaltensumme: %1") : QStringLiteral("Zeilensumme: %1"))
        .arg(state->markCount);
}

// --- Showing the model's state ---

void BoardView::refresh(const ChangedElements& elements) {
    for (const ElementRef& element : elements) {
        update(frameRect(element));
    }
}

QImage BoardView::picture(const ElementRef& element) const {
    const std::optional<ElementState> shown = shownState(element);
    return shown ? pictureAt(element, *shown, pitch() - 2) : QImage();
}

std::optional<ElementState> BoardView::shownState(const ElementRef& element) const {
    const ElementState* state = game_.element(element);
    if (state == nullptr) {
        return std::nullopt;
    }
    ElementState shown = *state;
    if (element.kind == ElementKind::ColNumber || element.kind == ElementKind::RowNumber) {
        const auto& lines = element.kind == ElementKind::ColNumber ? tally_.columns : tally_.rows;
        const auto i = static_cast<std::size_t>(element.a);  // a number on the board, so >= 0
        shown.lineDone = i < lines.size() && lines[i] == LineCount::Done;
    } else if (element.kind == ElementKind::Legend && state->reveal == Reveal::None &&
               tickedByCount(element.a, element.b)) {
        // The cross of a ticked ship; its alternation stays the player's, so a click still
        // ticks or unticks by hand.
        shown.reveal = Reveal::Wrong;
    }
    return shown;
}

// --- The running count of the marks ---

bool BoardView::tickedByCount(int shipRow, int shipNo) const {
    // A legend row shows as many ships ticked as the larger of the player's ticks and the
    // complete ships of its length: ticks by hand stay where they are, and the count ticks the
    // leftmost ships not ticked by hand.
    const auto length = static_cast<std::size_t>(game_.legendRowLength(shipRow));
    const auto byHand = [&](int s) {
        return game_.legendEntry(shipRow, s, 0)->reveal == Reveal::Wrong;
    };
    int extra = length < tally_.completeShips.size() ? tally_.completeShips[length] : 0;
    int before = 0;  // the ships left of this one that are not ticked by hand
    for (int s = 0; s < game_.legendShipCount(shipRow); ++s) {
        extra -= byHand(s) ? 1 : 0;
        before += !byHand(s) && s < shipNo ? 1 : 0;
    }
    return !byHand(shipNo) && before < extra;
}

void BoardView::setTally(LiveFeedback tally) {
    // The count's looks of numbers and legend change with moves that leave those elements
    // alone: their panels are painted anew.
    tally_ = std::move(tally);
    update(layout_.columns);
    update(layout_.rows);
    update(layout_.legend);
    std::vector<ElementRef> framed;
    const auto over = [&framed](const std::vector<LineCount>& lines, ElementRef (*number)(int)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == LineCount::Over) {
                framed.push_back(number(static_cast<int>(i)));
            }
        }
    };
    over(tally_.columns, &ElementRef::column);
    over(tally_.rows, &ElementRef::row);
    for (const SolverCell& c : tally_.conflicts) {
        framed.push_back(ElementRef::grid(c.x, c.y));
    }
    if (framed != frames(FrameKind::Conflict)) {
        setFrames(FrameKind::Conflict, std::move(framed));
    }
}

// --- Frames ---

void BoardView::setFrames(FrameKind kind, std::vector<ElementRef> cells) {
    // The cells that lose their frame and those that get one are painted anew.
    refresh(frames(kind));
    refresh(cells);
    frames_[static_cast<std::size_t>(kind)] = std::move(cells);
    // The keyboard cursor takes the accessible focus along.
    if (kind == FrameKind::Cursor && !frames(kind).empty()) {
        announceBoardFocus(this, frames(kind).front());
    }
}

const std::vector<ElementRef>& BoardView::frames(FrameKind kind) const {
    return frames_[static_cast<std::size_t>(kind)];
}

}  // namespace quorvik
