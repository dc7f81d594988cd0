// The dialog of puzzle numbers.
#include "PuzzleDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "ShipGame.h"

namespace quorvik {

TPuzzleDialog::TPuzzleDialog(StartPuzzle start, QWidget* parent)
    : QDialog(parent), start_(std::move(start)) {
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
    // How hard the board is, or that it has several solutions.
    grid->addWidget(new QLabel(QStringLiteral("Schwierigkeit:"), this), 1, 0);
    grade_ = new QLabel(this);
    grade_->setObjectName(QStringLiteral("lblSchwierigkeit"));
    grid->addWidget(grade_, 1, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Ein Spiel mit seiner Nummer beginnen:"), this), 2,
                    0);
    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("NumberInput"));
    input_->setPlaceholderText(QStringLiteral("z. B. 8-3F2A91C0-6"));
    grid->addWidget(input_, 2, 1);
    auto* playButton = new QPushButton(QStringLiteral("Spielen"), this);
    playButton->setObjectName(QStringLiteral("btnSpielen"));
    playButton->setDefault(true);
    grid->addWidget(playButton, 2, 2);
    connect(playButton, &QPushButton::clicked, this, &TPuzzleDialog::play);

    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("btnSchliessen"));
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TPuzzleDialog::showNumber(const QString& number) {
    current_->setText(number);
    input_->clear();
    show();
    raise();
    activateWindow();
    input_->setFocus();
}

void TPuzzleDialog::showGrade(const QString& text) {
    grade_->setText(text);
}

QString gradeText(bool oneSolution, Grade grade, Difficulty builtFor) {
    if (!oneSolution) {
        return QStringLiteral("mehrere Lösungen");
    }
    static const char* const names[] = {"leicht", "mittel", "schwer", "sehr schwer"};
    QString text = QString::fromLatin1(names[static_cast<int>(grade)]);
    if (builtFor == Difficulty::Hard && grade != Grade::Hard) {
        text += QStringLiteral(" (kein schweres unter %1 Spielen gefunden)").arg(maxHardAttempts);
    }
    return text;
}

void TPuzzleDialog::play() {
    const QString typed = input_->text().trimmed();
    const std::optional<PuzzleId> id = parsePuzzleNumber(typed.toStdString());
    if (!id) {
        warn_(this, QStringLiteral("„%1“ ist keine Spielnummer.\nEine Spielnummer sieht so aus: "
                                   "8-3F2A91C0-6 (Level, Nummer, Prüfziffer).")
                        .arg(typed));
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
