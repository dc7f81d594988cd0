// The main window: start-up and shutdown with the settings, the layout of each level, the legend,
// the menus and buttons, and the route from a cell element's command to the rules.
#include "QVMain.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

#include "About.h"
#include "CQVImageFrame.h"
#include "Fonts.h"
#include "ManPage.h"
#include "QVMessages.h"
#include "QuorvikIniFile.h"
#include "VersionInfo.h"

namespace quorvik {

namespace ini = QuorvikIniFile;

namespace {

// Margins of the board inside the window's client area, below the menu bar.
constexpr int panelMainLeft = 4;
constexpr int panelMainTop = 8;
constexpr int clientMarginRight = 4;
constexpr int clientMarginBottom = 4;
// Panels keep a 2-pixel border around their elements.
constexpr int panelBorder = 2;
constexpr int numberPanelExtent = TShipForm::elementPitch + 2 * panelBorder;
// Legend ships of one row sit 8 pixels apart, legend rows 42 pixels apart.
constexpr int legendShipGap = 8;
constexpr int legendRowPitch = 42;
constexpr int legendHeadingHeight = 18;

QFrame* createPanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

void showErrorBox(const QString& message) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
}

}  // namespace

TShipForm::TShipForm(QWidget* parent) : TShipForm(Options{}, parent) {}

TShipForm::TShipForm(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), game_(this, options_.seeds) {
    if (!options_.reportError) {
        options_.reportError = showErrorBox;
    }
    FormCreate();
}

TShipForm::~TShipForm() {
    // The elements refer to the model's state; they go with their panels before the model.
    game_.setDisplay(nullptr);
    delete centralWidget();
}

void TShipForm::setAuxiliaryWindows(TAboutBox* about, TManualForm* manual) {
    aboutBox_ = about;
    manualForm_ = manual;
}

void TShipForm::FormCreate() {
    setObjectName(QStringLiteral("ShipForm"));
    setWindowTitle(QStringLiteral("Quorvik"));
    setFont(windowFont());
    createPanels();
    createMenus();
    // The window takes the size of its board: it cannot be resized by dragging.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    FVersion_ = programVersionText();
    // A store error is shown as start-up's error; the values read before it stay, the others
    // take their defaults, and the window still opens with a game.
    if (const std::optional<QString> error = ini::LoadSettingsOrDefaults(settings_)) {
        options_.reportError(*error);
    }
    // A stored position is placed within the 16 bits window systems keep for it: beyond, the
    // window's geometry arithmetic would overflow.
    constexpr int positionLimit = 32767;
    move(std::clamp(settings_.X1, -positionLimit - 1, positionLimit),
         std::clamp(settings_.Y1, -positionLimit - 1, positionLimit));
    resize(settings_.X2, settings_.Y2);
    SetLevel(settings_.Lev);
}

void TShipForm::createPanels() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    PanelMain = new QWidget(client);
    PanelMain->setObjectName(QStringLiteral("PanelMain"));
    PanelMain->move(panelMainLeft, panelMainTop);

    PanelImages = createPanel(PanelMain, QStringLiteral("PanelImages"));
    PanelCol = createPanel(PanelMain, QStringLiteral("PanelCol"));
    PanelRow = createPanel(PanelMain, QStringLiteral("PanelRow"));
    PanelLegend = createPanel(PanelMain, QStringLiteral("PanelLegend"));

    Label1 = new QLabel(QStringLiteral("Diese Schiffe suchen."), PanelLegend);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The heading's heavy face: Arial in its blackest weight, 18 pixels high with its leading.
    QFont heading = arialFont(14);
    heading.setWeight(QFont::Black);
    Label1->setFont(heading);
    Label1->move(4, 4);
    Label1->setFixedHeight(legendHeadingHeight);

    PanelButtons = new QFrame(PanelMain);
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
    connect(btnZeigen, &QPushButton::clicked, this, &TShipForm::Zeigen1Click);
    connect(btnNeu, &QPushButton::clicked, this, &TShipForm::Neu1Click);

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
}

