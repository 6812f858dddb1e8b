// Filling a libxlsxwriter workbook with the tables.
#include "xlsx_writer.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "file_replace.h"
#include "sheet_text.h"
#include "temp_cleanup.h"

namespace folvek {

namespace {

constexpr std::int32_t kMaxRows = 1048576, kMaxColumns = 16384;

class Formats {
  public:
    explicit Formats(lxw_workbook* wb) : wb_(wb) {
        heading_ = make();
        format_set_bold(heading_);
        format_set_align(heading_, LXW_ALIGN_CENTER);
        format_set_align(heading_, LXW_ALIGN_VERTICAL_CENTER);
        text_ = make();
        format_set_align(text_, LXW_ALIGN_VERTICAL_TOP);
    }
    lxw_format* heading() const { return heading_; }
    lxw_format* text() const { return text_; }
    lxw_format* number(const CellValue& v) {
        const std::string f = numberFormat(v);
        auto it = numbers_.find(f);
        if (it != numbers_.end()) return it->second;
        lxw_format* fmt = make();
        format_set_align(fmt, LXW_ALIGN_VERTICAL_TOP);
        format_set_num_format(fmt, f.c_str());
        return numbers_[f] = fmt;
    }

  private:
    lxw_format* make() {
        lxw_format* f = workbook_add_format(wb_);
        format_set_border(f, LXW_BORDER_THIN);
        format_set_text_wrap(f);
        return f;
    }
    lxw_workbook* wb_;
    lxw_format* heading_;
    lxw_format* text_;
    std::map<std::string, lxw_format*> numbers_;
};

void writeCell(lxw_worksheet* ws, const Table& t, std::int32_t r, std::int32_t c,
               Formats& formats) {
    const TableCell& cell = t.at(r, c);
    if (cell.covered) return;
    const CellValue v = valueOf(t, r, c);
    lxw_format* fmt = r < t.headingRows           ? formats.heading()
                      : v.kind == ValueKind::Text ? formats.text()
                                                  : formats.number(v);
    const auto row = static_cast<lxw_row_t>(r);
    const auto col = static_cast<lxw_col_t>(c);
    const std::string text = utf8(cell.text);
    if (cell.rowSpan > 1 || cell.columnSpan > 1)
        worksheet_merge_range(ws, row, col, static_cast<lxw_row_t>(r + cell.rowSpan - 1),
                              static_cast<lxw_col_t>(c + cell.columnSpan - 1),
                              v.kind == ValueKind::Text ? text.c_str() : "", fmt);
    if (v.kind == ValueKind::Number) {
        worksheet_write_number(ws, row, col, v.number, fmt);
    } else if (v.kind == ValueKind::Date) {
        lxw_datetime when{v.year, v.month, v.day, 0, 0, 0};
        worksheet_write_datetime(ws, row, col, &when, fmt);
    } else if (!text.empty() && cell.rowSpan == 1 && cell.columnSpan == 1) {
        worksheet_write_string(ws, row, col, text.c_str(), fmt);
    }
}

}  // namespace

bool xlsxBytes(const std::vector<Table>& tables, std::string& bytes, std::string& error) {
    for (const Table& t : tables)
        if (t.rows > kMaxRows || t.columns > kMaxColumns) {
            error = "таблица больше листа Excel (1 048 576 строк, 16 384 столбца)";
            return false;
        }
    std::string path = (std::filesystem::temp_directory_path() / "folvek-xlsx-XXXXXX").string();
    const int fd = mkstemp(path.data());
    if (fd < 0) {
        error = "не удалось создать временный файл";
        return false;
    }
    close(fd);
    // Killed meanwhile, the process leaves no workbook behind in the temporary folder.
    const int slot = temp_cleanup::add(path.c_str());
    struct Forget {
        int slot;
        std::string path;
        ~Forget() {
            unlink(path.c_str());
            temp_cleanup::drop(slot);
        }
    } forget{slot, path};
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) {
        error = "не удалось начать книгу";
        return false;
    }
    Formats formats(wb);
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const Table& t = tables[k];
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName(k).c_str());
        for (std::int32_t c = 0; c < t.columns; ++c)
            worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 1.0 + t.widths[c], nullptr);
        if (t.headingRows > 0 && t.headingRows < t.rows)
            worksheet_freeze_panes(ws, static_cast<lxw_row_t>(t.headingRows), 0);
        for (std::int32_t r = 0; r < t.rows; ++r)
            for (std::int32_t c = 0; c < t.columns; ++c) writeCell(ws, t, r, c, formats);
    }
    const lxw_error rc = workbook_close(wb);
    const bool read = rc == LXW_NO_ERROR && readWholeFile(path, bytes);
    if (!read) error = rc != LXW_NO_ERROR ? lxw_strerror(rc) : "не удалось прочесть книгу";
    return read;
}

}  // namespace folvek
