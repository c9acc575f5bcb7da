#include "app/main/error_report.h"

#include "base/text.h"

std::u16string FormatErrorReport(std::u16string_view procedure, const AppError& error) {
  std::u16string text(procedure);
  text += u"\r\n";
  text += base::Widen(std::to_string(error.number));
  text += u"\r\n";
  text += error.description;
  return text;
}
