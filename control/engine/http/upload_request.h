// The bytes of one multipart upload request: the item table taken from the file list, the
// "magic" index that tells the server where each file's data lies in the body, the form-field
// parts, the part heads of the files and the request header block. The receiving servers rely
// on every byte, including the fixed boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel {

inline constexpr std::string_view kMagicPartHead =
    "----K38Valet20020709\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n";
inline constexpr std::string_view kClosingDelimiter = "\r\n----K38Valet20020709--\r\n";

// The table holds at most this many list entries; later ones are not sent.
inline constexpr int kMaxUploadItems = 999;

struct UploadItem {
  std::string path;
  std::optional<std::string> alias;
  // Measured when the table is built; -1 when the file could not be opened then.
  long size = -1;
  // Bytes of the alias, or of the whole entry text when there is none.
  long nameLength = 0;
};

// A list entry's text splits at its first vertical bar into path and alias.
UploadItem MakeUploadItem(std::string_view entryText, long size);

struct ItemTable {
  std::vector<UploadItem> items;
  long totalBytes = 0;
  long nameBytes = 0;

  void Add(UploadItem item);
};

// The form-field parts of Para1, Para2 and Para3, each only when not empty, with no line end
// after the value.
std::string MakeParaBlock(std::string_view para1, std::string_view para2, std::string_view para3);

// The part head of item `index` (counted from 1), carrying the alias or else the path.
std::string MakeFilePartHead(int index, const UploadItem& item);

// The index part: count and total, then each file's data offset within the body and its size.
// Offsets are counted in 64 bits: a list near its 2 GB limit has a body past it.
std::string MakeMagicBlock(const ItemTable& table, long paraBlockLength);

long long ContentLength(long magicBlockLength, long paraBlockLength, const ItemTable& table);

// RFC 4648 Base64 without line breaks.
std::string Base64(std::string_view bytes);

struct RequestHeaderFields {
  std::string requestLine;  // "POST " and the target, without the protocol
  std::string auth, proxyAuth;
  std::string referer;  // the page address, or empty
  std::string cookie;   // the page's cookies, or empty
  std::string hostLine;
};

std::string MakeHeaderBlock(const RequestHeaderFields& fields, long long contentLength);

}  // namespace zorvel
