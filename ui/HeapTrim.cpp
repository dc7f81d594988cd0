// Releasing the free heap a second after a change that freed much of it.
#include "HeapTrim.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace quorvik {

void releaseFreeHeapSoon() {
#ifdef __GLIBC__
    // One timer for the application, made on first use and ended with it.
    static QPointer<QTimer> timer;
    if (timer.isNull()) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setInterval(1000);
        QObject::connect(timer, &QTimer::timeout, [] { ::malloc_trim(0); });
    }
    if (!timer->isActive()) {
        timer->start();
    }
#endif
}

}  // namespace quorvik
