#pragma once

#include <string>
#include <string_view>

#include "base/app_error.h"

// Caption of every message box of the application.
inline constexpr char16_t kAppTitle[] = u"Orvaneファイル転送";

// Text of the error report: the routine's name, the error number and its description, one per
// line.
std::u16string FormatErrorReport(std::u16string_view procedure, const AppError& error);
