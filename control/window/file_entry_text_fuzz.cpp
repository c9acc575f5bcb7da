// File list texts come from web pages (PARAM values) and from scripts: every text must be
// taken apart without reading past its end, and every alias conversion must terminate.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/charset/convert_charset.h"
#include "control/window/file_entry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int charset : {0, 2, 3, 4, 5}) {
    zorvel::EntryResolver resolver;
    for (const std::string& entry : zorvel::SplitEntries(text)) {
      const zorvel::EntryTarget target = resolver.Resolve(entry, charset);
      const std::string listed = zorvel::BuildEntryText(target.path, target.alias, true, charset);
      if (listed.compare(0, target.path.size(), target.path) != 0) std::abort();
      if (zorvel::EntryPath(listed).size() > listed.size()) std::abort();
      zorvel::MakeFolderPattern(target.path, charset % 2 == 0);
      zorvel::StartsWithIgnoreCase(listed, target.path);
    }
    zorvel::ConvertCharset(text, zorvel::kCharsetSourceSjis, charset);
  }
  return 0;
}
