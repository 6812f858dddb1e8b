#include "string_table.h"

#include <string_view>

namespace folvek {

namespace {
struct Entry {
    int id;
    std::string_view text;
};
using namespace std::string_view_literals;
constexpr Entry kStrings[] = {
#include "string_table.inc"
};
}  // namespace

std::string loadString(int id) {
    for (const Entry& e : kStrings)
        if (e.id == id) return std::string(e.text);
    return {};
}

}  // namespace folvek
