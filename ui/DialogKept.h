// The main window's dialogs kept between showings: built on first use, so that the first frame
// waits for none of them, and built anew once the player closed one.
#pragma once

#include <QPoint>

namespace quorvik {

// `dialog` ready to be shown: the one on the screen, else one that `make` builds, placed where
// the player left the last one. A closed dialog is not shown again: each time a window is
// hidden while it has the focus, Qt leaves one more focus connection on it (about 90 bytes),
// and a dialog opened and closed all session long would pile them up between the helps'
// short-lived searches, pinning heap pages that could otherwise go back to the system.
template <class Dialog, class Make>
Dialog& keptDialog(Dialog*& dialog, Make make) {
    if (dialog == nullptr) {
        dialog = make();
    } else if (!dialog->isVisible()) {
        const QPoint place = dialog->pos();
        delete dialog;
        dialog = make();
        dialog->move(place);
    }
    return *dialog;
}

}  // namespace quorvik
