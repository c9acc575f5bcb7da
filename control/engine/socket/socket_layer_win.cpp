#include "control/engine/socket/socket_layer_win.h"

#include <array>
#include <mutex>

#include "control/engine/socket/socket_connection_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"ZORVELWindow";
constexpr DWORD kIdleWaitMs = 50;

struct Slot {
  SocketConnection* connection = nullptr;
  HWND window = nullptr;
};

// The start-up, the holders and the table are shared by every thread of the process and change
// under this lock only. Window messages reach each connection on its own thread, outside it.
std::mutex layerLock;
bool started = false;
int startupResult = -1;
bool classRegistered = false;
long holders = 0;
std::array<Slot, 16> table;
// Each thread that runs uploads has its own run in progress.
thread_local QuitObserverEntry quitObserver;

SocketConnection* FindConnection(HWND window) {
  std::lock_guard lock(layerLock);
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

// The module that holds the window procedure: the library itself, or a program that links the
// layer in.
HINSTANCE LayerModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&SocketWindowProc), &module);
  return module;
}

}  // namespace

void HoldSocketLayer() {
  std::lock_guard lock(layerLock);
  ++holders;
}

void StartSocketLayer() {
  std::lock_guard lock(layerLock);
  if (started) return;
  started = true;
  WSADATA data;
  startupResult = WSAStartup(MAKEWORD(1, 1), &data);
  table.fill(Slot{});
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = SocketWindowProc;
  windowClass.hInstance = LayerModule();
  windowClass.lpszClassName = kWindowClass;
  classRegistered = RegisterClassW(&windowClass) != 0;
}

void ReleaseSocketLayer() {
  std::lock_guard lock(layerLock);
  if (--holders > 0 || !started) return;
  if (startupResult == 0) WSACleanup();
  if (classRegistered) UnregisterClassW(kWindowClass, LayerModule());
  startupResult = -1;
  classRegistered = false;
  started = false;
}

HWND CreateSocketWindow(SocketConnection* connection) {
  HWND window = CreateWindowW(kWindowClass, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, LayerModule(), nullptr);
  if (window == nullptr) return nullptr;
  std::lock_guard lock(layerLock);
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
  {
    std::lock_guard lock(layerLock);
    for (Slot& slot : table) {
      if (slot.window == window) slot = Slot{};
    }
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

int DispatchPendingMessages(int limit) {
  if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return 0;
  int dispatched = 0;
  for (bool found = true; found && dispatched < limit;) {
    const bool quit = DispatchPendingMessage(found);
    if (found) ++dispatched;
    if (quit) break;
  }
  return dispatched;
}

bool PumpOneMessage() {
  MSG message;
  if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) return DispatchPendingMessage();
  // MWMO_INPUTAVAILABLE also wakes for input that an earlier peek has already seen.
  MsgWaitForMultipleObjectsEx(0, nullptr, kIdleWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return false;
}
