// Window frames and placing by them.
#include "WindowFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "ScreenFit.h"

namespace quorvik {

namespace {

// Waits on a shown window for its frame, places the window once more, and goes; or goes when the
// window hides before any frame appeared.
class FramePlacer : public QObject {
public:
    static constexpr const char* name = "FramePlacer";

    FramePlacer(QWidget& window, std::function<QPoint()> place)
        : QObject(&window), window_(window), place_(std::move(place)) {
        setObjectName(QLatin1String(name));
        window.installEventFilter(this);
    }

protected:
    // Installed on the window alone, it sees only the window's events.
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool framed =
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
            !frameMargins(window_).isNull();
        if (framed || type == QEvent::Hide) {
            // Done before the move, whose own Move event must not place the window again.
            window_.removeEventFilter(this);
            deleteLater();
            if (framed) {
                window_.move(place_());
            }
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<QPoint()> place_;
};

}  // namespace

QMargins frameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

QSize outerSize(const QWidget& window) {
    QMargins frame = frameMargins(window);
    if (frame.isNull() && window.parentWidget() != nullptr) {
        frame = frameMargins(*window.parentWidget()->window());
    }
    return window.size().grownBy(frame);
}

QPoint reachablePlace(const QWidget& window, const QPoint& stored, const QSize& menuBar) {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas << screen->availableGeometry();
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QMargins frame = frameMargins(window);
    // From the frame's top left down to the menu bar's lower edge, as wide as its entries.
    const QRect handle(0, 0, frame.left() + menuBar.width(), frame.top() + menuBar.height());
    return reachablePosition(stored, window.size().grownBy(frame), handle, areas,
                             primary != nullptr ? primary->availableGeometry() : QRect());
}

void placeByFrame(QWidget& window, const std::function<QPoint()>& place) {
    // A placement still waiting from an earlier showing is replaced by this one.
    delete window.findChild<QObject*>(QLatin1String(FramePlacer::name), Qt::FindDirectChildrenOnly);
    window.move(place());
    if (frameMargins(window).isNull()) {
        new FramePlacer(window, place);
    }
}

}  // namespace quorvik
