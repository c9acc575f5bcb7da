#include "app/main/show_error_message_win.h"

#include "app/main/error_report.h"
#include "app/main/user_dialogs_win.h"

void ShowErrorMessage(std::u16string_view procedure, const AppError& error) {
  ShowAppMessage(FormatErrorReport(procedure, error), MB_ICONERROR);
}
