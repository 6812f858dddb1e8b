// Giving a hand-made table's cell its text: the texts stand one after another in the table.
#pragma once

#include <cstdint>
#include <string_view>

#include "table.h"

namespace folvek::test {

inline void setText(Table& table, TableCell& cell, std::u16string_view text) {
    cell.textAt = table.texts.size();
    cell.textSize = static_cast<std::uint32_t>(text.size());
    table.texts.append(text);
}

}  // namespace folvek::test
