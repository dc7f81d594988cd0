// The window "Eigenes Rätsel". The board, the size and the fleet are one puzzle value; the text
// beside them is that value in the text form, written anew after every change and read back by
// "Text übernehmen", so a puzzle can be typed either way.
#include "PuzzleEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "AtomicFile.h"
#include "PuzzleCheck.h"
#include "PuzzleCode.h"
#include "PuzzleGrid.h"
#include "PuzzleText.h"

namespace quorvik {

namespace {

// A puzzle's text is a few kilobytes at most; a larger file is not one.
constexpr qsizetype maxPuzzleFile = 64 * 1024;
constexpr int fleetColumns = 4;

// The puzzle a new window starts with: a board as printed in newspapers, its numbers not yet
// typed, the usual fleet.
Puzzle emptyPuzzle() {
    Puzzle p;
    p.columns = p.rows = 10;
    p.columnNumbers.assign(10, -1);
    p.rowNumbers.assign(10, -1);
    p.fleet = {0, 4, 3, 2, 1};
    return p;
}

// `numbers` for lines of `count` cells each, as many as `lines`: kept where they fit.
std::vector<int> resizedNumbers(std::vector<int> numbers, int lines, int length) {
    numbers.resize(static_cast<std::size_t>(lines), -1);
    for (int& n : numbers) {
        n = std::min(n, length);
    }
    return numbers;
}

// Prüfen's answer for a count of solutions (up to PuzzleEditor::countLimit) or a cancelled count.
QString solutionCountText(const PuzzleSolutions& solutions) {
    if (solutions.cancelled) {
        return QStringLiteral("Die Prüfung wurde abgebrochen (bis dahin %1 gefunden).")
            .arg(solutions.count == 1 ? QStringLiteral("eine Lösung")
                                      : QStringLiteral("%1 Lösungen").arg(solutions.count));
    }
    if (solutions.count == 0) {
        return QStringLiteral("Das Rätsel hat keine Lösung.");
    }
    if (solutions.count == 1) {
        return QStringLiteral("Das Rätsel hat genau eine Lösung.");
    }
    if (solutions.count >= PuzzleEditor::countLimit) {
        return QStringLiteral("Das Rätsel hat mindestens %1 Lösungen.").arg(solutions.count);
    }
    return QStringLiteral("Das Rätsel hat %1 Lösungen.").arg(solutions.count);
}

// Tells the player what went wrong.
void warn(QWidget* editor, const QString& message) {
    QMessageBox::warning(editor, QStringLiteral("Eigenes Rätsel"), message);
}

}  // namespace

PuzzleEditor::PuzzleEditor(const TileImageSet& tiles, StartPuzzle start, QWidget* parent)
    : QDialog(parent), start_(std::move(start)) {
    setObjectName(QStringLiteral("PuzzleEditor"));
    setWindowTitle(QStringLiteral("Eigenes Rätsel"));
    if (parent != nullptr) {
        setFont(parent->font());
    }
    const auto button = [this](const QString& caption, const char* name, const QString& tip,
                               auto clicked) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, clicked);
        return b;
    };

    // Left: size and fleet; middle: the board; right: the text.
    auto* sizeBox = new QGroupBox(QStringLiteral("Größe"), this);
    auto* sizeLayout = new QGridLayout(sizeBox);
    columns_ = new QSpinBox(sizeBox);
    rows_ = new QSpinBox(sizeBox);
    for (QSpinBox* spin : {columns_, rows_}) {
        spin->setRange(1, maxPuzzleSide);
    }
    columns_->setObjectName(QStringLiteral("Spalten"));
    rows_->setObjectName(QStringLiteral("Zeilen"));
    auto* columnsLabel = new QLabel(QStringLiteral("&Spalten:"), sizeBox);
    columnsLabel->setBuddy(columns_);
    auto* rowsLabel = new QLabel(QStringLiteral("&Zeilen:"), sizeBox);
    rowsLabel->setBuddy(rows_);
    sizeLayout->addWidget(columnsLabel, 0, 0);
    sizeLayout->addWidget(columns_, 0, 1);
    sizeLayout->addWidget(rowsLabel, 1, 0);
    sizeLayout->addWidget(rows_, 1, 1);

    auto* fleetBox = new QGroupBox(QStringLiteral("&Flotte: Schiffe je Länge"), this);
    fleetLayout_ = new QGridLayout(fleetBox);

    auto* left = new QVBoxLayout;
    left->addWidget(sizeBox);
    left->addWidget(fleetBox);
    auto* keys = new QLabel(
        QStringLiteral("Klick auf ein Feld: nächster Hinweis (rechte Taste: voriger).\n"
                       "Klick auf eine Zahl: eins mehr (rechts: eins weniger), nach der größten "
                       "„?“.\n\nTasten auf dem Brett: Pfeile bewegen, . leer, ~ Wasser, "
                       "* Schiffsteil, o Einer, ^ v < > Enden, # Mittelteil; auf einer Zahl "
                       "Ziffern, ? für keine Zahl."),
        this);
    keys->setWordWrap(true);
    keys->setMaximumWidth(260);
    left->addWidget(keys);
    left->addStretch();

    grid_ = new PuzzleGrid(tiles, this);

    auto* textBox = new QGroupBox(QStringLiteral("Als &Text"), this);
    auto* textLayout = new QVBoxLayout(textBox);
    text_ = new QPlainTextEdit(textBox);
    text_->setObjectName(QStringLiteral("RaetselText"));
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMinimumWidth(260);
    textLayout->addWidget(text_);
    textLayout->addWidget(
        button(QStringLiteral("Text &übernehmen"), "btnTextUebernehmen",
               QStringLiteral("Liest das Rätsel aus dem Text oder einem Rätselcode"),
               [this] { takeText(text_->toPlainText()); }));

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(grid_, 0, Qt::AlignTop);
    top->addWidget(textBox, 1);

    answer_ = new QLabel(this);
    answer_->setObjectName(QStringLiteral("lblAntwort"));
    answer_->setWordWrap(true);
    answer_->setMinimumHeight(2 * answer_->fontMetrics().lineSpacing());

    checkButton_ = button(QStringLiteral("&Prüfen"), "btnPruefen",
                          QStringLiteral("Zählt die Lösungen des Rätsels (bis %1)").arg(countLimit),
                          &PuzzleEditor::check);
    cancelButton_ = button(QStringLiteral("Abbre&chen"), "btnAbbrechen",
                           QStringLiteral("Bricht die Prüfung ab"), &PuzzleEditor::cancelCheck);
    cancelButton_->setEnabled(false);
    auto* playButton =
        button(QStringLiteral("Sp&ielen"), "btnSpielen",
               QStringLiteral("Spielt das Rätsel mit allen Hilfen"), &PuzzleEditor::play);
    auto* openButton =
        button(QStringLiteral("Öff&nen…"), "btnOeffnen",
               QStringLiteral("Liest ein Rätsel aus einer Textdatei"), &PuzzleEditor::openFile);
    auto* saveButton =
        button(QStringLiteral("Speichern &unter…"), "btnSpeichern",
               QStringLiteral("Schreibt das Rätsel in eine Textdatei"), &PuzzleEditor::saveFile);
    auto* copyButton = button(QStringLiteral("&Kopieren"), "btnKopieren",
                              QStringLiteral("Legt das Rätsel als Text in die Zwischenablage"),
                              &PuzzleEditor::copyText);
    auto* codeButton = button(QStringLiteral("C&ode kopieren"), "btnCodeKopieren",
                              QStringLiteral("Legt den Rätselcode in die Zwischenablage"),
                              &PuzzleEditor::copyCode);
    auto* pasteButton = button(QStringLiteral("&Einfügen"), "btnEinfuegen",
                               QStringLiteral("Liest ein Rätsel (Text oder Code) aus der "
                                              "Zwischenablage"),
                               &PuzzleEditor::pasteText);
    auto* closeButton = button(QStringLiteral("Schließen"), "btnSchliessen", {}, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {checkButton_, cancelButton_, playButton}) {
        buttons->addWidget(b);
    }
    buttons->addSpacing(16);
    for (QPushButton* b : {openButton, saveButton, copyButton, codeButton, pasteButton}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top, 1);
    whole->addWidget(answer_);
    whole->addLayout(buttons);
    whole->setSizeConstraint(QLayout::SetFixedSize);

    connect(grid_, &PuzzleGrid::edited, this, &PuzzleEditor::puzzleEdited);
    connect(columns_, &QSpinBox::valueChanged, this, &PuzzleEditor::sizeEdited);
    connect(rows_, &QSpinBox::valueChanged, this, &PuzzleEditor::sizeEdited);
    setPuzzle(emptyPuzzle());
    grid_->setFocus();
}

