// The download descriptor (ofts file) and what the download window derives from its entries:
// file names, the command texts of W3getv, the names tested for clashes and the messages of its
// result codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One entry of the download list: a line of the descriptor.
class clsDownFile {
 public:
  explicit clsDownFile(std::u16string_view downPath) : DownPath(downPath) {}

  // The text after the last "/" (the whole path without one; empty when it ends with "/").
  std::u16string FileName() const;

  std::u16string DownPath;
};

// The entries of a descriptor's text: lines end at CR LF or a lone CR, empty lines are skipped,
// every other line is kept exactly as it is, in file order.
std::vector<clsDownFile> ReadDescriptorEntries(std::u16string_view text);

// True when every entry can be fetched into the chosen folder and nowhere else. Its file name
// must stay inside the folder: a name that would leave it, that Windows refuses or that names a
// device would be written elsewhere or fail after other files were already replaced. Its address
// up to the last "/" goes into the command text as it stands, where a blank would begin options
// of its own: it must be an http, https or ftp address of URL characters only.
bool AreEntriesSound(const std::vector<clsDownFile>& entries);

// The address requested for an entry: its path up to the last "/", then its file name encoded
// as UTF-8.
std::u16string RequestUrl(const clsDownFile& entry);
// The name the file is first stored under: its file name encoded as Shift_JIS.
std::u16string SaveName(const clsDownFile& entry);

std::u16string ProbeCommandText(std::u16string_view folder, const clsDownFile& entry);
std::u16string DownloadCommandText(std::u16string_view folder, const clsDownFile& entry);

// Every name the run writes for an entry in the folder, each tested for a clash with the user's
// files: the entry's own name, the name it is first stored under, and the WAV file of a TTA file.
std::vector<std::u16string> OccupiedNames(const clsDownFile& entry);

// The entries a run fetches: each file once (names that differ only in the case of ASCII letters
// are one file on Windows), in list order, except that a file first stored under another file's
// own name ("a b.txt" under "a+b.txt") comes before that file, which it would overwrite later.
std::vector<clsDownFile> DistinctEntries(const std::vector<clsDownFile>& entries);

// True for a file decompressed after the download: its last three characters are "tta" in any
// case.
bool IsTtaFile(std::u16string_view fileName);
// The WAV file a TTA file becomes beside it; never the TTA file's own name.
std::u16string WavFileName(std::u16string_view fileName);
// True for a TTA file of `fetched` that is turned into its WAV file: not when another file of
// the list already has that name, since the restored file would replace one sent as it is.
bool IsRestoredToWave(const std::vector<clsDownFile>& fetched, const clsDownFile& entry);

// The message for a W3getv result that ends the run.
std::u16string DownLoadResultMessage(int32_t result);

// A byte count in kilobytes, rounded to the nearest whole number with halves to even, + " KB".
std::u16string KilobyteText(int64_t bytes);
// What one step of the progress bar stands for, so that a total beyond its 32-bit range still
// fits: 1 up to that range, more above it.
int64_t BarScale(int64_t totalBytes);

// The whole number at the start of a label text ("12 KB" gives 12; no digits give 0).
int64_t LeadingNumber(std::u16string_view text);
