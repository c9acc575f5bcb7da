#include "base/testing/screenshot_win.h"

#include <filesystem>
#include <fstream>

namespace screenshots {
namespace {

// Test programs live in build/<preset>/bin/; the pictures go beside that folder.
std::filesystem::path Folder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path().parent_path() / L"screenshots";
}

BITMAPINFOHEADER HeaderOf(const Image& image) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = image.width;
  header.biHeight = image.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(image.pixels.size());
  return header;
}

// Waits while dispatching this thread's messages: a window of the test program itself repaints
// what the raise uncovered only through them.
void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

}  // namespace

Image Capture(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  Image image;
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(300);
  BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SelectObject(memory, previous);

  image.pixels.resize(static_cast<size_t>(image.Stride()) * static_cast<size_t>(image.height));
  BITMAPINFOHEADER header = HeaderOf(image);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

void Save(const Image& image, const std::wstring& name) {
  const std::filesystem::path folder = Folder();
  std::filesystem::create_directories(folder);
  const BITMAPINFOHEADER header = HeaderOf(image);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(image.pixels.size());
  std::ofstream out(folder / (name + L".bmp"), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(image.pixels.data()),
            static_cast<std::streamsize>(image.pixels.size()));
}

}  // namespace screenshots
