// The limits of one forward and the checks of the forward window, in the order the window
// applies them, with the messages it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kMaxForwardFiles = 500;
inline constexpr size_t kMaxRecipients = 5;
// The files of a forward must stay below this many bytes in all.
inline constexpr int64_t kMaxForwardBytes = 1073741824;
// The message may take 1000 bytes; the byte-length check is given the limit plus one.
inline constexpr int16_t kMessageByteLimit = 1001;

inline constexpr char16_t kRecipientsFullMessage[] = u"最大人数が設定されています。";
inline constexpr char16_t kSizeLimitMessage[] = u"転送可能なファイルサイズは1GBまでです。";

// "###0" and "######0 KB" (kilobytes to the nearest whole number, halves up).
std::u16string FormatFileCount(size_t count);
std::u16string FormatFileSizeKB(int64_t totalBytes);

// The refusal before a file or a folder is even chosen: the list is full or 1 GB is reached.
std::optional<std::u16string> RefuseMoreFiles(size_t fileCount, int64_t totalBytes);

// True when `name` would be the same file as one of `names` once uploaded: the names are equal
// ignoring letter case, or their work files in the temporary directory would be the same.
bool IsDuplicateName(const std::vector<std::u16string>& names, std::u16string_view name);

std::u16string AlreadySetMessage(std::u16string_view fileName);
std::u16string FileCountLimitMessage();

struct CandidateFile {
  std::u16string name;
  int64_t size = 0;
};

// What the window does with each candidate of a single file or a folder, in order.
enum class AddStep { Add, Duplicate, CountLimit, SizeLimit };
struct AddDecision {
  AddStep step;
  size_t candidate;  // index into the candidates
};

// One chosen file: a duplicate or one that would reach 1 GB is refused, otherwise added.
AddDecision PlanFileAdd(const std::vector<std::u16string>& names, int64_t totalBytes,
                        const CandidateFile& file);

// A folder's files in folder order. A duplicate is skipped with its message; the count or the
// size limit ends the walk with its message.
std::vector<AddDecision> PlanFolderAdd(const std::vector<std::u16string>& names, int64_t totalBytes,
                                       const std::vector<CandidateFile>& candidates);

struct ForwardState {
  size_t recipientCount = 0;
  size_t fileCount = 0;
  int64_t totalBytes = 0;
  int64_t serverSavedBytes = 0;
  std::u16string_view message;
  std::u16string_view senderName;
};

struct ForwardRefusal {
  std::u16string message;
  bool aboutMessageText = false;  // shown with the information icon, focus to the message
};

// The checks of the forward command after the server query, in their order.
std::optional<ForwardRefusal> RefuseForward(const ForwardState& state);
