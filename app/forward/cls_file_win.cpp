#include "app/forward/cls_file_win.h"

#include <windows.h>

#include "app/main/file_utils_win.h"
#include "base/text.h"

std::u16string clsFile::FileExtension() const {
  const size_t start = FileName.size() > 3 ? FileName.size() - 3 : 0;
  return base::ToLowerAscii(std::u16string_view(FileName).substr(start));
}

std::u16string clsFile::NewFileName() const {
  if (NewFilePath.empty() || !CheckFileExist(NewFilePath)) return {};
  return FindFileData(NewFilePath).name;
}

int32_t clsFile::NewFileSize() const {
  if (NewFilePath.empty() || !CheckFileExist(NewFilePath)) return 0;
  return static_cast<int32_t>(FindFileData(NewFilePath).size);
}
