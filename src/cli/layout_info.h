// The layout of a paginated document as a JSON object (folvek-print --info).
#pragma once

#include <string>

namespace folvek {

class pager;
class PageLayoutPrinter;

std::string layoutInfoJson(const pager& doc, const PageLayoutPrinter& printer);

}  // namespace folvek
