// Re-encoding of Shift_JIS file names for servers that expect another Japanese encoding.
#pragma once

#include <string>
#include <string_view>

namespace zorvel {

// Encoding codes as the control's Charset property selects them.
enum CharsetCode : int {
  kCharsetSjis = 0,
  kCharsetSourceSjis = 1,
  kCharsetEuc = 2,
  kCharsetJis = 3,
  kCharsetUcs2 = 4,
  kCharsetUtf8 = 5,
};

// Converts Shift_JIS bytes to the target encoding. A source of one byte or less, a target of 0
// and any unknown target come back unchanged. UCS-2 is little-endian without a byte-order mark.
std::string ConvertCharset(std::string_view source, int sourceCode, int targetCode);

}  // namespace zorvel
