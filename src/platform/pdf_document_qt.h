// The PDF writer as the Qt layers use it: faces resolved the way the Qt device resolves them,
// so that both engines print with the same font, and sheets taken from a Qt page layout.
#pragma once

#include <QPageLayout>
#include <QString>

#include "pdf_document.h"

namespace folvek {

PdfDocumentOptions pdfDocumentOptions(const QString& title);
PdfPageGeometry pdfPageGeometry(const QPageLayout& layout);

}  // namespace folvek
