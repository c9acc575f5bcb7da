// One past forward as the history server reports it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file of a past forward: only its name and size travel in the history reply.
struct HistoryFile {
  std::u16string FileName;
  int32_t FileSize = 0;
};

// The name keeps the spelling the rest of the system knows it by.
class clsHistroy {
 public:
  std::u16string Name1, Mail1, Name2, Mail2, Name3, Mail3, Name4, Mail4, Name5, Mail5;
  std::u16string ForwardDate;  // as the server sent it; converted only for display
  std::u16string DeleteKBN;    // "0" kept on the server, "1" deleted

  const std::vector<HistoryFile>& FileInfo() const { return fileInfo_; }
  void SetFileInfo(HistoryFile file) { fileInfo_.push_back(std::move(file)); }

 private:
  std::vector<HistoryFile> fileInfo_;
};
