// The cell element: its picture area, the click and menu handlers that send cell commands, and
// the hint. The window creates hundreds of these, so construction stays cheap: the cell menu is
// built on a right click and released when it closes; its icons come from the image set, shared
// by all elements.
#include "CQVImageFrame.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <utility>

#include "QVMessages.h"
#include "ShipGame.h"
#include "TileImageSet.h"

namespace quorvik {

namespace {

// The cell menu, top to bottom, with the key that makes the same mark on the board (shown as
// the entry's shortcut; the keys themselves are the window's).
struct MenuEntry {
    const char* name;
    const char* caption;
    int code;
    Qt::Key key;
};
constexpr MenuEntry menuEntries[] = {
    {"TMIFrage_1", "???", imgQuestion, Qt::Key_Question},
    {"TMISchiff_1", "Schiff", imgShipSingle, Qt::Key_E},
    {"TMISchiff_5", "Schiff", imgShipTop, Qt::Key_O},
    {"TMISchiff_3", "Schiff", imgShipLeft, Qt::Key_L},
    {"TMISchiff_6", "Schiff", imgShipMiddle, Qt::Key_M},
    {"TMISchiff_4", "Schiff", imgShipRight, Qt::Key_R},
    {"TMISchiff_2", "Schiff", imgShipBottom, Qt::Key_U},
};

}  // namespace

// The picture area: shows the element's picture and reports clicks, the menu and the hint.
class TQVImagePicture : public QWidget {
public:
    explicit TQVImagePicture(TQVImageFrame* frame) : QWidget(frame), frame_(frame) {
        setObjectName(QStringLiteral("Image1"));
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            const QString hint = frame_->currentHint();
            if (hint.isEmpty()) {
                QToolTip::hideText();
                e->ignore();
            } else {
                QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), hint, this);
            }
            return true;
        }
        return QWidget::event(e);
    }

    void paintEvent(QPaintEvent*) override {
        if (frame_->picture_.isNull()) {
            return;
        }
        // The picture drawn for the device pixels the area covers, so that it stays sharp at
        // every zoom and pixel density.
        const qreal ratio = devicePixelRatioF();
        const QImage shown = frame_->shownPicture(qRound(width() * ratio));
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(rect(), shown);
    }

    // A click is a press and a release of the left button on the picture. The second press of
    // a double click arrives as a double-click event; it and its release are not a click, so
    // a fast double click toggles a cell once.
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) {
            armed_ = true;
        }
        e->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        armed_ = false;
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) {
            return;
        }
        const bool click = armed_ && rect().contains(e->position().toPoint());
        armed_ = false;
        if (click) {
            frame_->Image1Click();
        }
    }

    void contextMenuEvent(QContextMenuEvent* e) override {
        frame_->showContextMenu(e->globalPos());
        e->accept();
    }

private:
    TQVImageFrame* frame_;
    bool armed_ = false;
};

TQVImageFrame::TQVImageFrame(QWidget* parent) : QFrame(parent), image1_(new TQVImagePicture(this)) {
    image1_->setGeometry(1, 1, pictureSize, pictureSize);
    Preset();
}

TQVImageFrame::~TQVImageFrame() = default;

