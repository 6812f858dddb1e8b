// The layout of a paginated document as a JSON object (folvek-print --info).
#pragma once

#include <string>

namespace folvek {

class DocumentRecord;
class PageLayoutPrinter;

std::string layoutInfoJson(const DocumentRecord& doc, const PageLayoutPrinter& printer);

}  // namespace folvek
