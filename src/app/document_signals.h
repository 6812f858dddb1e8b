// The document's notification as a Qt signal, so that widgets listen with connect() and stop
// listening when they are destroyed.
#pragma once

#include <QObject>

#include "document.h"

namespace folvek {

class DocumentSignals : public QObject, public DocumentListener {
    Q_OBJECT
  public:
    explicit DocumentSignals(Document& document, QObject* parent = nullptr);
    ~DocumentSignals() override;

    void documentChanged(unsigned changes) override { emit changed(changes); }
    void linesAboutToChange() override { emit aboutToReplaceLines(); }

  signals:
    // `changes`: DocumentChange bits.
    void changed(unsigned changes);
    // Connect directly: the lines are replaced as soon as the listeners return.
    void aboutToReplaceLines();

  private:
    Document& document_;
};

}  // namespace folvek
