// The "magic" index part that opens every upload: the number of files, their total size, then
// for each file the byte offset of its data within the body and its size, each number written
// "%09ld " (nine digits at least, a blank after it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

struct IndexEntry {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

struct MagicIndex {
  std::uint64_t count = 0;
  std::uint64_t total = 0;
  std::vector<IndexEntry> entries;
};

// Empty unless the text is blank-separated decimal numbers, two plus two per announced file.
std::optional<MagicIndex> ParseMagicIndex(std::string_view text);

// One part of a multipart body as the parser reported it.
struct ReceivedPart {
  std::string name;
  std::string filename;  // empty for a plain field
  std::string contentType;
  std::uint64_t size = 0;
};

// Where each file part's data lies in the body. The parser does not report positions, so they
// are those of the part heads as our senders write them (Content-Disposition, then
// Content-Type when there is one, then an empty line).
std::vector<IndexEntry> LayOutFileParts(std::string_view boundary,
                                        const std::vector<ReceivedPart>& parts);

// The boundary parameter of a multipart Content-Type header (quotes removed); empty when absent.
std::string BoundaryOf(std::string_view contentType);

// True when the index announces exactly the file parts that arrived: their count, their total,
// and each one's offset and size.
bool IndexMatchesBody(const MagicIndex& index, std::string_view boundary,
                      const std::vector<ReceivedPart>& parts);

}  // namespace server
