// The cell element: one square of the board window, a grid cell, a column or row number or a
// legend segment. It shows the picture of its element's code and turns the player's clicks into
// cell commands for its window; it never changes the board itself.
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

#include "ElementState.h"

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

    // Size, bevel and the element's default state. The picture stays as it is.
    void Preset();

    // The state the element shows: its own until the window binds it to the model's element.
    // A bound state must outlive the binding; nullptr returns to the element's own state. With
    // an image set attached, the element then shows the state's code.
    void bindState(ElementState* state);
    ElementState& state() { return *state_; }
    const ElementState& state() const { return *state_; }

    int ImageIndex() const { return state_->ImageIndex; }
    // Stores the code; with an image set attached and a code that has a picture (0 to 33) it
    // draws it on the set's current background. A code outside the set keeps the old picture.
    void setImageIndex(int code);
    int ShipIndex() const { return state_->ShipIndex; }
    void setShipIndex(int code) { state_->ShipIndex = code; }
    bool HasShip() const { return state_->HasShip; }
    void setHasShip(bool value) { state_->HasShip = value; }
    bool IsFixed() const { return state_->IsFixed; }
    void setIsFixed(bool value) { state_->IsFixed = value; }
    int Col() const { return state_->Col; }
    void setCol(int value) { state_->Col = value; }
    int Row() const { return state_->Row; }
    void setRow(int value) { state_->Row = value; }
    bool IsColElement() const { return state_->IsColElement(); }
    void setIsColElement(bool value) { state_->SetIsColElement(value); }
    bool IsRowElement() const { return state_->IsRowElement(); }
    void setIsRowElement(bool value) { state_->SetIsRowElement(value); }
    bool IsCovered() const { return state_->IsCovered; }
    void setIsCovered(bool value) { state_->IsCovered = value; }
    bool IsLegend() const { return state_->IsLegend; }
    void setIsLegend(bool value) { state_->IsLegend = value; }
    int ShipLength() const { return state_->ShipLength; }
    void setShipLength(int value) { state_->ShipLength = value; }
    int ShipNo() const { return state_->ShipNo; }
    void setShipNo(int value) { state_->ShipNo = value; }
    int ShipRow() const { return state_->ShipRow; }
    void setShipRow(int value) { state_->ShipRow = value; }
    int ReihenSumme() const { return state_->ReihenSumme; }
    void setReihenSumme(int value) { state_->ReihenSumme = value; }
    QString Hint() const { return QString::fromStdString(state_->Hint); }
    void setHint(const QString& text) { state_->Hint = text.toStdString(); }
    bool ShowHint() const { return state_->ShowHint; }
    void setShowHint(bool value) { state_->ShowHint = value; }

    // The image set the element draws through (not owned). Attaching or detaching redraws the
    // current code and records in the state whether the element draws through a set.
    TileImageSet* ImageList() const { return imageList_; }
    void setImageList(TileImageSet* set);

    // Draws picture `code` on the set's current background and repaints, leaving the state
    // alone. `set` defaults to the attached one. Returns whether anything was drawn.
    bool paintPicture(int code, const TileImageSet* set = nullptr);
    // The same for a number element's count, 0 to 31.
    bool paintNumber(int count, const TileImageSet* set = nullptr);

    // The element's own picture, kept between draws so that marks can be laid over it.
    const QImage& picture() const { return picture_; }
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

private:
    friend class TQVImagePicture;

    void showContextMenu(const QPoint& globalPos);
    void applyMenuIcons();
    void sendCommand(int a, int b, int code);

    ElementState ownState_;
    ElementState* state_ = &ownState_;
    TileImageSet* imageList_ = nullptr;
    QImage picture_;
    TQVImagePicture* image1_ = nullptr;
    QMenu* menu_ = nullptr;
    bool contextMenuEnabled_ = true;
};

}  // namespace quorvik
