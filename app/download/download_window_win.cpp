#include "app/download/download_window_win.h"

#include <memory>

#include "app/download/frm_down_load_win.h"
#include "app/main/show_error_message_win.h"

void ShowDownloadWindow(const std::u16string& oftsPath) {
  // The window lives as long as the program; unloading it ends the message loop.
  static const auto window = std::make_unique<frmDownLoad>();
  window->OftsPath(oftsPath);
  WithErrorTrap(u"Form_Load", false, [] {
    window->Show();
    return true;
  });
}
