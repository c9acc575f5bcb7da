#include "app/main/show_error_message_win.h"

#include "app/main/error_report.h"
#include "app/main/user_dialogs_win.h"

void ShowErrorMessage(std::u16string_view procedure, const AppError& error) {
  // Owned by the active form, which the box disables meanwhile: a click on the form cannot
  // start what failed a second time inside the first.
  ShowAppMessage(FormatErrorReport(procedure, error), MB_ICONERROR, GetActiveWindow());
}
