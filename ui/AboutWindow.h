// The About window: program name, maker, emblem and version number in a small fixed dialog
// that the "?" menu's "Info" opens without blocking the game.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>

class QPushButton;

namespace quorvik {

class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // The version number as it stands in the window (VNumber's caption).
    QString version() const { return VNumber->text(); }

    // "Info": puts the version text in, then shows the window without making it modal and
    // brings it to the front. It stays the one window however often it is called; the first
    // showing centres its outer rectangle on the screen, later ones keep the place where it was
    // left.
    void showVersion(const QString& version);

private:
    QLabel* VNumber = nullptr;
    QPushButton* OKButton = nullptr;
    bool placed_ = false;
};

}  // namespace quorvik
