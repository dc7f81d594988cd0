// The dialog of best times: per level a tab with the ten best times of games built by default,
// of games with one solution and of the day's puzzles, the level's counts below them, and the
// run of days on which the day's puzzle was solved.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "RecordFile.h"

class QLabel;
class QTabWidget;
class QTreeWidget;

namespace quorvik {

class BestTimesDialog : public QDialog {
    Q_OBJECT

public:
    // Asks whether the record shall really be cleared; a message box unless a test puts in
    // another.
    using Confirm = std::function<bool(QWidget* parent)>;

    explicit BestTimesDialog(QWidget* parent = nullptr);

    // Shows `record` as it stands on `today`, with the tab of `level` in front.
    void showRecord(const Record& record, int level, const QDate& today);
    void setConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

    // The table of a level (4 to 8) and kind of game.
    QTreeWidget* table(int level, TimeTable kind) const;

    // Clears the record in the file after the player's yes, and shows the empty record.
    void reset();

private:
    void fill(const Record& record);

    Confirm confirm_;
    QDate today_;
    QTabWidget* tabs_ = nullptr;
    std::array<std::array<QTreeWidget*, timeTableCount>, recordLevelCount> tables_{};
    std::array<QLabel*, recordLevelCount> counts_{};
    QLabel* dayRun_ = nullptr;
};

}  // namespace quorvik
