#include "ui/line_job.h"

#include <QCoreApplication>

namespace zorvan::ui {

UiPost postTo(QObject* receiver) {
    const QPointer<QObject> target(receiver);
    return [target](UiStep step) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, step = std::move(step)] {
                if (target) {
                    step();
                }
            },
            Qt::QueuedConnection);
    };
}

} // namespace zorvan::ui
