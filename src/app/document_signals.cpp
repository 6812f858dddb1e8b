// Forwarding the document's notification to the signal.
#include "document_signals.h"

#include <QCoreApplication>
#include <QPointer>

namespace folvek {

DocumentSignals::DocumentSignals(Document& document, QObject* parent)
    : QObject(parent), document_(document) {
    document_.addListener(this);
    // The rest of a big file is read on another thread; its end is taken over on this one,
    // unless these signals are gone by then.
    QPointer<DocumentSignals> self(this);
    document_.setLoadFinishedHook([self] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self] {
                if (self) self->document_.loadCompleted();
            },
            Qt::QueuedConnection);
    });
}

DocumentSignals::~DocumentSignals() {
    document_.removeListener(this);
}

}  // namespace folvek