void TShipForm::createMenus() {
    QMenu* spiel = menuBar()->addMenu(QStringLiteral("Spiel"));
    spiel->setObjectName(QStringLiteral("MMSpiel"));
    auto makeAction = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        // Shortcuts work wherever the focus is in the main window.
        action->setShortcutContext(Qt::WindowShortcut);
        this->addAction(action);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    connect(makeAction(spiel, "Neu1", QStringLiteral("Neu"), QKeySequence(Qt::Key_F2)),
            &QAction::triggered, this, &TShipForm::Neu1Click);
    addSeparator(spiel, "N1");
    levelGroup_ = new QActionGroup(this);
    levelGroup_->setExclusive(true);
    for (int level = minLevel; level <= maxLevel; ++level) {
        const LevelInfo& info = levelInfo(level);
        QAction* action = makeAction(
            spiel, std::string(info.menuName).c_str(),
            QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())),
            QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + level - minLevel)));
        action->setCheckable(true);
        action->setData(level);
        action->setChecked(level == minLevel);
        levelGroup_->addAction(action);
        levelActions_[static_cast<std::size_t>(level - minLevel)] = action;
    }
    // Choosing the level already checked starts a new game too.
    connect(levelGroup_, &QActionGroup::triggered, this, &TShipForm::TMMLevelClick);
    addSeparator(spiel, "N2")->setVisible(false);
    connect(makeAction(spiel, "Zeigen1", QStringLiteral("Zeigen"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &TShipForm::Zeigen1Click);
    makeAction(spiel, "Bestzeiten1", QStringLiteral("Bestzeiten"))->setVisible(false);
    addSeparator(spiel, "N3");
    connect(makeAction(spiel, "Beenden1", QStringLiteral("Beenden")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("N4"));
    connect(makeAction(help, "Anleitung1", QStringLiteral("Anleitung")), &QAction::triggered, this,
            &TShipForm::Anleitung1Click);
    addSeparator(help, "N5");
    connect(makeAction(help, "Info1", QStringLiteral("Info")), &QAction::triggered, this,
            &TShipForm::Info1Click);
}

// --- Level, new game, solution ---

void TShipForm::SetLevel(int level) {
    game_.SetLevel(level);
}

void TShipForm::levelChanged() {
    levelActions_[static_cast<std::size_t>(game_.level() - minLevel)]->setChecked(true);
    Label1->setText(QString::fromStdString(game_.levelText()));
    Label1->adjustSize();
    Label1->setFixedHeight(legendHeadingHeight);
}

void TShipForm::TMMLevelClick(QAction* sender) {
    const int level = sender->data().toInt();
    settings_.Lev = level;
    SetLevel(level);
}

void TShipForm::Neu1Click() {
    game_.NewGame();
    game_.UpdateSums();
}

void TShipForm::Zeigen1Click() {
    game_.ShowSolution();
}

void TShipForm::Info1Click() {
    if (aboutBox_ != nullptr) {
        aboutBox_->showVersion(FVersion_);
    }
}

void TShipForm::Anleitung1Click() {
    if (manualForm_ != nullptr) {
        manualForm_->showOver(frameGeometry());
    }
}

// --- The cell command ---

bool TShipForm::event(QEvent* event) {
    if (event->type() == CellCommandEvent::eventType) {
        const auto* command = static_cast<CellCommandEvent*>(event);
        game_.HandleCellCommand(command->wParam(), command->lParam());
        return true;
    }
    return QMainWindow::event(event);
}

void TShipForm::closeEvent(QCloseEvent* event) {
    settings_.X1 = x();
    settings_.Y1 = y();
    settings_.Y2 = height();
    settings_.X2 = width();
    settings_.Lev = game_.level();
    settings_.Ver = FVersion_;
    ini::SaveSettings(settings_);
    QMainWindow::closeEvent(event);
}

// --- Display operations of the rules ---

void TShipForm::setBackground(Background background) {
    ImageList1.setBackground(background);
}

TQVImageFrame* TShipForm::frameFor(const ElementRef& e) const {
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

void TShipForm::drawElement(const ElementRef& element, int code) {
    // While a new game is generated nothing is drawn: the finished board is drawn once.
    if (inNewGame_) {
        return;
    }
    TQVImageFrame* frame = frameFor(element);
    if (frame == nullptr) {
        return;
    }
    if (element.kind == ElementKind::ColNumber || element.kind == ElementKind::RowNumber) {
        frame->paintNumber(code, &ImageList1);
    } else {
        frame->paintPicture(code, &ImageList1);
    }
}

void TShipForm::newGameStarted() {
    inNewGame_ = true;
}

void TShipForm::newGameFinished() {
    inNewGame_ = false;
    BuildBoard();
}

// --- Elements and layout ---

TQVImageFrame* TShipForm::gridFrame(int x, int y) const {
    if (x < 0 || x >= maxBoardSize || y < 0 || y >= maxBoardSize) {
        return nullptr;
    }
    return FGrid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
}

TQVImageFrame* TShipForm::colFrame(int x) const {
    return x >= 0 && x < maxBoardSize ? FColNumbers[static_cast<std::size_t>(x)] : nullptr;
}

TQVImageFrame* TShipForm::rowFrame(int y) const {
    return y >= 0 && y < maxBoardSize ? FRowNumbers[static_cast<std::size_t>(y)] : nullptr;
}

TQVImageFrame* TShipForm::legendFrame(int r, int s, int i) const {
    const ElementState* entry = game_.legendEntry(r, s, i);
    if (entry == nullptr) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(entry - game_.legend().data());
    return index < FLegendList.size() ? FLegendList[index] : nullptr;
}

TQVImageFrame* TShipForm::createFrame(QWidget* panel, const QString& name, int left, int top,
                                      ElementState& state) {
    auto* frame = new TQVImageFrame(panel);
    frame->setObjectName(name);
    frame->move(left, top);
    frame->bindState(&state);
    frame->show();
    return frame;
}

void TShipForm::BuildBoard() {
    setUpdatesEnabled(false);
    const int maxCol = game_.maxCol();
    const int maxRow = game_.maxRow();
    for (int i = 0; i <= maxCol; ++i) {
        for (int j = 0; j <= maxRow; ++j) {
            TQVImageFrame*& cell = FGrid[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            if (cell == nullptr) {
                cell = createFrame(PanelImages, QStringLiteral("FrameIF_%1_%2").arg(i).arg(j),
                                   i * elementPitch + panelBorder, j * elementPitch + panelBorder,
                                   game_.cell(i, j));
            }
            // Clues show their segment on grey, every other cell its mark on silver.
            ImageList1.setBackground(game_.cell(i, j).IsFixed ? Background::Grey
                                                              : Background::Silver);
            if (cell->ImageList() == nullptr) {
                cell->setImageList(&ImageList1);
            } else {
                cell->paintPicture(game_.cell(i, j).ImageIndex);
            }
        }
        ImageList1.setBackground(Background::Silver);
        TQVImageFrame*& number = FColNumbers[static_cast<std::size_t>(i)];
        if (number == nullptr) {
            number = createFrame(PanelCol, QStringLiteral("FrameIC_%1").arg(i),
                                 i * elementPitch + panelBorder, panelBorder, game_.colNumber(i));
            number->setContextMenuEnabled(false);
        }
        number->paintNumber(game_.colNumber(i).ImageIndex, &ImageList1);
    }
    for (int j = 0; j <= maxRow; ++j) {
        TQVImageFrame*& number = FRowNumbers[static_cast<std::size_t>(j)];
        if (number == nullptr) {
            number = createFrame(PanelRow, QStringLiteral("FrameIR_%1").arg(j), panelBorder,
                                 j * elementPitch + panelBorder, game_.rowNumber(j));
            number->setContextMenuEnabled(false);
        }
        number->paintNumber(game_.rowNumber(j).ImageIndex, &ImageList1);
    }
    BuildLegend();
    layoutPanels();
    setUpdatesEnabled(true);
}

void TShipForm::BuildLegend() {
    // Legend entries are made anew for every game; the old ones go first.
    qDeleteAll(FLegendList);
    FLegendList.clear();
    const int level = game_.legendLevel();
    const int top0 = Label1->y() + Label1->height() + 4;
    int width = 0;
    int height = 0;
    ElementState* entry = nullptr;
    for (int r = 0; r < level; ++r) {
        const int length = level - r;
        for (int s = 0; s <= r; ++s) {
            for (int i = 0; i < length; ++i) {
                entry = game_.legendEntry(r, s, i);
                const int left = (length * elementPitch + legendShipGap) * s + i * elementPitch + 4;
                const int top = top0 + r * legendRowPitch;
                TQVImageFrame* frame = createFrame(
                    PanelLegend, QStringLiteral("FrameIF_%1_%2_%3").arg(r).arg(s).arg(i), left, top,
                    *entry);
                frame->setContextMenuEnabled(false);
                frame->setImageList(&ImageList1);
                FLegendList.push_back(frame);
                width = std::max(width, left + numberPanelExtent);
                height = std::max(height, top + numberPanelExtent);
            }
        }
    }
    PanelLegend->resize(width, height);
}

void TShipForm::layoutPanels() {
    const int maxCol = game_.maxCol();
    const int maxRow = game_.maxRow();
    // 34 per column or row plus the panel's border on both sides.
    PanelImages->setGeometry(4, 4, maxCol * elementPitch + elementPitch + 2 * panelBorder,
                             maxRow * elementPitch + elementPitch + 2 * panelBorder);
    const QRect images = PanelImages->geometry();
    PanelCol->setGeometry(images.left(), images.top() + images.height(), images.width(),
                          numberPanelExtent);
    PanelRow->setGeometry(images.left() + images.width(), images.top(), numberPanelExtent,
                          images.height());
    const QSize legend = PanelLegend->size();
    QSize main;
    if (game_.level() > 6) {
        // Wide boards: the legend below the numbers, the buttons to its right.
        PanelLegend->move(images.left(), PanelCol->y() + PanelCol->height());
        PanelButtons->setGeometry(PanelLegend->x() + legend.width(), PanelLegend->y(),
                                  PanelCol->width() - legend.width(), legend.height());
        main = QSize(2 * images.left() + images.width() + PanelRow->width(),
                     2 * images.top() + images.height() + PanelCol->height() + legend.height());
    } else {
        // The legend right of the row numbers, the buttons below it.
        PanelLegend->move(PanelRow->x() + PanelRow->width(), images.top());
        PanelButtons->setGeometry(PanelLegend->x(), PanelLegend->y() + legend.height(),
                                  legend.width(), images.height() - legend.height());
        main = QSize(2 * images.left() + images.width() + PanelRow->width() + legend.width(),
                     2 * images.top() + images.height() + PanelCol->height());
    }
    PanelMain->resize(main);
    centralWidget()->setFixedSize(panelMainLeft + main.width() + clientMarginRight,
                                  panelMainTop + main.height() + clientMarginBottom);
    // The window follows the board at once, not only when the event loop next lays it out.
    layout()->activate();
    lblH->setText(QString::number(height()));
    lblW->setText(QString::number(width()));
    lblDbgCnt->setText(QString::number(static_cast<unsigned>(game_.attempts())));
}

}  // namespace quorvik
