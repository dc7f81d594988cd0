// The cell command: the one message a cell element sends to its window when the player clicks
// it or chooses an entry of its context menu.
#pragma once

#include <QEvent>

#include <optional>

#include "Move.h"

namespace quorvik {

// The number of the cell command; it lies in the range Qt keeps for its users' own events.
inline constexpr int WM_CELLCOMMAND = 1325;

// A cell command as an event sent synchronously to the element's window. The first value holds
// a in its high byte and b in its low byte; the second value is the command code.
class CellCommandEvent : public QEvent {
public:
    static constexpr QEvent::Type eventType = static_cast<QEvent::Type>(WM_CELLCOMMAND);

    // `source` is the place of the element that sends it; a command from elsewhere has none.
    CellCommandEvent(unsigned wParam, int lParam, std::optional<ElementRef> source = {});
    ~CellCommandEvent() override;

    unsigned wParam() const { return wParam_; }
    int lParam() const { return lParam_; }
    int a() const { return static_cast<int>(wParam_ >> 8); }
    int b() const { return static_cast<int>(wParam_ & 0xFF); }
    const std::optional<ElementRef>& source() const { return source_; }

private:
    unsigned wParam_;
    int lParam_;
    std::optional<ElementRef> source_;
};

}  // namespace quorvik
