#pragma once

#include <new>
#include <string_view>

#include "base/app_error.h"
#include "base/text.h"

// The error report that ends every failing error trap: critical icon, application title,
// the routine's name, the error number and its description.
void ShowErrorMessage(std::u16string_view procedure, const AppError& error);

// The error trap of a routine: runs `body` and returns its result; on any failure shows the
// error report under the routine's name and returns `failure`.
template <typename Result, typename Body>
Result WithErrorTrap(std::u16string_view procedure, Result failure, Body&& body) {
  try {
    return body();
  } catch (const AppError& error) {
    ShowErrorMessage(procedure, error);
  } catch (const std::bad_alloc&) {
    ShowErrorMessage(procedure, AppError(app_errors::kOutOfMemory, u"メモリが不足しています。"));
  } catch (const std::exception& error) {
    ShowErrorMessage(procedure, AppError(app_errors::kInternal, base::FromUtf8(error.what())));
  }
  return failure;
}
