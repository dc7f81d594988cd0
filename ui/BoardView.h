// The board view: the panels of the board, its elements (grid cells, column and row numbers,
// legend segments), the buttons beside the legend, the cell pitch that sets the size of all of
// them, and the frames drawn over cells (keyboard cursor, helps, feedback). It shows the model's
// state; the window decides what happens and where the legend goes.
#pragma once

#include <QColor>
#include <QWidget>

#include <array>
#include <map>
#include <vector>

#include "ElementState.h"
#include "LevelTable.h"
#include "Move.h"
#include "ShipGame.h"

class QFrame;
class QLabel;
class QPushButton;

namespace quorvik {

class TileImageSet;
class TQVImageFrame;

// The frames drawn over cells, each kind with its own look. Helps and feedback are outer frames
// at the element's edge, the keyboard cursor a dashed frame inside them, so all show at once.
enum class FrameKind {
    Cursor,         // the keyboard cursor, yellow
    Hint,           // the cells a hint decides, green
    Mistake,        // marks that cannot be right, magenta
    OtherSolution,  // marks of another solution than this game's, orange
    Conflict,       // marks in conflict with what is known, red
};

// The sizes of the board's parts at one cell pitch, by the same formulas at every pitch: a
// panel border of 2, legend ships 8 apart and legend rows 8 apart, an 18-pixel heading and
// 4-pixel insets, each scaled from the normal pitch of 34 and rounded.
struct BoardMetrics {
    static constexpr int normalPitch = 34;

    int pitch = normalPitch;

    int scaled(int normal) const { return (normal * pitch + normalPitch / 2) / normalPitch; }
    int border() const { return std::max(1, scaled(2)); }
    int inset() const { return scaled(4); }
    int picture() const { return pitch - 2; }
    int numberPanel() const { return pitch + 2 * border(); }
    int legendShipGap() const { return scaled(8); }
    int legendRowPitch() const { return pitch + scaled(8); }
    int headingHeight() const { return scaled(18); }

    // The grid panel of a level; the legend of its fleet, heading included.
    QSize images(int level) const;
    QSize legend(int level) const;
    // The board view's size with the legend on `side`. The buttons beside the legend keep their
    // size, so a small pitch may widen or heighten the view to hold them.
    QSize board(int level, LegendPlace side) const;
};

// The zoom steps, in percent of the normal size, and the pitch of each. Below 60 % the legend's
// heading and the numerals (3 against 8) no longer read well.
inline constexpr std::array<int, 10> zoomSteps = {60, 70, 80, 90, 100, 115, 130, 150, 175, 200};
inline constexpr int normalZoom = 100;
int pitchForZoom(int percent);
// The step nearest to `percent`.
int nearestZoomStep(int percent);

class TBoardView : public QWidget {
    Q_OBJECT

public:
    TBoardView(const ShipGame& game, const TileImageSet& images, QWidget* parent);
    ~TBoardView() override;

    // Places and shows the board of the finished game at `pitch`: creates grid and number
    // elements on first need, hides those beyond the board, makes the legend anew, shows every
    // element's state and lays the panels out with the legend on `side`.
    void build(int pitch, LegendPlace side);
    // Lays the panels out anew at `pitch` with the legend on `side`; elements keep their state.
    void arrange(int pitch, LegendPlace side);
    int pitch() const { return metrics_.pitch; }
    const BoardMetrics& metrics() const { return metrics_; }
    LegendPlace legendSide() const { return side_; }

    // The legend heading's text.
    void setHeading(const QString& text);
    // Figures of the last layout, never shown to the player.
    void setFigures(int windowHeight, int windowWidth, unsigned attempts);
    QPushButton* showButton() const { return btnZeigen; }
    QPushButton* newButton() const { return btnNeu; }
    // The panel of the buttons, which has room below them for the window's own labels.
    QFrame* buttonsPanel() const { return PanelButtons; }

    // Shows the model's state in the given elements.
    void refresh(const ChangedElements& elements);
    void refreshElement(const ElementRef& element);

    // The elements as the view shows them; nullptr where none was created.
    TQVImageFrame* gridFrame(int x, int y) const;
    TQVImageFrame* colFrame(int x) const;
    TQVImageFrame* rowFrame(int y) const;
    TQVImageFrame* legendFrame(int r, int s, int i) const;
    const std::vector<TQVImageFrame*>& legendFrames() const { return FLegendList; }
    TQVImageFrame* frameFor(const ElementRef& element) const;

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

signals:
    // A mouse button went down on an element.
    void elementPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class FrameLayer;

    // The state an element is shown in: the model's, with the running count's looks.
    ElementState shownState(const ElementRef& element, const ElementState& state) const;
    bool tickedByCount(int shipRow, int shipNo) const;
    TQVImageFrame* createFrame(QWidget* panel, const QString& name, const ElementRef& place);
    void buildLegend();
    void placeElements();
    void layoutPanels();

    const ShipGame& game_;
    const TileImageSet& images_;
    BoardMetrics metrics_;
    LegendPlace side_ = LegendPlace::Right;

    QFrame* PanelImages = nullptr;
    QFrame* PanelCol = nullptr;
    QFrame* PanelRow = nullptr;
    QFrame* PanelLegend = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* PanelButtons = nullptr;
    QPushButton* btnZeigen = nullptr;
    QPushButton* btnNeu = nullptr;
    QFrame* PanelDebug = nullptr;
    QLabel* lblH = nullptr;
    QLabel* lblW = nullptr;
    QLabel* lblDbgCnt = nullptr;
    FrameLayer* frameLayer_ = nullptr;

    std::array<std::array<TQVImageFrame*, maxBoardSize>, maxBoardSize> FGrid{};  // [col][row]
    std::array<TQVImageFrame*, maxBoardSize> FColNumbers{};
    std::array<TQVImageFrame*, maxBoardSize> FRowNumbers{};
    // The current legend's elements, in the model's order (row, ship, segment).
    std::vector<TQVImageFrame*> FLegendList;
    std::map<FrameKind, std::vector<ElementRef>> frames_;
    LiveFeedback tally_;
};

}  // namespace quorvik
