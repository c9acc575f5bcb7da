// The failure every error trap of the application catches, raised by the application and by the
// components it calls: a number and a description, as the error report shows them.
#pragma once

#include <exception>
#include <string>

struct AppError : std::exception {
  AppError(long number, std::u16string description)
      : number(number), description(std::move(description)) {}
  const char* what() const noexcept override { return "application error"; }

  long number;
  std::u16string description;
};

// Runtime failures the application raises itself, numbered as the error report shows them.
namespace app_errors {
inline constexpr long kInternal = 5;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kFileNotFound = 53;
inline constexpr long kObjectNotSet = 91;
inline constexpr long kEntryPointNotFound = 453;
}  // namespace app_errors
