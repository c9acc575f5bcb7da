#include "control/engine/ftp/ftp_store_rules.h"

#include <cctype>
#include <cstdio>

#include "base/ansi.h"
#include "control/engine/ftp/ftp_address.h"

namespace zorvel {
namespace {

constexpr size_t kMaxAscEntries = 32;
constexpr size_t kMaxAscEntryLength = 31;
constexpr int32_t kDayMs = 24 * 60 * 60 * 1000;
constexpr int32_t kMinimumMs = 10;
// From this size on, sent * 1000 would overflow 32 bits.
constexpr int32_t kLargeTransfer = 2097153;

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The decimal number that begins text (leading digits only), or -1 when there is none.
int LeadingNumber(std::string_view text, size_t& length) {
  length = 0;
  int value = 0;
  while (length < text.size() && std::isdigit(static_cast<unsigned char>(text[length]))) {
    if (value < 100000) value = value * 10 + (text[length] - '0');
    ++length;
  }
  return length == 0 ? -1 : value;
}

}  // namespace

std::vector<std::string> SplitAscExt(std::string_view ascExt) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= ascExt.size() && entries.size() < kMaxAscEntries) {
    size_t end = FindSingleByte(ascExt, ';', start);
    if (end == std::string_view::npos) end = ascExt.size();
    const std::string_view entry = ascExt.substr(start, end - start);
    if (!entry.empty()) entries.emplace_back(base::CutWholeCharacters(entry, kMaxAscEntryLength));
    start = end + 1;
  }
  return entries;
}

StoreItem SplitStoreItem(std::string_view itemText) {
  StoreItem item;
  const size_t bar = FindSingleByte(itemText, '|');
  if (bar != std::string_view::npos) {
    item.localPath = itemText.substr(0, bar);
    item.storedName = itemText.substr(bar + 1);
    item.hasAlias = true;
    return item;
  }
  item.localPath = itemText;
  size_t slash = FindLastSingleByte(itemText, '\\');
  if (slash == std::string_view::npos) slash = FindLastSingleByte(itemText, '/');
  item.storedName = slash == std::string_view::npos ? itemText : itemText.substr(slash + 1);
  return item;
}

char ChooseTransferType(std::string_view itemText, std::string_view storedName,
                        const std::vector<std::string>& entries) {
  if (entries.empty()) return 'I';
  const bool hasSeparator = FindSingleByte(itemText, '|') != std::string_view::npos ||
                            FindSingleByte(itemText, '\\') != std::string_view::npos ||
                            FindSingleByte(itemText, '/') != std::string_view::npos;
  const size_t dot = FindLastSingleByte(storedName, '.');
  if (!hasSeparator || dot == std::string_view::npos) return 'I';
  const std::string_view extension = storedName.substr(dot + 1);
  for (const std::string& entry : entries) {
    if (EqualsIgnoreCase(extension, entry)) return 'A';
  }
  return 'I';
}

std::string MakeStorLine(std::string_view directory, std::string_view storedName) {
  std::string line = "STOR ";
  if (!directory.empty()) {
    line += directory;
    line += '/';
  }
  line += storedName;
  return line;
}

std::string MakeTypeCommand(char type) {
  if (type == 'L') return "TYPE L 8";
  return std::string("TYPE ") + type;
}

std::optional<std::string> MakeCommandLine(std::string_view command, std::string_view argument) {
  if (command.size() + argument.size() + 2 > kMaxCommandLine) return std::nullopt;
  std::string line(command);
  line += argument;
  line += "\r\n";
  return line;
}

std::string LoggedCommand(std::string_view line) {
  if (line.substr(0, 5) == "PASS ") return "PASS ******";
  return std::string(line);
}

std::optional<PassiveTarget> ParsePassiveReply(std::string_view replyText) {
  size_t at = replyText.find('(');
  if (at == std::string_view::npos) return std::nullopt;
  int numbers[6];
  for (int i = 0; i < 6; ++i) {
    if (i > 0) {
      at = replyText.find(',', at);
      if (at == std::string_view::npos) return std::nullopt;
    }
    ++at;
    size_t length = 0;
    numbers[i] = LeadingNumber(replyText.substr(at), length);
    if (numbers[i] < 0 || numbers[i] > 255) return std::nullopt;
    at += length;
  }
  char host[32];
  std::snprintf(host, sizeof host, "%d.%d.%d.%d", numbers[0], numbers[1], numbers[2], numbers[3]);
  return PassiveTarget{host, numbers[4] * 256 + numbers[5]};
}

int32_t TransferMs(int32_t startMsOfDay, int32_t endMsOfDay) {
  int32_t ms = endMsOfDay - startMsOfDay;
  if (ms < 0) ms += kDayMs;
  return ms < kMinimumMs ? kMinimumMs : ms;
}

int64_t TransferRate(int64_t sent, int32_t ms) {
  if (ms < kMinimumMs) ms = kMinimumMs;
  if (sent < kLargeTransfer) return sent * 1000 / ms;
  if (ms < 1000) ms = 1000;
  return sent / (ms / 1000);
}

std::string Thousandths(int64_t value) {
  char text[48];
  std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(value / 1000),
                static_cast<long long>(value % 1000 / 10));
  return text;
}

std::string MakeRateLine(int64_t sent, int32_t ms) {
  char text[160];
  std::snprintf(text, sizeof text, "%lld bytes sent in %s seconds (%s Kbytes/sec)",
                static_cast<long long>(sent), Thousandths(ms).c_str(),
                Thousandths(TransferRate(sent, ms)).c_str());
  return text;
}

}  // namespace zorvel
