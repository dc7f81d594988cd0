// The cell element: one square of the board window, a grid cell, a column or row number or a
// legend segment. It shows a copy of its element's state, which the window refreshes from the
// model after every move, and turns the player's clicks into cell commands for its window; it
// never changes the board itself.
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

#include "ElementState.h"
#include "Move.h"

class QAction;
class QMenu;

namespace quorvik {

class TileImageSet;
class TQVImagePicture;

class TQVImageFrame : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)
    Q_PROPERTY(int ShipIndex READ ShipIndex WRITE setShipIndex)
    Q_PROPERTY(bool HasShip READ HasShip WRITE setHasShip)
    Q_PROPERTY(bool IsFixed READ IsFixed WRITE setIsFixed)
    Q_PROPERTY(int Col READ Col WRITE setCol)
    Q_PROPERTY(int Row READ Row WRITE setRow)
    Q_PROPERTY(bool IsColElement READ IsColElement WRITE setIsColElement)
    Q_PROPERTY(bool IsRowElement READ IsRowElement WRITE setIsRowElement)
    Q_PROPERTY(bool IsCovered READ IsCovered WRITE setIsCovered)
    Q_PROPERTY(bool IsLegend READ IsLegend WRITE setIsLegend)
    Q_PROPERTY(int ShipLength READ ShipLength WRITE setShipLength)
    Q_PROPERTY(int ShipNo READ ShipNo WRITE setShipNo)
    Q_PROPERTY(int ShipRow READ ShipRow WRITE setShipRow)
    Q_PROPERTY(int ReihenSumme READ ReihenSumme WRITE setReihenSumme)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)

public:
    static constexpr int frameSize = 34;
    static constexpr int pictureSize = 32;

    explicit TQVImageFrame(QWidget* parent = nullptr);
    ~TQVImageFrame() override;

    // Size, bevel, the element's default state, the hint switched off. The picture stays.
    void Preset();
    // The element's size on the board: `pitch` square, with the picture area 2 pixels smaller
    // inside the bevel. The normal pitch is frameSize.
    void setPitch(int pitch);

    // Where the element sits on the board; its cell commands name this place as their source.
    const ElementRef& place() const { return place_; }
    void setPlace(const ElementRef& place) { place_ = place; }

    // Takes a copy of the model's state for this element and shows it: the picture is drawn
    // anew from the state by the set's one rendering function, whatever it showed before.
    void refresh(const ElementState& state, const TileImageSet& set);
    const ElementState& state() const { return state_; }

    int ImageIndex() const { return state_.ImageIndex; }
    // Stores the code; with an image set attached and a code that has a picture (0 to 33) it
    // draws it on the set's current background. A code outside the set keeps the old picture.
    void setImageIndex(int code);
    int ShipIndex() const { return state_.ShipIndex; }
    void setShipIndex(int code) { state_.ShipIndex = code; }
    bool HasShip() const { return state_.HasShip; }
    void setHasShip(bool value) { state_.HasShip = value; }
    bool IsFixed() const { return state_.IsFixed; }
    void setIsFixed(bool value) { state_.IsFixed = value; }
    int Col() const { return state_.Col; }
    void setCol(int value) { state_.Col = value; }
    int Row() const { return state_.Row; }
    void setRow(int value) { state_.Row = value; }
    bool IsColElement() const { return state_.IsColElement(); }
    void setIsColElement(bool value) { state_.SetIsColElement(value); }
    bool IsRowElement() const { return state_.IsRowElement(); }
    void setIsRowElement(bool value) { state_.SetIsRowElement(value); }
    bool IsCovered() const { return state_.IsCovered; }
    void setIsCovered(bool value) { state_.IsCovered = value; }
    bool IsLegend() const { return state_.IsLegend; }
    void setIsLegend(bool value) { state_.IsLegend = value; }
    int ShipLength() const { return state_.ShipLength; }
    void setShipLength(int value) { state_.ShipLength = value; }
    int ShipNo() const { return state_.ShipNo; }
    void setShipNo(int value) { state_.ShipNo = value; }
    int ShipRow() const { return state_.ShipRow; }
    void setShipRow(int value) { state_.ShipRow = value; }
    int ReihenSumme() const { return state_.ReihenSumme; }
    void setReihenSumme(int value) { state_.ReihenSumme = value; }
    QString Hint() const { return hint_; }
    void setHint(const QString& text) { hint_ = text; }
    bool ShowHint() const { return showHint_; }
    void setShowHint(bool value) { showHint_ = value; }

    // The image set the element draws through (not owned). Attaching redraws the current code.
    TileImageSet* ImageList() const { return imageList_; }
    void setImageList(TileImageSet* set);

    // The element's own picture, kept between draws so that marks can be laid over it. It is
    // 32 x 32 at every zoom; what the screen shows at another size or pixel density is drawn
    // from the state for that size when painted.
    const QImage& picture() const { return picture_; }
    // The picture as shown at `deviceSize` pixels square: the picture itself at 32, else drawn
    // from the state at that size (or, for a picture not drawn from a state, enlarged).
    QImage shownPicture(int deviceSize);
    // The 32 x 32 picture area at (1, 1), which takes the clicks and shows the hint.
    QWidget* Image1() const;

    // Whether a right click opens the cell menu. Only grid cells ever show it; the window
    // switches it off for numbers and legend entries.
    bool contextMenuEnabled() const { return contextMenuEnabled_; }
    void setContextMenuEnabled(bool enabled) { contextMenuEnabled_ = enabled; }
    // The cell menu, built on first use and released when it closes: "???" and the six ship
    // shapes.
    QMenu* PopupMenu1();

    // The hint the picture shows when the mouse rests on it, or an empty text when hints are
    // off. Read from the state each time, so it always gives the current sum.
    QString currentHint() const;

    // A left click on the picture: sends the command of the element's role to its window.
    void Image1Click();
    // An entry of the cell menu was chosen: sends the entry's code for this cell.
    void PopUpClick(QAction* sender);

protected:
    // The keys shown beside the cell menu's entries choose them while the menu is open.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TQVImagePicture;

    void showContextMenu(const QPoint& globalPos);
    void applyMenuIcons();
    void sendCommand(int a, int b, int code);

    ElementState state_;
    ElementRef place_{ElementKind::Grid, -1, -1, 0};
    // The tooltip shown when hints are on; the window writes the sums into it.
    QString hint_ = QStringLiteral("Summe: 0");
    bool showHint_ = false;
    TileImageSet* imageList_ = nullptr;
    QImage picture_;
    // The last state's picture at the size shown, and the set it was drawn from.
    QImage shown_;
    const TileImageSet* drawnBy_ = nullptr;
    TQVImagePicture* image1_ = nullptr;
    QMenu* menu_ = nullptr;
    bool contextMenuEnabled_ = true;
};

}  // namespace quorvik