QImage TQVImageFrame::shownPicture(int deviceSize) {
    if (deviceSize == picture_.width() || picture_.isNull()) {
        return picture_;
    }
    if (shown_.width() != deviceSize) {
        shown_ = QImage();
        if (drawnBy_ == nullptr ||
            !drawnBy_->atSize(deviceSize).renderElement(place_.kind, state_, shown_)) {
            shown_ = picture_.scaled(deviceSize, deviceSize, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
        }
    }
    return shown_;
}

void TQVImageFrame::setPitch(int pitch) {
    setFixedSize(pitch, pitch);
    image1_->setGeometry(1, 1, pitch - 2, pitch - 2);
}

void TQVImageFrame::Preset() {
    // A raised outer bevel of one pixel around the picture, no inner bevel, no border line.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setMidLineWidth(0);
    setFixedSize(frameSize, frameSize);
    state_.Preset();
    showHint_ = false;
}

void TQVImageFrame::refresh(const ElementState& state, const TileImageSet& set) {
    state_ = state;
    shown_ = QImage();
    drawnBy_ = &set;
    if (set.renderElement(place_.kind, state, picture_)) {
        image1_->update();
    }
}

void TQVImageFrame::setImageIndex(int code) {
    state_.ImageIndex = code;
    // Drawn by the code alone, the picture may hold marks laid over earlier ones: what is shown
    // at another size is the picture enlarged.
    shown_ = QImage();
    drawnBy_ = nullptr;
    if (imageList_ != nullptr && code >= 0 && code < imageList_->count()) {
        imageList_->DrawPicture(code, picture_);
    }
    image1_->update();
}

void TQVImageFrame::setImageList(TileImageSet* set) {
    imageList_ = set;
    if (menu_ != nullptr) {
        applyMenuIcons();
    }
    setImageIndex(state_.ImageIndex);
}

QWidget* TQVImageFrame::Image1() const {
    return image1_;
}

QMenu* TQVImageFrame::PopupMenu1() {
    if (menu_ == nullptr) {
        menu_ = new QMenu(this);
        menu_->setObjectName(QStringLiteral("PopupMenu1"));
        for (const MenuEntry& entry : menuEntries) {
            QAction* action = menu_->addAction(QString::fromUtf8(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            action->setData(entry.code);
            action->setShortcut(QKeySequence(entry.key));
            // Only while the menu is open: on the board the window reads the same keys.
            action->setShortcutContext(Qt::WidgetShortcut);
            connect(action, &QAction::triggered, this, [this, action] { PopUpClick(action); });
        }
        applyMenuIcons();
        // The entries' captions have no access key of their own, so the menu would not answer
        // to the keys it shows; the filter chooses the entry as Enter on it would.
        menu_->installEventFilter(this);
        // A closed menu goes (after the entry chosen in it has been handled) and the next right
        // click builds it again: kept for every cell it ever opened on, menus grew with play.
        connect(menu_, &QMenu::aboutToHide, this,
                [this] { std::exchange(menu_, nullptr)->deleteLater(); });
    }
    return menu_;
}

bool TQVImageFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != menu_ || event->type() != QEvent::KeyPress) {
        return QFrame::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    for (QAction* action : menu_->actions()) {
        if (action->shortcut() == QKeySequence(key->key())) {
            menu_->setActiveAction(action);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu_, &enter);
            return true;
        }
    }
    return false;
}

void TQVImageFrame::applyMenuIcons() {
    const QList<QAction*> actions = menu_->actions();
    for (QAction* action : actions) {
        action->setIcon(imageList_ != nullptr ? imageList_->menuIcon(action->data().toInt())
                                              : QIcon());
    }
}

void TQVImageFrame::showContextMenu(const QPoint& globalPos) {
    // The menu marks a grid cell; numbers and legend entries have no cell to mark.
    if (!contextMenuEnabled_ || !state_.IsGridCell()) {
        return;
    }
    PopupMenu1()->popup(globalPos);
}

QString TQVImageFrame::currentHint() const {
    return showHint_ ? hint_ : QString();
}

void TQVImageFrame::Image1Click() {
    ElementState& s = state_;
    if (s.IsFixed || window() == this) {
        return;
    }
    if (s.IsGridCell()) {
        sendCommand(s.Col, s.Row, cmdToggleCell);
        return;
    }
    // Numbers and legend entries alternate: the state before the click decides the command,
    // and the element has already turned over when the window handles it.
    const bool wasCovered = s.IsCovered;
    s.IsCovered = !wasCovered;
    const int flag = wasCovered ? 1 : 0;
    if (s.IsColElement()) {
        sendCommand(s.Col, flag, cmdFillColumn);
    } else if (s.IsLegend) {
        sendCommand(s.ShipNo, s.ShipRow, wasCovered ? cmdUntickLegend : cmdTickLegend);
    } else {
        sendCommand(s.Row, flag, cmdFillRow);
    }
}

void TQVImageFrame::PopUpClick(QAction* sender) {
    const ElementState& s = state_;
    // Only a grid cell's menu may send: its code names the cell (Col, Row).
    if (sender == nullptr || s.IsFixed || !s.IsGridCell() || window() == this) {
        return;
    }
    sendCommand(s.Col, s.Row, sender->data().toInt());
}

void TQVImageFrame::sendCommand(int a, int b, int code) {
    // Synchronous: the window has applied the command when sendEvent returns.
    CellCommandEvent command(cellCommandParam(a, b), code, place_);
    QCoreApplication::sendEvent(window(), &command);
}

}  // namespace quorvik
