#include "app/forward/forward_window_win.h"

#include <memory>

#include "app/forward/frm_forward_win.h"
#include "app/main/show_error_message_win.h"

void ShowForwardWindow() {
  // The window lives as long as the program; unloading it ends the message loop.
  static const auto window = std::make_unique<frmForward>();
  WithErrorTrap(u"Form_Load", false, [] {
    window->Show();
    return true;
  });
}
