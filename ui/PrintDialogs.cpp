// The printing entries' dialogs and their order of steps. Long work (building the puzzles of a
// booklet) runs under a progress dialog whose cancel is heard after each puzzle.
#include "PrintDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "LevelNames.h"
#include "LevelTable.h"
#include "ShipGame.h"

namespace quorvik {

namespace {

// The preview of the pages on the printer's own page size; its print button prints them.
void previewAndPrint(QWidget* parent, const std::vector<PaperPuzzle>& puzzles,
                     const SheetLayout& layout, const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Druckvorschau"));
    // A page large enough to read, on the screen the window is on.
    if (parent != nullptr && parent->screen() != nullptr) {
        preview.resize(parent->screen()->availableSize() * 3 / 4);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) { paintSheets(*target, puzzles, layout); });
    preview.exec();
}

// Asks for the file and writes it; the message says why a file could not be written.
void askAndSave(QWidget* parent, const std::vector<PaperPuzzle>& puzzles, const SheetLayout& layout,
                const QString& name) {
    const QString title = QStringLiteral("Als PDF speichern");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The suffix is added before the dialog asks whether to replace an existing file.
    QFileDialog files(parent, title, QDir(folder).filePath(name),
                      QStringLiteral("PDF-Dateien (*.pdf)"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setDefaultSuffix(QStringLiteral("pdf"));
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = files.selectedFiles().constFirst();
    if (const std::optional<QString> error = savePdf(path, puzzles, layout)) {
        QMessageBox::warning(parent, title, *error);
    }
}

// The pages of one puzzle: it on the first, its solution, when asked for, on the second.
SheetLayout singleLayout(const PrintOptionsDialog& options) {
    return {1, options.withSolution(), false};
}

}  // namespace

PrintOptionsDialog::PrintOptionsDialog(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    marks_ = new QCheckBox(QStringLiteral("Mit meinen &Markierungen"), this);
    solution_ = new QCheckBox(QStringLiteral("&Lösung auf eigener Seite"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(marks_);
    column->addWidget(solution_);
    column->addWidget(buttons);
}

bool PrintOptionsDialog::withMarks() const {
    return marks_->isChecked();
}

bool PrintOptionsDialog::withSolution() const {
    return solution_->isChecked();
}

BookletDialog::BookletDialog(int level, Difficulty difficulty, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Rätselheft"));
    level_ = new QComboBox(this);
    for (int l = minLevel; l <= maxLevel; ++l) {
        level_->addItem(QString::fromUtf8(levelNames(l).caption), l);
    }
    level_->setCurrentIndex(level_->findData(isValidLevel(level) ? level : minLevel));
    // Every booklet puzzle has exactly one solution, so "Beliebig" means any grade of those.
    difficulty_ = new QComboBox(this);
    for (const char* caption : {"Beliebig", "Leicht", "Mittel", "Schwer"}) {
        difficulty_->addItem(QString::fromLatin1(caption));
    }
    difficulty_->setCurrentIndex(static_cast<int>(difficulty));
    count_ = new QSpinBox(this);
    count_->setRange(1, 100);
    count_->setValue(12);
    perPage_ = new QComboBox(this);
    for (const int n : {1, 2, 4}) {
        perPage_->addItem(QString::number(n), n);
    }
    perPage_->setCurrentIndex(2);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Level:"), level_);
    form->addRow(QStringLiteral("&Schwierigkeit:"), difficulty_);
    form->addRow(QStringLiteral("&Anzahl der Rätsel:"), count_);
    form->addRow(QStringLiteral("Rätsel &je Seite:"), perPage_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print =
        buttons->addButton(QStringLiteral("&Drucken…"), QDialogButtonBox::AcceptRole);
    QPushButton* pdf =
        buttons->addButton(QStringLiteral("Als &PDF speichern…"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(print, &QPushButton::clicked, this, [this] { choose(Output::Printer); });
    connect(pdf, &QPushButton::clicked, this, [this] { choose(Output::Pdf); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(
        new QLabel(QStringLiteral("Jedes Rätsel hat genau eine Lösung und seine Spielnummer;\n"
                                  "die Lösungen stehen klein am Ende des Hefts."),
                   this));
    column->addWidget(buttons);
}

int BookletDialog::level() const {
    return level_->currentData().toInt();
}

Difficulty BookletDialog::difficulty() const {
    return static_cast<Difficulty>(difficulty_->currentIndex());
}

int BookletDialog::count() const {
    return count_->value();
}

int BookletDialog::perPage() const {
    return perPage_->currentData().toInt();
}

void BookletDialog::choose(Output output) {
    output_ = output;
    accept();
}

void printGame(QWidget* parent, const ShipGame& game) {
    PrintOptionsDialog options(QStringLiteral("Drucken"), parent);
    if (options.exec() == QDialog::Accepted) {
        const PaperPuzzle paper = paperPuzzle(game, options.withMarks());
        previewAndPrint(parent, {paper}, singleLayout(options), paper.number);
    }
}

void saveGamePdf(QWidget* parent, const ShipGame& game) {
    PrintOptionsDialog options(QStringLiteral("Als PDF speichern"), parent);
    if (options.exec() == QDialog::Accepted) {
        const PaperPuzzle paper = paperPuzzle(game, options.withMarks());
        askAndSave(parent, {paper}, singleLayout(options),
                   QStringLiteral("Quorvik-%1.pdf").arg(paper.number));
    }
}

void makeBooklet(QWidget* parent, int level, Difficulty difficulty) {
    BookletDialog choices(level, difficulty, parent);
    if (choices.exec() != QDialog::Accepted) {
        return;
    }
    QProgressDialog progress(QStringLiteral("Die Rätsel werden erstellt …"),
                             QStringLiteral("Abbrechen"), 0, choices.count(), parent);
    progress.setWindowTitle(QStringLiteral("Rätselheft"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);
    const std::optional<std::vector<PaperPuzzle>> puzzles =
        bookletPuzzles(choices.level(), choices.difficulty(), choices.count(),
                       RuntimeRandom::clockSeed, [&progress](int built) {
                           progress.setValue(built);
                           return !progress.wasCanceled();
                       });
    progress.reset();
    if (!puzzles) {
        return;
    }
    const SheetLayout layout{choices.perPage(), true, true};
    if (choices.output() == BookletDialog::Output::Pdf) {
        askAndSave(parent, *puzzles, layout, QStringLiteral("Rätselheft.pdf"));
    } else {
        previewAndPrint(parent, *puzzles, layout, QStringLiteral("Rätselheft"));
    }
}

}  // namespace quorvik
