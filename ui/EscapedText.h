// What the user typed, made fit to repeat in a message: a control character in it would act on
// the terminal (its title, its colours) or vanish in a dialog, so it is shown as an escape.
#pragma once

#include <QString>
#include <QStringView>

namespace quorvik {

// `text` with every control character (U+0000 to U+001F, U+007F to U+009F) written as "\x" and
// two lower-case hexadecimal digits, ESC as "\x1b", BEL as "\x07"; everything else unchanged.
QString escapedText(QStringView text);

}  // namespace quorvik
