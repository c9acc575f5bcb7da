#include "app/download/download_window_win.h"

void ShowDownloadWindow(const std::u16string&) {}
