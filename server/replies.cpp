#include "server/replies.h"

#include <ctime>
#include <limits>

#include "base/ansi.h"
#include "base/text.h"
#include "server/offered_names.h"

namespace server {
namespace {

constexpr char kUnitSeparator = '\x1f';

std::string Ansi(std::string_view utf8) { return base::ToAnsi(base::FromUtf8(utf8)); }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::string OfferedName(std::string_view sourceName) {
  // The application decides by the last three characters, not by what follows the dot.
  if (sourceName.size() >= 3 && LowerAscii(sourceName.substr(sourceName.size() - 3)) == "wav") {
    return std::string(sourceName.substr(0, sourceName.size() - 3)) + "tta";
  }
  return std::string(sourceName);
}

std::string FormatForwardDate(std::int64_t secondsSinceEpoch) {
  std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return text;
}

std::string HistoryReply(const std::vector<ForwardRecord>& forwards) {
  std::string reply;
  for (const ForwardRecord& forward : forwards) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < kRecipientPlaces; ++i) {
      const bool present = i < forward.recipients.size();
      fields.push_back(present ? Ansi(forward.recipients[i].name) : "");
      fields.push_back(present ? Ansi(forward.recipients[i].mail) : "");
    }
    fields.push_back(FormatForwardDate(forward.createdAt));
    fields.push_back(forward.deleted ? "1" : "0");
    for (const StoredFile& file : forward.files) {
      fields.push_back(Ansi(file.offeredName));
      fields.push_back(std::to_string(file.workSize));
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) reply += kUnitSeparator;
      reply += fields[i];
    }
    reply += "\r\n";
  }
  return reply;
}

std::string SavedSizeReply(const std::vector<ForwardRecord>& forwards) {
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t total = 0;
  for (const ForwardRecord& forward : forwards) {
    if (forward.deleted) continue;
    for (const StoredFile& file : forward.files) {
      total += file.workSize;
      if (total > kLimit) return std::to_string(kLimit);
    }
  }
  return std::to_string(total);
}

std::string FileUrlPath(const ForwardRecord& forward, std::string_view offeredName) {
  return "/files/" + forward.id + "/" + std::string(offeredName);
}

std::string DescriptorText(std::string_view baseUrl, const ForwardRecord& forward) {
  std::string text;
  const std::string folder = std::string(baseUrl) + FileUrlPath(forward, "");
  if (!IsUrlText(folder)) return text;
  for (const StoredFile& file : forward.files) {
    // Names stored before uploads were checked for them may still hold a separator.
    if (!IsOfferableName(file.offeredName)) continue;
    text += Ansi(folder + file.offeredName);
    text += "\r\n";
  }
  return text;
}

}  // namespace server
