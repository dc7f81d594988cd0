// The cell command event.
#include "QVMessages.h"

namespace quorvik {

static_assert(WM_CELLCOMMAND >= QEvent::User && WM_CELLCOMMAND <= QEvent::MaxUser,
              "the cell command lies in the range of user events");

CellCommandEvent::CellCommandEvent(unsigned wParam, int lParam, std::optional<ElementRef> source)
    : QEvent(eventType), wParam_(wParam), lParam_(lParam), source_(source) {}

CellCommandEvent::~CellCommandEvent() = default;

}  // namespace quorvik
