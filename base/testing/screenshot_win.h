// Screenshots for the tests that show windows: what the screen shows of a window, kept as a BMP
// under build/<preset>/screenshots/ for a person to look at (the check script adds a PNG beside it).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace screenshots {

// 24-bit pixels, rows bottom-up and each padded to four bytes: the BMP layout.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;

  int Stride() const { return (width * 3 + 3) & ~3; }
};

// What the screen shows of `window`. The window is raised above all others for the capture:
// test programs running beside this one share the display.
Image Capture(HWND window);

// Writes `image` as build/<preset>/screenshots/<name>.bmp.
void Save(const Image& image, const std::wstring& name);

}  // namespace screenshots
