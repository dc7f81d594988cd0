// The main window: the board, its numbers and legend, the two buttons and the menus. It owns the
// puzzle model, routes the cell commands of its elements to it, and draws what the model asks.
#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <vector>

#include "BoardDisplay.h"
#include "QuorvikIniFile.h"
#include "ShipGame.h"
#include "TileImageSet.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace quorvik {

class TAboutBox;
class TManualForm;
class TQVImageFrame;

class TShipForm : public QMainWindow, private BoardDisplay {
    Q_OBJECT

public:
    // What start-up takes from outside; tests replace both.
    struct Options {
        // Shows an error that escaped start-up, as the application's error handler would.
        std::function<void(const QString&)> reportError;
        // Where the generator takes its seeds from.
        RuntimeRandom::SeedSource seeds = RuntimeRandom::clockSeed;
    };

    static constexpr int elementPitch = 34;

    explicit TShipForm(QWidget* parent = nullptr);
    explicit TShipForm(Options options, QWidget* parent = nullptr);
    ~TShipForm() override;

    // The About and manual windows, created after the main window (not owned).
    void setAuxiliaryWindows(TAboutBox* about, TManualForm* manual);

    // Applies a level: checks its menu entry, sets the legend heading, starts a new game.
    void SetLevel(int level);
    void Neu1Click();
    void Zeigen1Click();
    void TMMLevelClick(QAction* sender);
    void Info1Click();
    void Anleitung1Click();

    ShipGame& game() { return game_; }
    const QString& FVersion() const { return FVersion_; }
    // The settings as loaded at start, with the level chosen since.
    const QuorvikIniFile::Settings& settings() const { return settings_; }
    TileImageSet& imageList() { return ImageList1; }

    // The elements as the window shows them; nullptr where none was created.
    TQVImageFrame* gridFrame(int x, int y) const;
    TQVImageFrame* colFrame(int x) const;
    TQVImageFrame* rowFrame(int y) const;
    TQVImageFrame* legendFrame(int r, int s, int i) const;
    const std::vector<TQVImageFrame*>& legendFrames() const { return FLegendList; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // BoardDisplay: the model's display operations.
    void setBackground(Background background) override;
    void drawElement(const ElementRef& element, int code) override;
    void levelChanged() override;
    void newGameStarted() override;
    void newGameFinished() override;

    void FormCreate();
    void createPanels();
    void createMenus();
    TQVImageFrame* frameFor(const ElementRef& element) const;
    TQVImageFrame* createFrame(QWidget* panel, const QString& name, int left, int top,
                               ElementState& state);
    // Places and draws the board of the finished game; creates grid and number elements on
    // first need and the legend anew.
    void BuildBoard();
    void BuildLegend();
    void layoutPanels();

    Options options_;
    ShipGame game_;
    TileImageSet ImageList1;
    QString FVersion_;
    QuorvikIniFile::Settings settings_;
    bool inNewGame_ = false;

    QWidget* PanelMain = nullptr;
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

    std::array<std::array<TQVImageFrame*, maxBoardSize>, maxBoardSize> FGrid{};  // [col][row]
    std::array<TQVImageFrame*, maxBoardSize> FColNumbers{};
    std::array<TQVImageFrame*, maxBoardSize> FRowNumbers{};
    // The current legend's elements, in the model's order (row, ship, segment).
    std::vector<TQVImageFrame*> FLegendList;

    QActionGroup* levelGroup_ = nullptr;
    std::array<QAction*, maxLevel - minLevel + 1> levelActions_{};

    TAboutBox* aboutBox_ = nullptr;
    TManualForm* manualForm_ = nullptr;
};

}  // namespace quorvik
