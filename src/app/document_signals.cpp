// Forwarding the document's notification to the signal.
#include "document_signals.h"

namespace folvek {

DocumentSignals::DocumentSignals(Document& document, QObject* parent)
    : QObject(parent), document_(document) {
    document_.addListener(this);
}

DocumentSignals::~DocumentSignals() {
    document_.removeListener(this);
}

}  // namespace folvek
