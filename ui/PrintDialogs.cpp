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

#include <functional>

#include "LevelNames.h"
#include "LevelTable.h"
#include "PrintSheet.h"
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

// The options of printing or saving the puzzle on the board, asked under `title`; when given,
// `output` gets the puzzle as the player chose it and its pages: it on the first, its solution,
// when asked for, on the second.
void withPrintOptions(
    QWidget* parent, const ShipGame& game, const QString& title,
    const std::function<void(const PaperPuzzle& paper, const SheetLayout& layout)>& output) {
    QDialog options(parent);
    options.setWindowTitle(title);
    auto* marks = new QCheckBox(QStringLiteral("Mit meinen &Markierungen"), &options);
    auto* solution = new QCheckBox(QStringLiteral("&Lösung auf eigener Seite"), &options);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &options);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &options, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &options, &QDialog::reject);
    auto* column = new QVBoxLayout(&options);
    column->addWidget(marks);
    column->addWidget(solution);
    column->addWidget(buttons);
    if (options.exec() == QDialog::Accepted) {
        output(paperPuzzle(game, marks->isChecked()), {1, solution->isChecked(), false});
    }
}

}  // namespace

void printGame(QWidget* parent, const ShipGame& game) {
    withPrintOptions(parent, game, QStringLiteral("Drucken"),
                     [parent](const PaperPuzzle& paper, const SheetLayout& layout) {
                         previewAndPrint(parent, {paper}, layout, paper.number);
                     });
}

void saveGamePdf(QWidget* parent, const ShipGame& game) {
    withPrintOptions(parent, game, QStringLiteral("Als PDF speichern"),
                     [parent](const PaperPuzzle& paper, const SheetLayout& layout) {
                         askAndSave(parent, {paper}, layout,
                                    QStringLiteral("Quorvik-%1.pdf").arg(paper.number));
                     });
}

void makeBooklet(QWidget* parent, int level, Difficulty difficulty) {
    // The booklet's choices: level, difficulty, how many puzzles and how many to a page, and
    // whether it goes to the printer or into a PDF file.
    QDialog choices(parent);
    choices.setWindowTitle(QStringLiteral("Rätselheft"));
    auto* levels = new QComboBox(&choices);
    for (int l = minLevel; l <= maxLevel; ++l) {
        levels->addItem(QString::fromUtf8(levelNames(l).caption), l);
    }
    levels->setCurrentIndex(levels->findData(isValidLevel(level) ? level : minLevel));
    // Every booklet puzzle has exactly one solution, so "Beliebig" means any grade of those.
    auto* difficulties = new QComboBox(&choices);
    for (const char* caption : {"Beliebig", "Leicht", "Mittel", "Schwer"}) {
        difficulties->addItem(QString::fromLatin1(caption));
    }
    difficulties->setCurrentIndex(static_cast<int>(difficulty));
    auto* count = new QSpinBox(&choices);
    count->setRange(1, 100);
    count->setValue(12);
    auto* perPage = new QComboBox(&choices);
    for (const int n : {1, 2, 4}) {
        perPage->addItem(QString::number(n), n);
    }
    perPage->setCurrentIndex(2);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Level:"), levels);
    form->addRow(QStringLiteral("&Schwierigkeit:"), difficulties);
    form->addRow(QStringLiteral("&Anzahl der Rätsel:"), count);
    form->addRow(QStringLiteral("Rätsel &je Seite:"), perPage);
    auto* buttons = new QDialogButtonBox(&choices);
    QPushButton* print =
        buttons->addButton(QStringLiteral("&Drucken…"), QDialogButtonBox::AcceptRole);
    QPushButton* pdf =
        buttons->addButton(QStringLiteral("Als &PDF speichern…"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    bool toPdf = false;
    for (QPushButton* output : {print, pdf}) {
        QObject::connect(output, &QPushButton::clicked, &choices, [&, output] {
            toPdf = output == pdf;
            choices.accept();
        });
    }
    QObject::connect(buttons, &QDialogButtonBox::rejected, &choices, &QDialog::reject);
    auto* column = new QVBoxLayout(&choices);
    column->addLayout(form);
    column->addWidget(
        new QLabel(QStringLiteral("Jedes Rätsel hat genau eine Lösung und seine Spielnummer;\n"
                                  "die Lösungen stehen klein am Ende des Hefts."),
                   &choices));
    column->addWidget(buttons);
    if (choices.exec() != QDialog::Accepted) {
        return;
    }

    QProgressDialog progress(QStringLiteral("Die Rätsel werden erstellt …"),
                             QStringLiteral("Abbrechen"), 0, count->value(), parent);
    progress.setWindowTitle(QStringLiteral("Rätselheft"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);
    const std::optional<std::vector<PaperPuzzle>> puzzles = bookletPuzzles(
        levels->currentData().toInt(), static_cast<Difficulty>(difficulties->currentIndex()),
        count->value(), RuntimeRandom::clockSeed, [&progress](int built) {
            progress.setValue(built);
            return !progress.wasCanceled();
        });
    progress.reset();
    if (!puzzles) {
        return;
    }
    const SheetLayout layout{perPage->currentData().toInt(), true, true};
    if (toPdf) {
        askAndSave(parent, *puzzles, layout, QStringLiteral("Rätselheft.pdf"));
    } else {
        previewAndPrint(parent, *puzzles, layout, QStringLiteral("Rätselheft"));
    }
}

}  // namespace quorvik
