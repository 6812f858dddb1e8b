// The report's tables as cells: "Копировать таблицу" puts the table under the pointer on the
// clipboard (HTML and tab-separated text), "Сохранить таблицы..." writes every table to an
// XLSX, ODS or CSV file with a progress bar; "Копировать" adds the cells of the tables in its
// selection beside the selection's text.
#pragma once

#include <QMimeData>
#include <memory>
#include <vector>

#include "table.h"

namespace folvek {

class ReportView;

// The MIME type tab-separated cells go under beside text/plain.
inline constexpr const char* kTsvMime = "text/tab-separated-values";

// Adds text/html and the tab-separated cells of `tables` to `data` (nothing without tables).
void addTableForms(QMimeData& data, const std::vector<const Table*>& tables);

void registerTableCommands(ReportView& view);

}  // namespace folvek
