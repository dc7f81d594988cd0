// Releasing the free heap a second after a change that freed much of it.
#include "HeapTrim.h"

#include <QCoreApplication>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace quorvik {

void releaseFreeHeapSoon() {
#ifdef __GLIBC__
    // One release pending at a time, on a timer that ends with the application.
    static bool pending = false;
    if (!pending) {
        pending = true;
        QTimer::singleShot(1000, Qt::CoarseTimer, QCoreApplication::instance(), [] {
            pending = false;
            ::malloc_trim(0);
        });
    }
#endif
}

}  // namespace quorvik
