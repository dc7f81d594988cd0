// The manual window: the short German manual in a read-only, word-wrapping text view, shown
// modally over the main window by the "?" menu's "Anleitung".
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

class QTextEdit;

namespace quorvik {

// The manual, one paragraph per entry (empty entries are the blank lines between sections).
QStringList manualLines();

// Where the manual window's outer top left goes over the main window: centred, each coordinate
// as M.pos + (M.extent - W.extent) / 2 rounded toward zero, and 10 instead of anything below 0.
// Both rectangles are outer (frame) geometry in screen pixels.
QPoint manualWindowPosition(const QRect& mainFrame, const QSize& manualFrameSize);

class ManualWindow : public QDialog {
    Q_OBJECT

public:
    // The client area at the first showing; the window manager draws its frame around it.
    static constexpr QSize initialClientSize{501, 218};

    explicit ManualWindow(QWidget* parent = nullptr);

    QTextEdit* textView() const { return Memo_; }

    // "Anleitung": moves the window over the main window's frame (manualWindowPosition with the
    // window's current outer size), then shows it modally; returns when it is closed. Until the
    // window's own frame is known the main window's stands in for it, and the window is placed
    // again once its own appears.
    int showOver(const QRect& mainFrame);

private:
    QTextEdit* Memo_ = nullptr;
};

}  // namespace quorvik
