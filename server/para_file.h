// The parameter data file "OrvaneFileTrans.para" that describes one forward: one line of
// code page 932 text with US between fields, RS between its three sections and GS for the line
// breaks of the message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

struct Recipient {
  std::string name;  // UTF-8
  std::string mail;  // UTF-8
};

struct ListedFile {
  std::string name;  // UTF-8, blanks already removed by the sender
  std::int64_t size = 0;
};

struct ParaFile {
  std::string sender;     // UTF-8
  std::string productId;  // UTF-8
  // Five places at least; a place without a recipient has two empty texts.
  std::vector<Recipient> recipients;
  std::string message;  // UTF-8, line breaks as LF
  std::vector<ListedFile> sources;
  std::vector<ListedFile> works;  // same order and count as sources
};

inline constexpr std::string_view kParaFileName = "OrvaneFileTrans.para";
inline constexpr std::size_t kRecipientPlaces = 5;

// Empty when the bytes are not a parameter data file: wrong section or field counts, a size
// that is not a decimal number, or source and work lists of different lengths.
std::optional<ParaFile> ParseParaFile(std::string_view bytes);

}  // namespace server
