// A picture of the control hosted in a window, with its Japanese captions and labels, written
// into the build folder (zorvex_screenshot.bmp) for a person to look at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <vector>

#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

std::string BuildFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.resize(folder.rfind('\\'));               // ...\bin
  return folder.substr(0, folder.rfind('\\') + 1);  // the build folder
}

// The window's pixels from the screen, as 24-bit rows bottom-up (the BMP layout).
std::vector<unsigned char> Capture(HWND window, int& width, int& height) {
  RECT rect;
  GetWindowRect(window, &rect);
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

void WriteBmp(const std::string& path, const std::vector<unsigned char>& pixels, int width,
              int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

TEST(ScreenshotTest, TheHostedControlShowsItsJapaneseTexts) {
  ControlClassScope scope;
  TempFiles files;
  HostedControl control;
  SetWindowTextW(control.Host(), L"Zorvex — ファイル転送");
  files.MakeFolder("\x98\x5E\x89\xB9");  // 録音
  control.Put(2, "http://127.0.0.1/upload.cgi");
  control.Put(1, files.Write("\x98\x5E\x89\xB9\\\x89\xEF\x8B\x63.wav", 1500) + ";memo.txt|%s");
  files.Write("\x98\x5E\x89\xB9\\memo.txt", 800);
  control.Put(1, files.Folder() + "\\\x98\x5E\x89\xB9\\memo.txt");
  Zorvex& object = control.Object();
  object.StatusText = "\x8A\xAE\x97\xB9 0\x95\xAA 3\x95\x62";  // 完了 0分 3秒
  object.ProgressText = "2KB  100%  6.6KB/sec";
  object.RemainText = "\x90\x84\x92\xE8\x8E\x63\x82\xE8\x8E\x9E\x8A\xD4\x81\x46 0\x95\xAA 0\x95\x62";
  SendMessageW(control.Item(IDC_PROGRESS), PBM_SETRANGE32, 0, 62);
  SendMessageW(control.Item(IDC_PROGRESS), PBM_SETPOS, 40, 0);
  SetForegroundWindow(control.Host());
  RedrawWindow(control.Host(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PumpUntil([] { return false; }, 700);

  int width = 0, height = 0;
  const std::vector<unsigned char> pixels = Capture(control.Host(), width, height);
  ASSERT_GT(width, 100);
  // The label rows (below the bar) hold text: not every pixel there has the background colour.
  RECT status;
  GetWindowRect(control.Item(IDC_STATUS), &status);
  RECT host;
  GetWindowRect(control.Host(), &host);
  const int stride = (width * 3 + 3) & ~3;
  const int row = height - 1 - ((status.top + status.bottom) / 2 - host.top);
  int differing = 0;
  const unsigned char* line = pixels.data() + static_cast<size_t>(row) * stride;
  for (int x = status.left - host.left; x < status.right - host.left && x < width; ++x) {
    differing += line[x * 3] != line[(status.right - host.left - 2) * 3];
  }
  EXPECT_GT(differing, 3) << "the status text was drawn";
  WriteBmp(BuildFolder() + "zorvex_screenshot.bmp", pixels, width, height);
}

}  // namespace
}  // namespace zorvel::testing
