// The board's size in the main window: the zoom the player chose and the one shown (the chosen
// one, or less where the window would not fit its screen with "An Bildschirm anpassen", and the
// largest that fits while maximised), the legend's side, and the window's size around the board
// and the helps' bar.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include "BoardView.h"

class QAction;
class QMainWindow;

namespace quorvik {

class HelpBar;
class ShipGame;

// Margins of the board inside the window's client area, below the menu bar.
inline constexpr int panelMainLeft = 4;
inline constexpr int panelMainTop = 8;
inline constexpr int clientMarginRight = 4;
inline constexpr int clientMarginBottom = 4;

class WindowZoom : public QObject {
public:
    // `fit` is the checkable "An Bildschirm anpassen"; the zoom watches the window's state and
    // screen.
    WindowZoom(QMainWindow& window, BoardView& board, HelpBar& helpBar, const ShipGame& game,
               const QAction& fit);

    int chosen() const { return chosen_; }
    int shown() const { return shown_; }
    // Takes `percent` (its nearest step) as the chosen zoom without showing it yet.
    void choose(int percent) { chosen_ = nearestZoomStep(percent); }
    // Chooses `percent` and shows the board at it; a step larger or smaller than the one shown.
    void setZoom(int percent);
    void zoomIn();
    void zoomOut();

    // Builds the board of a new game at the fitted zoom.
    void buildBoard();
    // Shows the board at the fitted zoom and, with the fit on, moves the window onto its screen.
    void apply();
    // Sizes the window to the board and the helps' bar beneath it.
    void layoutWindow();
    // With the fit on, moves the shown window so that it lies wholly on its screen.
    void keepOnScreen();
    // Where the window's frame goes so that it lies wholly on the screen it is on.
    QPoint placeOnScreen(const QPoint& place) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The legend's side for the board at `pitch` on the window's screen.
    LegendPlace legendSideAt(int pitch) const;
    // Around the board view: its margins in the client area, the menu bar and the window's frame.
    QSize aroundBoard() const;
    // The window's outer size at `zoom`, a shown helps' bar of two lines included.
    QSize outerSizeAt(int zoom) const;
    // The zoom to show: the chosen one, or with the fit on (and while maximised) the largest step
    // up to it at which the whole window fits the screen's available area.
    int fittedZoom() const;

    QMainWindow& window_;
    BoardView& board_;
    HelpBar& helpBar_;
    const ShipGame& game_;
    const QAction& fit_;
    int chosen_ = normalZoom;
    int shown_ = normalZoom;
    bool maximised_ = false;
    bool screenWatched_ = false;
    QTimer sizeBack_;  // puts the board's size back after a drag outside the maximised state
};

}  // namespace quorvik
