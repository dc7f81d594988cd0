// The cell command: the one message a cell element sends to its window when the player clicks
// it or chooses an entry of its context menu.
#pragma once

#include <QEvent>

namespace quorvik {

// The number of the cell command; it lies in the range Qt keeps for its users' own events.
inline constexpr int WM_CELLCOMMAND = 1325;

// A cell command as an event sent synchronously to the element's window. The first value holds
// a in its high byte and b in its low byte; the second value is the command code.
class CellCommandEvent : public QEvent {
public:
    static constexpr QEvent::Type eventType = static_cast<QEvent::Type>(WM_CELLCOMMAND);

    CellCommandEvent(unsigned wParam, int lParam);
    ~CellCommandEvent() override;

    unsigned wParam() const { return wParam_; }
    int lParam() const { return lParam_; }
    int a() const { return static_cast<int>(wParam_ >> 8); }
    int b() const { return static_cast<int>(wParam_ & 0xFF); }

private:
    unsigned wParam_;
    int lParam_;
};

}  // namespace quorvik
