// The folder that holds one forward's work files and its parameter data file. A work file is
// named after its source; in the temporary directory itself it could be the source (a file that
// already lies there under a name that encodes to itself) or an unrelated file of the same name,
// and the clean-up after the forward would delete either. A folder made afresh for the forward
// holds nothing but what the forward writes.
#pragma once

#include <string>
#include <string_view>

class WorkFolder {
 public:
  // Makes a new, empty folder inside `parent` (a path ending with a backslash); raises an
  // AppError when none can be made.
  explicit WorkFolder(std::u16string_view parent);
  // Removes the folder once the forward's clean-up has emptied it; a folder that still holds
  // something stays.
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  // The folder's path, ending with a backslash.
  const std::u16string& path() const { return path_; }

 private:
  std::u16string path_;
};
