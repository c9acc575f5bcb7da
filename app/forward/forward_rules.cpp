#include "app/forward/forward_rules.h"

#include "app/main/file_extension.h"
#include "app/main/text_limits.h"
#include "app/main/url_encode.h"
#include "base/text.h"

namespace {

// The work file's name as the forward command derives it: WAV files become TTA files.
std::u16string WorkFileName(std::u16string_view name) {
  std::u16string encoded = URLEncodeSJIS(name);
  const size_t tail = name.size() > 3 ? name.size() - 3 : 0;
  if (base::ToLowerAscii(name.substr(tail)) == u"wav") {
    encoded = EditFileExtension(encoded, u"wav", u"tta");
  }
  return encoded;
}

}  // namespace

std::u16string FormatFileCount(size_t count) { return base::Widen(std::to_string(count)); }

std::u16string FormatFileSizeKB(int64_t totalBytes) {
  return base::Widen(std::to_string((totalBytes + 512) / 1024)) + u" KB";
}

std::optional<std::u16string> RefuseMoreFiles(size_t fileCount, int64_t totalBytes) {
  if (fileCount >= kMaxForwardFiles) return u"既に転送可能なファイル数が設定されています。";
  if (totalBytes >= kMaxForwardBytes) return u"既に転送可能なファイルサイズが設定されています。";
  return std::nullopt;
}

bool IsDuplicateName(const std::vector<std::u16string>& names, std::u16string_view name) {
  // Work files share one folder of a case-insensitive file system.
  const std::u16string workFile = WorkFileName(name);
  for (const std::u16string& existing : names) {
    if (base::EqualsIgnoreAsciiCase(existing, name) ||
        base::EqualsIgnoreAsciiCase(WorkFileName(existing), workFile)) {
      return true;
    }
  }
  return false;
}

std::u16string AlreadySetMessage(std::u16string_view fileName) {
  return std::u16string(fileName) + u"は設定済みのため追加出来ません。";
}

std::u16string FileCountLimitMessage() {
  return u"転送可能なファイル数は" + FormatFileCount(kMaxForwardFiles) + u"までです。";
}

AddDecision PlanFileAdd(const std::vector<std::u16string>& names, int64_t totalBytes,
                        const CandidateFile& file) {
  if (IsDuplicateName(names, file.name)) return {AddStep::Duplicate, 0};
  if (totalBytes + file.size < kMaxForwardBytes) return {AddStep::Add, 0};
  return {AddStep::SizeLimit, 0};
}

std::vector<AddDecision> PlanFolderAdd(const std::vector<std::u16string>& names, int64_t totalBytes,
                                       const std::vector<CandidateFile>& candidates) {
  std::vector<std::u16string> listed = names;
  std::vector<AddDecision> plan;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const CandidateFile& file = candidates[i];
    // Tested into an empty list too: a folder may hold x.wav beside x.tta, or names that only a
    // case-sensitive file system keeps apart.
    if (IsDuplicateName(listed, file.name)) {
      plan.push_back({AddStep::Duplicate, i});
      continue;
    }
    if (listed.size() >= kMaxForwardFiles) {
      plan.push_back({AddStep::CountLimit, i});
      break;
    }
    if (file.size + totalBytes >= kMaxForwardBytes) {
      plan.push_back({AddStep::SizeLimit, i});
      break;
    }
    plan.push_back({AddStep::Add, i});
    listed.push_back(file.name);
    totalBytes += file.size;
  }
  return plan;
}

std::optional<ForwardRefusal> RefuseForward(const ForwardState& state) {
  if (state.recipientCount == 0) return ForwardRefusal{u"ファイル転送先を設定して下さい。"};
  if (state.fileCount == 0) return ForwardRefusal{u"転送するファイルを設定して下さい。"};
  if (state.totalBytes > kMaxForwardBytes - state.serverSavedBytes) {
    return ForwardRefusal{u"転送可能サイズを超えています。"};
  }
  if (!IsShorterThan(state.message, kMessageByteLimit)) {
    return ForwardRefusal{u"メッセージは全角500文字以内で入力して下さい。", true};
  }
  if (state.senderName.empty()) return ForwardRefusal{u"送信者名を入力して下さい。"};
  return std::nullopt;
}
