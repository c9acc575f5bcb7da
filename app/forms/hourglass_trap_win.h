// The error trap of a command that works under the hourglass pointer.
#pragma once

#include <string_view>

#include "app/forms/form_win.h"
#include "app/main/show_error_message_win.h"

// Runs `body` (which sets the hourglass where its long work starts) in the error trap of
// `procedure`; the normal pointer comes back after it, and before the error report on a failure.
template <typename Body>
void WithHourglassTrap(std::u16string_view procedure, Body&& body) {
  WithErrorTrap(procedure, false, [&] {
    try {
      body();
    } catch (...) {
      SetNormalPointer();
      throw;
    }
    SetNormalPointer();
    return true;
  });
}
