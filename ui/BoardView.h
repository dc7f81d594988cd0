// The board view: one widget that paints the board's panels and elements (grid cells, column
// and row numbers, legend segments) from the game's state, finds the element under a click by
// arithmetic and reports it as a signal. It owns the cell pitch that sets every size and the
// frames drawn over cells (keyboard cursor, helps, feedback); the window decides what a click
// does and where the legend goes.
#pragma once

#include <QWidget>

#include <array>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "BoardFrames.h"
#include "BoardMetrics.h"
#include "ElementState.h"
#include "LevelTable.h"
#include "Move.h"
#include "ShipGame.h"

class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace quorvik {

class TileImageSet;

class BoardView : public QWidget {
    Q_OBJECT

public:
    BoardView(const ShipGame& game, const TileImageSet& images, QWidget* parent);

    // Shows the board of the finished game at `pitch` with the legend on `side`.
    void build(int pitch, LegendPlace side);
    // Lays the panels out anew at `pitch` with the legend on `side`.
    void arrange(int pitch, LegendPlace side);
    int pitch() const { return layout_.metrics.pitch; }
    const BoardLayout& currentLayout() const { return layout_; }

    // The legend heading's text. Its heavy face is set after the first paint, so that the first
    // frame does not wait for the font's sizes to be tried.
    void setHeading(const QString& text);
    bool headingFaceSet() const { return headingFaceSet_; }
    QPushButton* showButton() const { return showButton_; }
    QPushButton* newButton() const { return newButton_; }
    // The panel of the buttons, which has room below them for the window's own labels.
    QFrame* buttonsPanel() const { return buttons_; }

    // Repaints the given elements from the model's state.
    void refresh(const ChangedElements& elements);

    // Where an element lies in the view (its bevelled square), empty for one not on the board;
    // the element whose picture holds `point`, if any.
    QRect elementRect(const ElementRef& element) const;
    std::optional<ElementRef> elementAt(const QPoint& point) const;
    // The state an element is shown in: the model's, with the running count's looks.
    std::optional<ElementState> shownState(const ElementRef& element) const;
    // The picture an element shows at the current pitch, one device pixel per pixel; shared by
    // every element of the same look.
    QImage picture(const ElementRef& element) const;
    // The tooltip of an element: the sum of ship marks in a number's line, empty elsewhere.
    QString hint(const ElementRef& element) const;
    // The cell menu of a grid cell: "???" and the six ship shapes; a chosen entry is reported
    // as markChosen. Built on each use and released when it closes; nullptr for other elements.
    QMenu* cellMenu(const ElementRef& cell);

    // The frames of one kind: set replaces them, an empty list clears them. A legend segment's
    // frame goes round its whole ship, since a click on any segment ticks the ship.
    void setFrames(FrameKind kind, std::vector<ElementRef> cells);
    void clearFrames(FrameKind kind) { setFrames(kind, {}); }
    const std::vector<ElementRef>& frames(FrameKind kind) const;
    // Where a frame of `element` lies in the view's coordinates; empty for no element.
    QRect frameRect(const ElementRef& element) const;

    // The running count of the player's marks, shown while the window hands one over (an empty
    // count shows the model's state unchanged): numbers whose line holds exactly its count are
    // paler, the legend ticks complete ships by itself, and numbers of lines that are over and
    // marks that break the rules get Conflict frames. It changes only the looks, never the model.
    void setTally(LiveFeedback tally);

    const ShipGame& game() const { return game_; }

signals:
    // The first frame is painted: what it did not need may be prepared now.
    void firstFramePainted();
    // A mouse button went down on an element.
    void elementPressed();
    // A left click on an element: toggle a cell, fill a line, tick a legend ship.
    void elementActivated(const ElementRef& element);
    // An entry of a grid cell's menu: the cell gets `mark`.
    void markChosen(const ElementRef& cell, Mark mark);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The keys shown beside the cell menu's entries choose them while the menu is open.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The looks that decide a picture, with the device size it is drawn at.
    using PictureKey = std::tuple<bool, int, int, bool, int>;
    const QImage& pictureAt(const ElementRef& element, const ElementState& shown,
                            int deviceSize) const;
    const QImage* framedPictureAt(const ElementRef& element, const ElementState& shown,
                                  int size) const;
    // Where the parts of the current game's board lie at `pitch` with the legend on `side`.
    BoardLayout layoutAt(int pitch, LegendPlace side) const;
    bool tickedByCount(int shipRow, int shipNo) const;
    void applyHeadingFace();

    const ShipGame& game_;
    const TileImageSet& images_;
    BoardLayout layout_;

    QLabel* heading_ = nullptr;
    QFrame* buttons_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    bool headingFaceSet_ = false;

    std::array<std::vector<ElementRef>, 5> frames_;  // by FrameKind
    LiveFeedback tally_;
    // The element a left press went down on; a release on the same element is a click.
    std::optional<ElementRef> pressed_;
    mutable std::map<PictureKey, QImage> pictures_;
    // The pictures inside their bevels, as unscaled screens draw them: one per look and size.
    mutable std::map<PictureKey, QImage> framed_;
};

}  // namespace quorvik
