#include "control/engine/socket/socket_layer_win.h"

#include <array>

#include "control/engine/socket/socket_connection_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"ZORVELWindow";
constexpr DWORD kIdleWaitMs = 50;

struct Slot {
  SocketConnection* connection = nullptr;
  HWND window = nullptr;
};

bool started = false;
int startupResult = -1;
bool classRegistered = false;
HINSTANCE moduleInstance = nullptr;
std::array<Slot, 16> table;
// Each thread that runs uploads has its own run in progress.
thread_local QuitObserverEntry quitObserver;

SocketConnection* FindConnection(HWND window) {
  for (const Slot& slot : table) {
    if (slot.window == window) return slot.connection;
  }
  return nullptr;
}

LRESULT CALLBACK SocketWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER || message == WM_SOCKET_LOOKUP || message == WM_SOCKET_EVENT) {
    if (SocketConnection* connection = FindConnection(window)) {
      connection->OnSocketMessage(message, wParam, lParam);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void SocketLayerStartup(HINSTANCE module) {
  if (started) return;
  started = true;
  moduleInstance = module;
  WSADATA data;
  startupResult = WSAStartup(MAKEWORD(1, 1), &data);
  table.fill(Slot{});
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = SocketWindowProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kWindowClass;
  classRegistered = RegisterClassW(&windowClass) != 0;
}

void SocketLayerCleanup() {
  if (!started) return;
  if (startupResult == 0) WSACleanup();
  if (classRegistered) UnregisterClassW(kWindowClass, moduleInstance);
  startupResult = -1;
  classRegistered = false;
  started = false;
}

HWND CreateSocketWindow(SocketConnection* connection) {
  HWND window = CreateWindowW(kWindowClass, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, moduleInstance, nullptr);
  if (window == nullptr) return nullptr;
  for (Slot& slot : table) {
    if (slot.window == nullptr) {
      slot = Slot{connection, window};
      break;
    }
  }
  return window;
}

void DestroySocketWindow(HWND window) {
  if (window == nullptr) return;
  for (Slot& slot : table) {
    if (slot.window == window) slot = Slot{};
  }
  DestroyWindow(window);
}

QuitObserverEntry SetQuitObserver(QuitObserverEntry entry) {
  const QuitObserverEntry previous = quitObserver;
  quitObserver = entry;
  return previous;
}

bool DispatchPendingMessage() {
  bool found = false;
  return DispatchPendingMessage(found);
}

bool DispatchPendingMessage(bool& found) {
  MSG message;
  found = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
  if (!found) return false;
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
    if (quitObserver.observer) quitObserver.observer(quitObserver.context);
    return true;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return false;
}

bool PumpOneMessage() {
  MSG message;
  if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) return DispatchPendingMessage();
  // MWMO_INPUTAVAILABLE also wakes for input that an earlier peek has already seen.
  MsgWaitForMultipleObjectsEx(0, nullptr, kIdleWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return false;
}
