// The text rules of the file list: entry syntax, folders and patterns, duplicates and aliases.
// Texts are ANSI (Shift_JIS) bytes; a double-byte character is always taken whole, so a
// backslash or bar that is the second byte of a character never splits a name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel {

// The entries of a file list text, separated by ";".
std::vector<std::string> SplitEntries(std::string_view listText);

// A path and the alias after its first vertical bar (none when there is no bar).
struct EntryTarget {
  std::string path;
  std::optional<std::string> alias;
};

// Turns entries into full paths. An entry with a backslash is a full path and its folder
// becomes the folder of later bare names.
class EntryResolver {
 public:
  // Without a bar and with a Charset other than sjis, the alias is "%e".
  EntryTarget Resolve(std::string_view entry, int charsetCode);

 private:
  std::string currentDirectory_;
};

// A wildcard pattern and the folder (with its trailing backslash) its matches lie in.
struct FolderPattern {
  std::string pattern;
  std::string directory;
};

// The pattern for a folder (all its files) or for a path that is itself a pattern; none when
// the text names no folder at all.
std::optional<FolderPattern> MakeFolderPattern(std::string_view path, bool isDirectory);

// The text after the last backslash.
std::string_view BaseName(std::string_view path);

// Case-insensitive (ASCII letters) prefix test, as the list's duplicate rule needs.
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// The list entry for a file: the path alone, or the path, a bar and its alias filled in. A file
// found through a folder or pattern uses a plain alias as a prefix of its base name.
std::string BuildEntryText(std::string_view path, const std::optional<std::string>& alias,
                           bool foundInFolder, int charsetCode);

// The path of a list entry: its text up to the first vertical bar.
std::string_view EntryPath(std::string_view entryText);

}  // namespace zorvel
