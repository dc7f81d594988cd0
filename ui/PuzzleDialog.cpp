// The dialog of puzzle numbers.
#include "PuzzleDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <memory>
#include <optional>

#include "EscapedText.h"
#include "LevelNames.h"
#include "Puzzle.h"
#include "PuzzleCode.h"
#include "ShipGame.h"

namespace quorvik {

namespace {

// Looks for two solutions of a puzzle beside the window's thread, so that the window never
// stands still: a search that takes a while shows a busy dialog whose "Abbrechen" ends it.
PuzzleSolutions searchWhileWaiting(QWidget* parent, const Puzzle& puzzle) {
    std::atomic<bool> cancel{false};
    PuzzleSolutions found;
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { found = solvePuzzle(puzzle, 2, &cancel); }));
    QProgressDialog busy(QStringLiteral("Die Lösungen werden gezählt …"),
                         QStringLiteral("Abbrechen"), 0, 0, parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(400);
    QEventLoop waiting;
    QObject::connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    QObject::connect(&busy, &QProgressDialog::canceled, &waiting, [&cancel] { cancel = true; });
    worker->start();
    waiting.exec();
    worker->wait();
    return found;
}

}  // namespace

QString puzzleNumberMistake(const QString& typed) {
    // Enough for any number typed with blanks around its parts; a pasted text is shown cut short.
    constexpr qsizetype shownLength = 40;
    const QString trimmed = typed.trimmed();
    const QString shown = escapedText(
        trimmed.size() <= shownLength ? trimmed : trimmed.left(shownLength - 1) + QChar(0x2026));
    switch (puzzleNumberProblem(typed.toStdString())) {
        case PuzzleNumberProblem::None:
            return {};
        case PuzzleNumberProblem::Empty:
            return QStringLiteral("Bitte eine Spielnummer eingeben, zum Beispiel 8-3F2A91C0-6.");
        case PuzzleNumberProblem::UnknownLevel:
            return QStringLiteral(
                       "„%1“: Mit %2 beginnt keine Spielnummer. Die erste Ziffer nennt das "
                       "Level: %3.")
                .arg(shown, shown.left(1), QString::fromStdString(levelDigits()));
        case PuzzleNumberProblem::WrongCheck:
            return QStringLiteral(
                       "„%1“: Die Prüfziffer am Ende passt nicht zur Nummer. "
                       "Tippfehler?")
                .arg(shown);
        case PuzzleNumberProblem::Malformed:
            break;
    }
    return QStringLiteral(
               "„%1“ ist keine Spielnummer.\nEine Spielnummer sieht so aus: "
               "8-3F2A91C0-6 (Ziffer des Levels, Nummer, Prüfziffer).")
        .arg(shown);
}

PuzzleDialog::PuzzleDialog(StartPuzzle start, StartTyped startTyped, QWidget* parent)
    : QDialog(parent), start_(std::move(start)), startTyped_(std::move(startTyped)) {
    setObjectName(QStringLiteral("PuzzleDialog"));
    setWindowTitle(QStringLiteral("Spielnummer"));
    if (parent != nullptr) {
        setFont(parent->font());  // the game window's face, as in its other windows
    }
    warn_ = [](QWidget* owner, const QString& message) {
        QMessageBox::warning(owner, QStringLiteral("Spielnummer"), message);
    };

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Die Nummer dieses Spiels:"), this), 0, 0);
    current_ = new QLineEdit(this);
    current_->setObjectName(QStringLiteral("CurrentNumber"));
    current_->setReadOnly(true);
    grid->addWidget(current_, 0, 1);
    auto* copy = new QPushButton(QStringLiteral("Kopieren"), this);
    copy->setObjectName(QStringLiteral("btnKopieren"));
    copy->setAutoDefault(false);
    grid->addWidget(copy, 0, 2);
    connect(copy, &QPushButton::clicked, this, [this] {
        QApplication::clipboard()->setText(current_->text());
        current_->selectAll();
    });

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("lblLoesungen"));
    grid->addWidget(note_, 1, 1, 1, 2);

    grid->addWidget(
        new QLabel(QStringLiteral("Spielnummer oder Rätselcode eingeben und spielen:"), this), 2,
        0);
    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("NumberInput"));
    input_->setPlaceholderText(QStringLiteral("z. B. 8-3F2A91C0-6"));
    grid->addWidget(input_, 2, 1);
    auto* playButton = new QPushButton(QStringLiteral("Spielen"), this);
    playButton->setObjectName(QStringLiteral("btnSpielen"));
    playButton->setDefault(true);
    grid->addWidget(playButton, 2, 2);
    connect(playButton, &QPushButton::clicked, this, &PuzzleDialog::play);

    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("btnSchliessen"));
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void PuzzleDialog::showNumber(const QString& number, const QString& note) {
    current_->setText(number);
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    input_->clear();
    show();
    raise();
    activateWindow();
    input_->setFocus();
}

QString gradeName(Grade grade) {
    static const char* const names[] = {"leicht", "mittel", "schwer", "sehr schwer"};
    return QString::fromLatin1(names[static_cast<int>(grade)]);
}

QString solutionNote(bool oneSolution, Grade grade, Difficulty builtFor) {
    if (!oneSolution) {
        return QStringLiteral("Dieses Spiel hat mehr als eine Lösung.");
    }
    QString note = QStringLiteral("Dieses Spiel hat genau eine Lösung. Schwierigkeit: %1.")
                       .arg(gradeName(grade));
    if (builtFor == Difficulty::Hard && grade != Grade::Hard) {
        note += QStringLiteral("\nUnter %1 Spielen war keines schwer.").arg(maxHardAttempts);
    }
    return note;
}

void PuzzleDialog::play() {
    const QString typed = input_->text();
    // A puzzle code starts with its letter, a number with the level's digit.
    if (typed.trimmed().startsWith(u'R', Qt::CaseInsensitive)) {
        const PuzzleReading read = readPuzzleCode(typed.toStdString());
        if (!read.puzzle) {
            warn_(this, QString::fromStdString(read.error));
            return;
        }
        // The game starts with the solution found here and only checks it.
        const PuzzleSolutions found = searchWhileWaiting(this, *read.puzzle);
        if (found.cancelled) {
            return;  // the code stays for another try
        }
        Puzzle puzzle = *read.puzzle;
        puzzle.solution = found.solution;
        if (found.count == 0 || !startTyped_(puzzle)) {
            warn_(this, QStringLiteral("Das Rätsel dieses Codes hat keine Lösung."));
        } else {
            accept();
        }
        return;
    }
    const std::optional<PuzzleId> id = parsePuzzleNumber(typed.toStdString());
    if (!id) {
        warn_(this, puzzleNumberMistake(typed));
        return;
    }
    if (!start_(*id)) {
        warn_(this, QStringLiteral("Zur Spielnummer %1 gibt es kein Spiel.")
                        .arg(QString::fromStdString(formatPuzzleNumber(*id))));
        return;
    }
    accept();
}

}  // namespace quorvik
