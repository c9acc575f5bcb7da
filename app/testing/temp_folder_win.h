// Files for tests: a fresh folder under the temporary directory, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path without a trailing backslash.
  std::u16string path() const { return path_.u16string(); }
  // The path of `name` inside the folder.
  std::u16string operator/(std::u16string_view name) const { return (path_ / name).u16string(); }

 private:
  std::filesystem::path path_;
};

void WriteBytes(std::u16string_view path, std::string_view bytes);
std::string ReadBytes(std::u16string_view path);
