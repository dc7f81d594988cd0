// The helps' bar under the board: the sentence a help has to say and, for a hint that can be
// taken, the button "Übernehmen". Hidden while no help has something to say.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace quorvik {

class HelpBar : public QFrame {
    Q_OBJECT

public:
    explicit HelpBar(QWidget* parent = nullptr);

    // Shows `text`, with "Übernehmen" when the help is a hint that can be taken.
    void showText(const QString& text, bool canTake);
    // The sentence shown; empty while the bar is hidden.
    QString text() const;
    // Whether a hint that can be taken shows.
    bool offersHint() const;
    // Lays the bar out `width` wide at `topLeft`, as high as its text needs; returns the height.
    int arrange(const QPoint& topLeft, int width);
    // The height of a bar whose text takes two lines.
    int twoLineHeight() const;

signals:
    // "Übernehmen" was clicked.
    void takeClicked();

private:
    QLabel* label_ = nullptr;
    QPushButton* take_ = nullptr;
};

}  // namespace quorvik
