// "Перейти на страницу..." (Ctrl+Shift+P): a small input for a page number 1..N.
#pragma once

namespace folvek {

class ReportView;

// The dialog's window title.
inline constexpr const char* kGoToPageTitle = "Перейти на страницу";

// Asks for the page (through the dialog hooks) and shows it. The field accepts 1..N only: a
// number past either end becomes the nearest page.
void goToPage(ReportView& view);

void registerGoToPageCommand(ReportView& view);

}  // namespace folvek
