// The dialog of best times.
#include "BestTimesDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "GameClock.h"
#include "LevelNames.h"

namespace quorvik {

namespace {

constexpr std::array<const char*, timeTableCount> tableTitles = {"Standard", "Eindeutige Lösung",
                                                                 "Tagesrätsel"};
}  // namespace

BestTimesDialog::BestTimesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BestTimesDialog"));
    setWindowTitle(QStringLiteral("Bestzeiten"));
    if (parent != nullptr) {
        setFont(parent->font());
    }
    // "Nein" is the default: the Enter key alone does not wipe the record.
    confirm_ = [](QWidget* owner) {
        return QMessageBox::question(owner, QStringLiteral("Bestzeiten"),
                                     QStringLiteral("Alle Bestzeiten und Zählungen löschen?"),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    layout->addWidget(tabs_);
    for (int k = 0; k < recordLevelCount; ++k) {
        auto* page = new QWidget(tabs_);
        auto* pageLayout = new QVBoxLayout(page);
        auto* row = new QHBoxLayout;
        for (int t = 0; t < timeTableCount; ++t) {
            auto* box =
                new QGroupBox(QString::fromUtf8(tableTitles[static_cast<std::size_t>(t)]), page);
            auto* boxLayout = new QVBoxLayout(box);
            auto* tree = new QTreeWidget(box);
            tree->setObjectName(QStringLiteral("Zeiten_%1_%2").arg(k + recordFirstLevel).arg(t));
            tree->setHeaderLabels({QStringLiteral("Platz"), QStringLiteral("Zeit"),
                                   QStringLiteral("Datum"), QStringLiteral("Hilfe")});
            tree->setRootIsDecorated(false);
            tree->setSelectionMode(QAbstractItemView::NoSelection);
            tree->setFocusPolicy(Qt::NoFocus);
            tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
            tree->header()->setStretchLastSection(false);
            tree->setMinimumWidth(tree->fontMetrics().horizontalAdvance(u'0') * 32);
            boxLayout->addWidget(tree);
            row->addWidget(box);
            tables_[static_cast<std::size_t>(k)][static_cast<std::size_t>(t)] = tree;
        }
        pageLayout->addLayout(row);
        auto* countsLabel = new QLabel(page);
        countsLabel->setObjectName(QStringLiteral("Zaehlung_%1").arg(k + recordFirstLevel));
        pageLayout->addWidget(countsLabel);
        counts_[static_cast<std::size_t>(k)] = countsLabel;
        tabs_->addTab(page, QString::fromUtf8(levelNames(k + recordFirstLevel).caption));
    }
    dayRun_ = new QLabel(this);
    dayRun_->setObjectName(QStringLiteral("Tagesserie"));
    layout->addWidget(dayRun_);

    auto* buttons = new QHBoxLayout;
    auto* resetButton = new QPushButton(QStringLiteral("Zurücksetzen"), this);
    resetButton->setObjectName(QStringLiteral("btnZuruecksetzen"));
    resetButton->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("btnSchliessen"));
    close->setDefault(true);
    buttons->addWidget(resetButton);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(resetButton, &QPushButton::clicked, this, &BestTimesDialog::reset);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QTreeWidget* BestTimesDialog::table(int level, TimeTable kind) const {
    return tables_[static_cast<std::size_t>(level - recordFirstLevel)]
                  [static_cast<std::size_t>(kind)];
}

void BestTimesDialog::showRecord(const Record& record, int level, const QDate& today) {
    today_ = today;
    fill(record);
    tabs_->setCurrentIndex(std::clamp(level - recordFirstLevel, 0, recordLevelCount - 1));
    show();
    raise();
    activateWindow();
}

void BestTimesDialog::fill(const Record& record) {
    for (int level = recordFirstLevel; level < recordFirstLevel + recordLevelCount; ++level) {
        const LevelRecord& entry = *record.level(level);
        for (int t = 0; t < timeTableCount; ++t) {
            QTreeWidget* tree = table(level, static_cast<TimeTable>(t));
            tree->clear();
            int place = 0;
            for (const RecordTime& time : entry.times[static_cast<std::size_t>(t)]) {
                auto* item = new QTreeWidgetItem(
                    tree, {QStringLiteral("%1.").arg(++place),
                           QString::fromStdString(formatPlayTime(time.milliseconds)),
                           time.date.toString(QStringLiteral("dd.MM.yyyy")),
                           time.helped ? QStringLiteral("ja") : QStringLiteral("nein")});
                item->setTextAlignment(0, Qt::AlignRight);
                item->setTextAlignment(1, Qt::AlignRight);
            }
        }
        counts_[static_cast<std::size_t>(level - recordFirstLevel)]->setText(
            QStringLiteral("Gestartet: %1    Gelöst: %2    Ohne Hilfe gelöst: %3    "
                           "Gelöst in Folge: %4 (beste Serie: %5)")
                .arg(entry.started)
                .arg(entry.solved)
                .arg(entry.solvedUnaided)
                .arg(entry.currentRun)
                .arg(entry.bestRun));
    }
    dayRun_->setText(QStringLiteral("Tagesrätsel an Tagen in Folge gelöst: %1 (beste Serie: %2)")
                         .arg(record.dayRunOn(today_))
                         .arg(record.bestDayRun));
}

void BestTimesDialog::reset() {
    if (!confirm_(this)) {
        return;
    }
    clearRecordFile();
    fill(readRecordFile());
}

}  // namespace quorvik
