#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/download/download_list.h"
#include "base/ansi.h"
#include "base/text.h"
#include "components/download/w3getv_codes.h"
#include "components/download/w3getv_command.h"

namespace {

// Folders as the short form of the chosen folder gives them; the last ends in a character whose
// second byte is a backslash.
constexpr std::u16string_view kFolders[] = {u"C:\\DOWNLO~1", u"\\\\srv\\share\\in", u"D:\\ソ"};

// A command text built from a sound entry must reach W3getv as the caller meant it: the file goes
// into the chosen folder under the entry's encoded name, from the entry's own address.
void CheckRoundTrip(std::u16string_view folder, const clsDownFile& entry) {
  const w3getv::ParsedCommand download =
      w3getv::ParseCommand(base::ToAnsi(DownloadCommandText(folder, entry)));
  if (download.result == w3getv::kUrlTooLong) return;
  if (download.result != 0) __builtin_trap();
  if (download.command.folder != base::ToAnsi(folder)) __builtin_trap();
  if (download.command.saveName != base::ToAnsi(SaveName(entry))) __builtin_trap();
  if (download.command.url != base::ToAnsi(RequestUrl(entry))) __builtin_trap();

  // The probe writes nothing; it names the file after the address's path, which a query in the
  // address may cut short to a name W3getv refuses.
  const w3getv::ParsedCommand probe =
      w3getv::ParseCommand(base::ToAnsi(ProbeCommandText(folder, entry)));
  if (probe.result == w3getv::kBadUrl) return;
  if (probe.result != 0) __builtin_trap();
  if (probe.command.folder != base::ToAnsi(folder)) __builtin_trap();
  if (probe.command.url != download.command.url) __builtin_trap();
}

// The files a run leaves in the folder never replace one another: each fetched entry has a name
// of its own, and a TTA file is restored only under a name no other entry of the list has.
void CheckNamesStayApart(const std::vector<clsDownFile>& entries) {
  const std::vector<clsDownFile> fetched = DistinctEntries(entries);
  std::vector<std::u16string> names;
  for (const clsDownFile& entry : fetched) names.push_back(base::ToLowerAscii(entry.FileName()));
  for (std::size_t i = 0; i < fetched.size(); ++i) {
    for (std::size_t j = i + 1; j < fetched.size(); ++j) {
      if (names[i] == names[j]) __builtin_trap();
    }
    if (!IsRestoredToWave(fetched, fetched[i])) continue;
    const std::u16string wave = base::ToLowerAscii(WavFileName(fetched[i].FileName()));
    for (const std::u16string& name : names) {
      if (name == wave) __builtin_trap();
    }
  }
}

}  // namespace

// A descriptor is written by whoever sends the mail: every entry the reader lets through must
// round-trip through W3getv's command parser.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::u16string_view folder = kFolders[data[0] % std::size(kFolders)];
  const std::string_view descriptor(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<clsDownFile> entries = ReadDescriptorEntries(base::FromAnsi(descriptor));
  for (const clsDownFile& entry : entries) {
    if (AreEntriesSound({entry})) CheckRoundTrip(folder, entry);
  }
  CheckNamesStayApart(entries);
  return 0;
}