PuzzleEditor::~PuzzleEditor() {
    if (worker_ != nullptr) {
        count_->cancel = true;
        worker_->wait();
        delete worker_;
    }
}

void PuzzleEditor::buildFleet(int longest) {
    std::vector<int> counts;
    for (QSpinBox* spin : fleet_) {
        counts.push_back(spin->value());
    }
    while (QLayoutItem* item = fleetLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    fleet_.clear();
    for (int length = 1; length <= longest; ++length) {
        auto* spin = new QSpinBox(this);
        spin->setObjectName(QStringLiteral("Flotte%1").arg(length));
        spin->setRange(0, maxPuzzleSide * maxPuzzleSide);
        spin->setPrefix(QStringLiteral("%1er: ").arg(length));
        spin->setToolTip(QStringLiteral("Wie viele Schiffe der Länge %1").arg(length));
        const auto k = static_cast<std::size_t>(length - 1);
        spin->setValue(k < counts.size() ? counts[k] : 0);
        connect(spin, &QSpinBox::valueChanged, this, &PuzzleEditor::puzzleEdited);
        fleetLayout_->addWidget(spin, (length - 1) / fleetColumns, (length - 1) % fleetColumns);
        fleet_.push_back(spin);
    }
}

Puzzle PuzzleEditor::puzzle() const {
    Puzzle p = grid_->puzzle();
    p.fleet.assign(1, 0);
    for (QSpinBox* spin : fleet_) {
        p.fleet.push_back(spin->value());
    }
    while (p.fleet.size() > 1 && p.fleet.back() == 0) {
        p.fleet.pop_back();
    }
    return p;
}

void PuzzleEditor::setPuzzle(const Puzzle& puzzle) {
    cancelCheck();
    showingPuzzle_ = true;
    columns_->setValue(puzzle.columns);
    rows_->setValue(puzzle.rows);
    // Ships no longer than the board's longer side, and every length the puzzle names.
    const int longest =
        std::max({puzzle.columns, puzzle.rows, static_cast<int>(puzzle.fleet.size()) - 1});
    fleet_.clear();  // no counts kept: the puzzle's are set below
    buildFleet(longest);
    for (std::size_t length = 1; length < puzzle.fleet.size(); ++length) {
        fleet_[length - 1]->setValue(puzzle.fleet[length]);
    }
    Puzzle shown = puzzle;
    shown.solution.clear();
    grid_->setPuzzle(shown);
    showingPuzzle_ = false;
    puzzleEdited();
}

void PuzzleEditor::sizeEdited() {
    if (showingPuzzle_) {
        return;
    }
    Puzzle p = puzzle();
    p.columns = columns_->value();
    p.rows = rows_->value();
    p.columnNumbers = resizedNumbers(p.columnNumbers, p.columns, p.rows);
    p.rowNumbers = resizedNumbers(p.rowNumbers, p.rows, p.columns);
    std::erase_if(p.clues, [&p](const Clue& c) { return c.x >= p.columns || c.y >= p.rows; });
    showingPuzzle_ = true;
    if (std::max(p.columns, p.rows) > static_cast<int>(fleet_.size())) {
        buildFleet(std::max(p.columns, p.rows));
    }
    grid_->setPuzzle(p);
    showingPuzzle_ = false;
    puzzleEdited();
}

void PuzzleEditor::puzzleEdited() {
    if (showingPuzzle_) {
        return;
    }
    cancelCheck();
    text_->setPlainText(QString::fromStdString(writePuzzleText(puzzle())));
    answer_->setText({});
}

bool PuzzleEditor::takeText(const QString& text) {
    const PuzzleReading read = readPuzzle(text.toStdString());
    if (!read.puzzle) {
        warn(this, QString::fromStdString(read.error));
        return false;
    }
    setPuzzle(*read.puzzle);
    return true;
}

// --- Prüfen ---

void PuzzleEditor::check() {
    cancelCheck();
    const Puzzle p = puzzle();
    if (const std::optional<std::string> reason = noSolutionReason(p)) {
        answer_->setText(
            QStringLiteral("Das Rätsel hat keine Lösung: %1").arg(QString::fromStdString(*reason)));
        return;
    }
    answer_->setText(QStringLiteral("Die Lösungen werden gezählt …"));
    count_ = std::make_shared<Count>();
    count_->puzzle = p;
    worker_ = QThread::create(
        [count = count_, p] { count->result = solvePuzzle(p, countLimit, &count->cancel); });
    // A count cancelled and answered already may still report its end: only this one counts.
    connect(worker_, &QThread::finished, this, [this, run = ++run_] {
        if (run == run_) {
            countFinished();
        }
    });
    checkButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    worker_->start();
}

void PuzzleEditor::cancelCheck() {
    playWhenCounted_ = false;
    if (worker_ == nullptr) {
        return;
    }
    count_->cancel = true;
    // The count looks at the flag often, so the wait is short; its answer is then shown.
    worker_->wait();
    countFinished();
}

void PuzzleEditor::countFinished() {
    if (worker_ == nullptr) {
        return;  // shown already, when cancelled
    }
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    checkButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    answer_->setText(solutionCountText(count_->result));
    counted_ = count_;
    if (std::exchange(playWhenCounted_, false) && !count_->result.cancelled) {
        startCounted();
    }
}

// --- Spielen ---

void PuzzleEditor::play() {
    const Puzzle p = puzzle();
    if (const std::optional<std::string> reason = noSolutionReason(p)) {
        warn(
            this,
            QStringLiteral("Das Rätsel hat keine Lösung: %1").arg(QString::fromStdString(*reason)));
        return;
    }
    // The game starts with the solution its count found, so the window never waits for a
    // search: counted already (or cancelled after a solution was found), at once, else once
    // the count (which Abbrechen stops) is done.
    if (worker_ != nullptr && count_->puzzle == p) {
        playWhenCounted_ = true;
    } else if (counted_ && counted_->puzzle == p &&
               (!counted_->result.cancelled || !counted_->result.solution.empty())) {
        startCounted();
    } else {
        check();
        playWhenCounted_ = true;
    }
}

void PuzzleEditor::startCounted() {
    Puzzle p = counted_->puzzle;
    p.solution = counted_->result.solution;
    if (p.solution.empty() || !start_(p)) {
        warn(this, QStringLiteral("Das Rätsel hat keine Lösung."));
        return;
    }
    close();
}

// --- Clipboard and files ---

void PuzzleEditor::copyText() {
    QApplication::clipboard()->setText(QString::fromStdString(writePuzzleText(puzzle())));
}

void PuzzleEditor::copyCode() {
    QApplication::clipboard()->setText(QString::fromStdString(puzzleCode(puzzle())));
}

void PuzzleEditor::pasteText() {
    const QString text = QApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        warn(this, QStringLiteral("Die Zwischenablage enthält keinen Text."));
        return;
    }
    takeText(text);
}

void PuzzleEditor::openFile() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Rätsel öffnen"), {},
                                                      QStringLiteral("Rätsel als Text (*.txt)"));
    if (path.isEmpty()) {
        return;
    }
    if (const std::optional<QByteArray> content = readRegularFile(path, maxPuzzleFile)) {
        takeText(QString::fromUtf8(*content));
    } else {
        warn(this, QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.")
                       .arg(QFileInfo(path).fileName()));
    }
}

void PuzzleEditor::saveFile() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Rätsel speichern unter"), {},
                                                QStringLiteral("Rätsel als Text (*.txt)"));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".txt");
    }
    ReplaceOptions options;
    options.userFile = true;
    if (!replaceFile(path, QByteArray::fromStdString(writePuzzleText(puzzle())), options)) {
        warn(this, QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden.")
                       .arg(QFileInfo(path).fileName()));
    }
}

}  // namespace quorvik
