#include "app/testing/temp_folder_win.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

TempFolder::TempFolder() {
  static int counter = 0;
  path_ = std::filesystem::temp_directory_path() /
          ("orvane-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(path_, ignored);
}

void WriteBytes(std::u16string_view path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file");
}

std::string ReadBytes(std::u16string_view path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read test file");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
