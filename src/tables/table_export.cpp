// Choosing the writer and writing the files.
#include "table_export.h"

#include <algorithm>
#include <cctype>

#include "csv_writer.h"
#include "file_batch.h"
#include "file_replace.h"
#include "ods_writer.h"
#include "xlsx_writer.h"

namespace folvek {

namespace {

std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool save(const std::string& path, const std::string& bytes, TableExportResult& result) {
    const SaveResult saved = saveFile(path, bytes);
    if (!saved.ok()) {
        result.error = "Не удалось записать " + path + ": " + saveFailureReason(saved, true);
        return false;
    }
    result.files.push_back(path);
    return true;
}

}  // namespace

TableFormat tableFormatOf(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == "xlsx") return TableFormat::Xlsx;
    if (ext == "ods") return TableFormat::Ods;
    if (ext == "csv") return TableFormat::Csv;
    return TableFormat::None;
}

std::vector<std::string> tableFiles(const std::string& path, std::size_t count) {
    if (tableFormatOf(path) != TableFormat::Csv) return {path};
    const std::string stem = path.substr(0, path.size() - 4);
    const std::string ext = path.substr(path.size() - 4);
    std::vector<std::string> files;
    for (std::size_t k = 0; k < count; ++k)
        files.push_back(stem + '-' + std::to_string(k + 1) + ext);
    return files;
}

TableExportResult exportTables(const std::vector<Table>& tables, const std::string& path) {
    TableExportResult result;
    if (tables.empty()) {
        result.error = "В отчёте нет таблиц в рамках";
        return result;
    }
    switch (tableFormatOf(path)) {
        case TableFormat::Xlsx: {
            std::string bytes;
            if (!xlsxBytes(tables, bytes, result.error)) {
                result.error = "Не удалось составить книгу XLSX: " + result.error;
                return result;
            }
            result.ok = save(path, bytes, result);
            return result;
        }
        case TableFormat::Ods: {
            const std::string bytes = odsBytes(tables);
            if (bytes.empty()) {
                result.error = "Таблицы слишком велики для файла ODS";
                return result;
            }
            result.ok = save(path, bytes, result);
            return result;
        }
        case TableFormat::Csv: {
            const std::vector<std::string> files = tableFiles(path, tables.size());
            // Each writer makes the texts of its own files: many files are written by two
            // threads, which then keep both cores busy with no hand-over between them.
            const BatchSaveResult saved =
                saveFiles(files, [&tables](std::size_t k) { return tableCsv(tables[k]); });
            if (!saved.ok()) {
                result.error = "Не удалось записать " + files[saved.failed] + ": " +
                               saveFailureReason(saved.result, true);
                return result;
            }
            result.files = files;
            result.ok = true;
            return result;
        }
        case TableFormat::None:
            break;
    }
    result.error = "Таблицы сохраняются в файлы .xlsx, .ods или .csv: " + path;
    return result;
}

}  // namespace folvek
