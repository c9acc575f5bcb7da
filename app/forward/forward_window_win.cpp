#include "app/forward/forward_window_win.h"

void ShowForwardWindow() {}
