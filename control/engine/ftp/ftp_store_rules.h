// What the FTP upload sends for each listed file: the stored name, the transfer type, the
// command lines, and how it reads the PASV reply and reports a finished transfer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel {

// A command line (command, argument, CR LF) holds at most this many bytes.
inline constexpr size_t kMaxCommandLine = 511;

// The entries of AscExt: at most 32, separated by ";", written without a dot and cut to 31
// bytes. Empty entries are dropped: they would send every file without extension as text.
std::vector<std::string> SplitAscExt(std::string_view ascExt);

// A list item: the local path, and the name the server stores it under (the text after "|", or
// the file's own name).
struct StoreItem {
  std::string localPath;
  std::string storedName;
  bool hasAlias = false;
};
StoreItem SplitStoreItem(std::string_view itemText);

// 'A' when the stored name's extension is one of the entries (any case), else 'I'. An item
// that is a bare name (no "|", "\" or "/") always goes as 'I'.
char ChooseTransferType(std::string_view itemText, std::string_view storedName,
                        const std::vector<std::string>& entries);

// "STOR " + directory + "/" + stored name (no directory part when the directory is empty).
std::string MakeStorLine(std::string_view directory, std::string_view storedName);

// The TYPE command for 'A', 'I' or 'L'.
std::string MakeTypeCommand(char type);

// command + argument + CR LF; none when the line would exceed kMaxCommandLine.
std::optional<std::string> MakeCommandLine(std::string_view command, std::string_view argument);

// The text the log shows for a command line: the password never appears.
std::string LoggedCommand(std::string_view line);

// The address and port of a "227 ... (h1,h2,h3,h4,p1,p2)" reply; none when the parentheses, the
// six numbers or their byte range are missing.
struct PassiveTarget {
  std::string host;
  int port = 0;
};
std::optional<PassiveTarget> ParsePassiveReply(std::string_view replyText);

// Milliseconds between two times of day (a day change adds 24 hours), at least 10.
int32_t TransferMs(int32_t startMsOfDay, int32_t endMsOfDay);
// Bytes per second; a file may pass 2 GB, so the count (and the rate) are 64-bit.
int64_t TransferRate(int64_t sent, int32_t ms);
// value / 1000 with two decimals, the third dropped: 12345 -> "12.34".
std::string Thousandths(int64_t value);
// "%d bytes sent in %s seconds (%s Kbytes/sec)".
std::string MakeRateLine(int64_t sent, int32_t ms);

}  // namespace zorvel
