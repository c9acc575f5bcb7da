#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One file of a forward: the source file and, once the forward command has named it, the work
// file that is actually uploaded.
class clsFile {
 public:
  std::u16string FileName;     // name without folder, as the file system reports it
  std::u16string FilePath;     // full path of the source file
  std::u16string NewFilePath;  // full path of the work file; empty until the forward command
  int32_t FileSize = 0;        // size of the source file when it was added

  // The last three characters of the name, lower case ("peg" for a .jpeg).
  std::u16string FileExtension() const;
  // Name and current size of the work file; empty and 0 while it does not exist.
  std::u16string NewFileName() const;
  int32_t NewFileSize() const;
};

using FileCollection = std::vector<std::shared_ptr<clsFile>>;
