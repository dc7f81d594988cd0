// Fitting the board to the window's screen, following its maximised state, and sizing the window.
#include "WindowZoom.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "HelpBar.h"
#include "LevelTable.h"
#include "ScreenFit.h"
#include "ShipGame.h"
#include "WindowFrame.h"

namespace quorvik {

WindowZoom::WindowZoom(QMainWindow& window, BoardView& board, HelpBar& helpBar,
                       const ShipGame& game, const QAction& fit)
    : QObject(&window), window_(window), board_(board), helpBar_(helpBar), game_(game), fit_(fit) {
    window.installEventFilter(this);
    sizeBack_.setSingleShot(true);
    sizeBack_.setInterval(250);
    connect(&sizeBack_, &QTimer::timeout, this, [this] {
        const bool larger =
            window_.width() > window_.minimumWidth() || window_.height() > window_.minimumHeight();
        if (!maximised_ && !window_.isFullScreen() && larger) {
            window_.resize(window_.minimumSize());
        }
    });
}

void WindowZoom::setZoom(int percent) {
    choose(percent);
    apply();
}

void WindowZoom::zoomIn() {
    // From the size shown: where the fit holds the board smaller, the step above it is tried.
    const auto* next = std::upper_bound(zoomSteps.begin(), zoomSteps.end(), shown_);
    setZoom(next != zoomSteps.end() ? *next : zoomSteps.back());
}

void WindowZoom::zoomOut() {
    const auto* at = std::lower_bound(zoomSteps.begin(), zoomSteps.end(), shown_);
    setZoom(at != zoomSteps.begin() ? *(at - 1) : zoomSteps.front());
}

void WindowZoom::buildBoard() {
    shown_ = fittedZoom();
    const int pitch = pitchForZoom(shown_);
    board_.build(pitch, legendSideAt(pitch));
}

void WindowZoom::apply() {
    shown_ = fittedZoom();
    const int pitch = pitchForZoom(shown_);
    // One repaint of the new size, not one per element moved.
    window_.setUpdatesEnabled(false);
    board_.arrange(pitch, legendSideAt(pitch));
    layoutWindow();
    window_.setUpdatesEnabled(true);
    if (!maximised_) {
        keepOnScreen();
    }
}

void WindowZoom::keepOnScreen() {
    if (fit_.isChecked() && window_.isVisible()) {
        window_.move(placeOnScreen(window_.pos()));
    }
}

QSize WindowZoom::aroundBoard() const {
    const QMargins frame = frameMargins(window_);
    return {panelMainLeft + clientMarginRight + frame.left() + frame.right(),
            panelMainTop + clientMarginBottom + window_.menuBar()->sizeHint().height() +
                frame.top() + frame.bottom()};
}

QSize WindowZoom::outerSizeAt(int zoom) const {
    const int pitch = pitchForZoom(zoom);
    const QSize board = BoardMetrics{pitch}.board(BoardShape::ofGame(game_), legendSideAt(pitch));
    // A helps' bar of two lines, so that a hint's text and "Übernehmen" show too.
    return board + aroundBoard() + QSize(0, helpBar_.twoLineHeight() + clientMarginBottom);
}

int WindowZoom::fittedZoom() const {
    const int chosen = maximised_ ? zoomSteps.back() : chosen_;
    const QScreen* on = window_.screen();
    if ((!fit_.isChecked() && !maximised_) || on == nullptr) {
        return chosen;
    }
    return fittingZoom(
        zoomSteps, chosen, [this](int zoom) { return outerSizeAt(zoom); },
        on->availableGeometry().size());
}

QPoint WindowZoom::placeOnScreen(const QPoint& place) const {
    const QScreen* at = QGuiApplication::screenAt(place + QPoint(1, 1));
    const QScreen* on = at != nullptr ? at : window_.screen();
    return on != nullptr ? placeWithin(QRect(place, outerSize(window_)), on->availableGeometry())
                         : place;
}

bool WindowZoom::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the window alone, the filter sees only its events.
    if (event->type() == QEvent::Show && !screenWatched_ && window_.windowHandle() != nullptr) {
        // Moved onto another screen, the window fits the board to that screen.
        screenWatched_ = true;
        connect(window_.windowHandle(), &QWindow::screenChanged, this, [this] {
            if (fit_.isChecked()) {
                apply();
            }
        });
    }
    // The window is not sized by dragging: outside the maximised state it keeps the board's
    // size. A window manager may send the new size before the maximised state, so the size is
    // put back only once the state has had time to arrive.
    if (event->type() == QEvent::Resize && !maximised_) {
        sizeBack_.start();
    }
    // Maximised, the window shows the largest zoom that fits its screen; restored, the zoom
    // before.
    if (event->type() == QEvent::WindowStateChange) {
        const bool maximised = (window_.windowState() & Qt::WindowMaximized) != 0;
        if (maximised != maximised_) {
            maximised_ = maximised;
            apply();
        }
    }
    return QObject::eventFilter(watched, event);
}

LegendPlace WindowZoom::legendSideAt(int pitch) const {
    const BoardMetrics metrics{pitch};
    const BoardShape shape = BoardShape::ofGame(game_);
    const QSize below = metrics.board(shape, LegendPlace::Below);
    const QSize right = metrics.board(shape, LegendPlace::Right);
    // A typed-in board takes the legend below where it is wider than high, as the levels do.
    const LegendPlace preferred = !game_.isTypedIn() ? levelInfo(game_.level()).legendPlace
                                  : shape.columns > shape.rows ? LegendPlace::Below
                                                               : LegendPlace::Right;
    const QSize around = aroundBoard();
    const QScreen* screen = window_.screen();
    return legendSide(preferred, below + around, right + around,
                      screen != nullptr ? screen->availableGeometry().size() : QSize());
}

void WindowZoom::layoutWindow() {
    const QSize main = board_.size();
    const int belowBoard = panelMainTop + main.height() + clientMarginBottom;
    // The helps' bar, while shown, lies under the board across its whole width.
    const int helpHeight = helpBar_.isHidden()
                               ? 0
                               : helpBar_.arrange(QPoint(panelMainLeft, belowBoard), main.width()) +
                                     clientMarginBottom;
    window_.centralWidget()->setFixedSize(panelMainLeft + main.width() + clientMarginRight,
                                          belowBoard + helpHeight);
    // The window follows the board at once, not only when the event loop next lays it out. It
    // takes the board's size but keeps no largest size: a window manager offers its maximise
    // box only to a window it may make larger. Maximised, the window manager gives the size
    // and the board shows the largest zoom that fits it; a size asked for then would end the
    // maximised state, as the new size may reach the window before its state.
    window_.layout()->activate();
    if (!maximised_) {
        const QSize boardWindow = window_.layout()->totalSizeHint();
        window_.setMinimumSize(boardWindow);
        window_.resize(boardWindow);
    }
}

}  // namespace quorvik
