// The board view: creating and placing the elements, the layout of the panels at a cell pitch,
// showing the model's state in the elements, and the frames over cells.
#include "BoardView.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

#include "CQVImageFrame.h"
#include "Fonts.h"
#include "TileImageSet.h"

namespace quorvik {

namespace {

// The buttons beside the legend keep their size at every pitch: "F1 Zeigen" at (10, 10) and
// "F2 Neu" at (10, 45), each 75 x 25, and the playing time below them at (10, 78), 18 high.
constexpr QSize buttonsExtent(95, 96);

QFrame* createPanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

struct FrameLook {
    QColor colour;
    bool cursor;
};

FrameLook lookOf(FrameKind kind) {
    switch (kind) {
        case FrameKind::Cursor:
            return {QColor(0xFF, 0xD7, 0x00), true};
        case FrameKind::Hint:
            return {QColor(0x00, 0xC0, 0x00), false};
        case FrameKind::Mistake:
            return {QColor(0xFF, 0x00, 0xFF), false};
        case FrameKind::OtherSolution:
            return {QColor(0xFF, 0x80, 0x00), false};
        case FrameKind::Conflict:
            return {QColor(0xFF, 0x00, 0x00), false};
    }
    return {Qt::black, false};
}

}  // namespace

// --- Sizes at a pitch ---

int pitchForZoom(int percent) {
    return (BoardMetrics::normalPitch * percent + 50) / 100;
}

int nearestZoomStep(int percent) {
    return *std::min_element(zoomSteps.begin(), zoomSteps.end(), [percent](int a, int b) {
        return std::abs(a - percent) < std::abs(b - percent);
    });
}

QSize BoardMetrics::images(int level) const {
    const LevelInfo& info = levelInfo(level);
    return {(info.maxCol + 1) * pitch + 2 * border(), (info.maxRow + 1) * pitch + 2 * border()};
}

QSize BoardMetrics::legend(int level) const {
    // Ships of one row side by side, rows below the heading, longest ships first.
    const std::vector<int> lengths = fleetLengths(level);
    const int top0 = inset() + headingHeight() + inset();
    int width = 0;
    int height = 0;
    for (std::size_t r = 0; r < lengths.size(); ++r) {
        const int length = lengths[r];
        const int ships = shipCount(level, length);
        const int left = (length * pitch + legendShipGap()) * (ships - 1) + (length - 1) * pitch;
        width = std::max(width, left + inset() + numberPanel());
        height = std::max(height, top0 + int(r) * legendRowPitch() + numberPanel());
    }
    return {width, height};
}

QSize BoardMetrics::board(int level, LegendPlace side) const {
    const QSize grid = images(level);
    const QSize legendSize = legend(level);
    const int boardWidth = 2 * inset() + grid.width() + numberPanel();
    const int boardHeight = 2 * inset() + grid.height() + numberPanel();
    if (side == LegendPlace::Below) {
        const int buttons = std::max(grid.width() - legendSize.width(), buttonsExtent.width());
        return {std::max(boardWidth, 2 * inset() + legendSize.width() + buttons + numberPanel()),
                boardHeight + std::max(legendSize.height(), buttonsExtent.height())};
    }
    const int buttons = std::max(grid.height() - legendSize.height(), buttonsExtent.height());
    return {
        boardWidth + legendSize.width(),
        std::max(boardHeight, inset() + legendSize.height() + buttons + inset() + numberPanel())};
}

// --- Frames over cells ---

// One layer over the whole view that draws every frame, and lets every click through to the
// element beneath.
class TBoardView::FrameLayer : public QWidget {
public:
    explicit FrameLayer(TBoardView* view) : QWidget(view), view_(view) {
        setObjectName(QStringLiteral("FrameLayer"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        // Lines as thick as the panel border, 2 pixels at the normal size.
        const int w = view_->metrics_.border();
        // The running count's frames lie under the helps' frames and the cursor.
        for (const FrameKind kind : {FrameKind::Conflict, FrameKind::Hint, FrameKind::Mistake,
                                     FrameKind::OtherSolution, FrameKind::Cursor}) {
            const auto found = view_->frames_.find(kind);
            if (found == view_->frames_.end()) {
                continue;
            }
            const std::vector<ElementRef>& cells = found->second;
            const FrameLook look = lookOf(kind);
            for (const ElementRef& cell : cells) {
                const QRect r = view_->frameRect(cell);
                if (r.isEmpty()) {
                    continue;
                }
                if (look.cursor) {
                    // A dashed ring well inside the helps' frames, so that both show: black,
                    // with yellow dashes.
                    const double in = 3.5 * w + 1;
                    const QRectF ring = QRectF(r).adjusted(in, in, -in, -in);
                    p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                    p.drawRect(ring);
                    p.setPen(QPen(look.colour, w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin));
                    QPen pen = p.pen();
                    pen.setDashPattern({2.0, 1.0});
                    p.setPen(pen);
                    p.drawRect(ring);
                } else {
                    // Black outside, the colour inside: it stands out on silver, white, red,
                    // grey and blue.
                    p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                    p.drawRect(QRectF(r).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
                    p.setPen(QPen(look.colour, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                    p.drawRect(QRectF(r).adjusted(1.5 * w, 1.5 * w, -1.5 * w, -1.5 * w));
                }
            }
        }
    }

private:
    TBoardView* view_;
};

// --- The view ---

TBoardView::TBoardView(const ShipGame& game, const TileImageSet& images, QWidget* parent)
    : QWidget(parent), game_(game), images_(images) {
    setObjectName(QStringLiteral("PanelMain"));
    PanelImages = createPanel(this, QStringLiteral("PanelImages"));
    PanelCol = createPanel(this, QStringLiteral("PanelCol"));
    PanelRow = createPanel(this, QStringLiteral("PanelRow"));
    PanelLegend = createPanel(this, QStringLiteral("PanelLegend"));

    Label1 = new QLabel(QStringLiteral("Diese Schiffe suchen."), PanelLegend);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The heading's heavy face, 18 pixels high with its leading at the normal pitch.
    Label1->setFont(headingFont(metrics_.headingHeight()));
    Label1->move(metrics_.inset(), metrics_.inset());
    Label1->setFixedHeight(metrics_.headingHeight());

    PanelButtons = new QFrame(this);
    PanelButtons->setObjectName(QStringLiteral("PanelButtons"));
    btnZeigen = new QPushButton(QStringLiteral("F1 Zeigen"), PanelButtons);
    btnZeigen->setObjectName(QStringLiteral("btnZeigen"));
    btnZeigen->setGeometry(10, 10, 75, 25);
    btnNeu = new QPushButton(QStringLiteral("F2 Neu"), PanelButtons);
    btnNeu->setObjectName(QStringLiteral("btnNeu"));
    btnNeu->setGeometry(10, 45, 75, 25);
    // Clicks on the board must not leave the focus on a button, where Space would press it.
    btnZeigen->setFocusPolicy(Qt::NoFocus);
    btnNeu->setFocusPolicy(Qt::NoFocus);

    // Figures of the last layout, never shown to the player.
    PanelDebug = new QFrame(PanelButtons);
    PanelDebug->setObjectName(QStringLiteral("PanelDebug"));
    PanelDebug->setGeometry(8, 80, 80, 60);
    int top = 0;
    for (const char* caption : {"Fensterhöhe", "Fensterbreite", "DebugCounter"}) {
        auto* label = new QLabel(QString::fromUtf8(caption), PanelDebug);
        label->move(0, top);
        top += 14;
    }
    lblH = new QLabel(PanelDebug);
    lblH->setObjectName(QStringLiteral("lblH"));
    lblW = new QLabel(PanelDebug);
    lblW->setObjectName(QStringLiteral("lblW"));
    lblDbgCnt = new QLabel(PanelDebug);
    lblDbgCnt->setObjectName(QStringLiteral("lblDbgCnt"));
    lblH->move(60, 0);
    lblW->move(60, 14);
    lblDbgCnt->move(60, 28);
    PanelDebug->setVisible(false);

    frameLayer_ = new FrameLayer(this);
    frameLayer_->hide();
}

TBoardView::~TBoardView() = default;

void TBoardView::setHeading(const QString& text) {
    Label1->setText(text);
    Label1->adjustSize();
    Label1->setFixedHeight(metrics_.headingHeight());
}

void TBoardView::setFigures(int windowHeight, int windowWidth, unsigned attempts) {
    lblH->setText(QString::number(windowHeight));
    lblW->setText(QString::number(windowWidth));
    lblDbgCnt->setText(QString::number(attempts));
}

TQVImageFrame* TBoardView::createFrame(QWidget* panel, const QString& name,
                                       const ElementRef& place) {
    auto* frame = new TQVImageFrame(panel);
    frame->setObjectName(name);
    frame->setPlace(place);
    frame->setPitch(metrics_.pitch);
    // A press on an element is the mouse's: the window hides the keyboard cursor then.
    frame->Image1()->installEventFilter(this);
    return frame;
}

bool TBoardView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        emit elementPressed();
    }
    return QWidget::eventFilter(watched, event);
}

void TBoardView::build(int pitch, LegendPlace side) {
    const int maxCol = game_.maxCol();
    const int maxRow = game_.maxRow();
    // Grid and number elements live as long as the window; those beyond the current board keep
    // their places but are hidden, so no part of them shows or takes a click.
    for (int i = 0; i < maxBoardSize; ++i) {
        for (int j = 0; j < maxBoardSize; ++j) {
            TQVImageFrame*& cell = FGrid[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            const bool onBoard = i <= maxCol && j <= maxRow;
            if (cell == nullptr && onBoard) {
                cell = createFrame(PanelImages, QStringLiteral("FrameIF_%1_%2").arg(i).arg(j),
                                   ElementRef::grid(i, j));
                cell->setImageList(const_cast<TileImageSet*>(&images_));
            }
            if (cell != nullptr) {
                cell->setVisible(onBoard);
            }
        }
        TQVImageFrame*& number = FColNumbers[static_cast<std::size_t>(i)];
        if (number == nullptr && i <= maxCol) {
            number =
                createFrame(PanelCol, QStringLiteral("FrameIC_%1").arg(i), ElementRef::column(i));
            number->setContextMenuEnabled(false);
            number->setShowHint(true);
        }
        if (number != nullptr) {
            number->setVisible(i <= maxCol);
        }
        TQVImageFrame*& rowNumber = FRowNumbers[static_cast<std::size_t>(i)];
        if (rowNumber == nullptr && i <= maxRow) {
            rowNumber =
                createFrame(PanelRow, QStringLiteral("FrameIR_%1").arg(i), ElementRef::row(i));
            rowNumber->setContextMenuEnabled(false);
            rowNumber->setShowHint(true);
        }
        if (rowNumber != nullptr) {
            rowNumber->setVisible(i <= maxRow);
        }
    }
    buildLegend();
    refresh(game_.allElements());
    arrange(pitch, side);
}

void TBoardView::buildLegend() {
    // Legend entries are made anew for every game; the old ones go first.
    qDeleteAll(FLegendList);
    FLegendList.clear();
    for (int r = 0; r < game_.legendRowCount(); ++r) {
        for (int s = 0; s < game_.legendShipCount(r); ++s) {
            for (int i = 0; i < game_.legendRowLength(r); ++i) {
                TQVImageFrame* frame = createFrame(
                    PanelLegend, QStringLiteral("FrameIF_%1_%2_%3").arg(r).arg(s).arg(i),
                    ElementRef::legend(r, s, i));
                frame->setContextMenuEnabled(false);
                frame->setImageList(const_cast<TileImageSet*>(&images_));
                frame->show();
                FLegendList.push_back(frame);
            }
        }
    }
}

void TBoardView::arrange(int pitch, LegendPlace side) {
    const bool pitchChanged = pitch != metrics_.pitch;
    metrics_.pitch = pitch;
    side_ = side;
    if (pitchChanged) {
        // The heading's heavy face at the heading's height; the fonts library caches each size.
        Label1->setFont(headingFont(metrics_.headingHeight()));
        Label1->adjustSize();
        for (auto& column : FGrid) {
            for (TQVImageFrame* cell : column) {
                if (cell != nullptr) {
                    cell->setPitch(pitch);
                }
            }
        }
        for (auto* numbers : {&FColNumbers, &FRowNumbers}) {
            for (TQVImageFrame* number : *numbers) {
                if (number != nullptr) {
                    number->setPitch(pitch);
                }
            }
        }
        for (TQVImageFrame* segment : FLegendList) {
            segment->setPitch(pitch);
        }
    }
    placeElements();
    layoutPanels();
}

void TBoardView::placeElements() {
    const int p = metrics_.pitch;
    const int b = metrics_.border();
    for (int i = 0; i < maxBoardSize; ++i) {
        for (int j = 0; j < maxBoardSize; ++j) {
            if (TQVImageFrame* cell =
                    FGrid[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]) {
                cell->move(i * p + b, j * p + b);
            }
        }
        if (TQVImageFrame* number = FColNumbers[static_cast<std::size_t>(i)]) {
            number->move(i * p + b, b);
        }
        if (TQVImageFrame* number = FRowNumbers[static_cast<std::size_t>(i)]) {
            number->move(b, i * p + b);
        }
    }
    Label1->move(metrics_.inset(), metrics_.inset());
    Label1->setFixedHeight(metrics_.headingHeight());
    // Ships of one row side by side with a gap, rows below the heading.
    const int top0 = Label1->y() + Label1->height() + metrics_.inset();
    std::size_t k = 0;
    for (int r = 0; r < game_.legendRowCount(); ++r) {
        const int length = game_.legendRowLength(r);
        for (int s = 0; s < game_.legendShipCount(r); ++s) {
            for (int i = 0; i < length && k < FLegendList.size(); ++i, ++k) {
                FLegendList[k]->move(
                    (length * p + metrics_.legendShipGap()) * s + i * p + metrics_.inset(),
                    top0 + r * metrics_.legendRowPitch());
            }
        }
    }
}

void TBoardView::layoutPanels() {
    const int level = game_.level();
    const QSize grid = metrics_.images(level);
    const QSize legend = metrics_.legend(level);
    const int extent = metrics_.numberPanel();
    PanelImages->setGeometry(QRect(QPoint(metrics_.inset(), metrics_.inset()), grid));
    const QRect images = PanelImages->geometry();
    PanelCol->setGeometry(images.left(), images.top() + images.height(), images.width(), extent);
    PanelRow->setGeometry(images.left() + images.width(), images.top(), extent, images.height());
    PanelLegend->resize(legend);
    const QSize main = metrics_.board(level, side_);
    if (side_ == LegendPlace::Below) {
        // Wide boards: the legend below the numbers, the buttons to its right.
        PanelLegend->move(images.left(), PanelCol->y() + PanelCol->height());
        PanelButtons->setGeometry(PanelLegend->x() + legend.width(), PanelLegend->y(),
                                  main.width() - 2 * images.left() - extent - legend.width(),
                                  main.height() - PanelLegend->y() - images.top());
    } else {
        // The legend right of the row numbers, the buttons below it.
        PanelLegend->move(PanelRow->x() + PanelRow->width(), images.top());
        PanelButtons->setGeometry(PanelLegend->x(), PanelLegend->y() + legend.height(),
                                  legend.width(),
                                  main.height() - 2 * images.top() - extent - legend.height());
    }
    resize(main);
    frameLayer_->setGeometry(rect());
    frameLayer_->raise();
}

// --- Showing the model's state ---

TQVImageFrame* TBoardView::frameFor(const ElementRef& e) const {
    switch (e.kind) {
        case ElementKind::Grid:
            return gridFrame(e.a, e.b);
        case ElementKind::ColNumber:
            return colFrame(e.a);
        case ElementKind::RowNumber:
            return rowFrame(e.a);
        case ElementKind::Legend:
            return legendFrame(e.a, e.b, e.c);
    }
    return nullptr;
}

void TBoardView::refresh(const ChangedElements& elements) {
    for (const ElementRef& element : elements) {
        refreshElement(element);
    }
}

void TBoardView::refreshElement(const ElementRef& element) {
    const ElementState* state = game_.element(element);
    TQVImageFrame* frame = frameFor(element);
    if (state == nullptr || frame == nullptr) {
        return;
    }
    frame->refresh(shownState(element, *state), images_);
    // The numbers' hints say how many ship marks their line holds so far.
    if (element.kind == ElementKind::ColNumber) {
        frame->setHint(QStringLiteral("Spaltensumme: %1").arg(state->ReihenSumme));
    } else if (element.kind == ElementKind::RowNumber) {
        frame->setHint(QStringLiteral("Zeilensumme: %1").arg(state->ReihenSumme));
    }
}

// --- The running count of the marks ---

ElementState TBoardView::shownState(const ElementRef& element, const ElementState& state) const {
    ElementState shown = state;
    const auto done = [](const std::vector<LineCount>& lines, int i) {
        return i >= 0 && i < static_cast<int>(lines.size()) &&
               lines[static_cast<std::size_t>(i)] == LineCount::Done;
    };
    if (element.kind == ElementKind::ColNumber) {
        shown.LineDone = done(tally_.columns, element.a);
    } else if (element.kind == ElementKind::RowNumber) {
        shown.LineDone = done(tally_.rows, element.a);
    } else if (element.kind == ElementKind::Legend && state.Face == CellFace::Normal &&
               tickedByCount(element.a, element.b)) {
        // The cross of a ticked ship; its alternation stays the player's, so a click still
        // ticks or unticks by hand.
        shown.ImageIndex = imgWrongMark;
        shown.Face = CellFace::Wrong;
        shown.Beneath = state.ShipIndex;
    }
    return shown;
}

bool TBoardView::tickedByCount(int shipRow, int shipNo) const {
    // A legend row shows as many ships ticked as the larger of the player's ticks and the
    // complete ships of its length: ticks by hand stay where they are, and the count ticks the
    // leftmost ships not ticked by hand.
    const auto length = static_cast<std::size_t>(game_.legendRowLength(shipRow));
    int extra = length < tally_.completeShips.size() ? tally_.completeShips[length] : 0;
    const int ships = game_.legendShipCount(shipRow);
    for (int s = 0; s < ships; ++s) {
        extra -= game_.legendEntry(shipRow, s, 0)->Face == CellFace::Wrong ? 1 : 0;
    }
    for (int s = 0; s < ships && extra > 0; ++s) {
        if (game_.legendEntry(shipRow, s, 0)->Face != CellFace::Wrong) {
            if (s == shipNo) {
                return true;
            }
            --extra;
        }
    }
    return false;
}

void TBoardView::setTally(LiveFeedback tally) {
    tally_ = std::move(tally);
    // The count's looks of numbers and legend change with moves that leave those elements alone.
    std::vector<ElementRef> looks;
    for (int x = 0; x <= game_.maxCol(); ++x) {
        looks.push_back(ElementRef::column(x));
    }
    for (int y = 0; y <= game_.maxRow(); ++y) {
        looks.push_back(ElementRef::row(y));
    }
    for (int r = 0; r < game_.legendRowCount(); ++r) {
        for (int s = 0; s < game_.legendShipCount(r); ++s) {
            for (int i = 0; i < game_.legendRowLength(r); ++i) {
                looks.push_back(ElementRef::legend(r, s, i));
            }
        }
    }
    for (const ElementRef& element : looks) {
        const ElementState* state = game_.element(element);
        const TQVImageFrame* frame = frameFor(element);
        if (state != nullptr && frame != nullptr &&
            !(frame->state() == shownState(element, *state))) {
            refreshElement(element);
        }
    }
    std::vector<ElementRef> framed;
    for (std::size_t i = 0; i < tally_.columns.size(); ++i) {
        if (tally_.columns[i] == LineCount::Over) {
            framed.push_back(ElementRef::column(static_cast<int>(i)));
        }
    }
    for (std::size_t i = 0; i < tally_.rows.size(); ++i) {
        if (tally_.rows[i] == LineCount::Over) {
            framed.push_back(ElementRef::row(static_cast<int>(i)));
        }
    }
    for (const SolverCell& c : tally_.conflicts) {
        framed.push_back(ElementRef::grid(c.x, c.y));
    }
    if (framed != frames(FrameKind::Conflict)) {
        setFrames(FrameKind::Conflict, std::move(framed));
    }
}

TQVImageFrame* TBoardView::gridFrame(int x, int y) const {
    if (x < 0 || x >= maxBoardSize || y < 0 || y >= maxBoardSize) {
        return nullptr;
    }
    return FGrid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
}

TQVImageFrame* TBoardView::colFrame(int x) const {
    return x >= 0 && x < maxBoardSize ? FColNumbers[static_cast<std::size_t>(x)] : nullptr;
}

TQVImageFrame* TBoardView::rowFrame(int y) const {
    return y >= 0 && y < maxBoardSize ? FRowNumbers[static_cast<std::size_t>(y)] : nullptr;
}

TQVImageFrame* TBoardView::legendFrame(int r, int s, int i) const {
    const ElementState* entry = game_.legendEntry(r, s, i);
    if (entry == nullptr) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(entry - game_.legend().data());
    return index < FLegendList.size() ? FLegendList[index] : nullptr;
}

// --- Frames ---

QRect TBoardView::frameRect(const ElementRef& element) const {
    const TQVImageFrame* frame = frameFor(element);
    if (frame == nullptr || game_.element(element) == nullptr) {
        return {};
    }
    QRect area(frame->mapTo(this, QPoint(0, 0)), frame->size());
    if (element.kind == ElementKind::Legend) {
        for (int i = 0; i < game_.legendRowLength(element.a); ++i) {
            if (const TQVImageFrame* segment = legendFrame(element.a, element.b, i)) {
                area |= QRect(segment->mapTo(this, QPoint(0, 0)), segment->size());
            }
        }
    }
    return area;
}

void TBoardView::setFrames(FrameKind kind, std::vector<ElementRef> cells) {
    if (cells.empty()) {
        frames_.erase(kind);
    } else {
        frames_[kind] = std::move(cells);
    }
    frameLayer_->setVisible(!frames_.empty());
    frameLayer_->raise();
    frameLayer_->update();
}

const std::vector<ElementRef>& TBoardView::frames(FrameKind kind) const {
    static const std::vector<ElementRef> none;
    const auto it = frames_.find(kind);
    return it != frames_.end() ? it->second : none;
}

}  // namespace quorvik
