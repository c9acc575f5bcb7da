#include "control/window/file_entry_text.h"

#include "base/ansi.h"
#include "control/charset/convert_charset.h"

namespace zorvel {
namespace {

// Calls visit(index) for the first byte of every character.
template <typename Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!visit(i)) return;
    if (base::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
}

size_t FindFirst(std::string_view text, char wanted) {
  size_t found = std::string_view::npos;
  ForEachCharacter(text, [&](size_t i) {
    if (text[i] != wanted) return true;
    found = i;
    return false;
  });
  return found;
}

size_t FindLast(std::string_view text, char wanted) {
  size_t found = std::string_view::npos;
  ForEachCharacter(text, [&](size_t i) {
    if (text[i] == wanted) found = i;
    return true;
  });
  return found;
}

// Only the first "%s" is a placeholder; every other character, "%" included, stays as written,
// so an alias can never act as a format with arguments that are not there.
std::string FillAlias(std::string_view alias, std::string_view placeholder, std::string_view name) {
  const size_t at = alias.find(placeholder);
  if (at == std::string_view::npos) return std::string(alias);
  std::string filled(alias.substr(0, at));
  filled += name;
  filled += alias.substr(at + placeholder.size());
  return filled;
}

bool IsAllAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::vector<std::string> SplitEntries(std::string_view listText) {
  std::vector<std::string> entries;
  size_t start = 0;
  ForEachCharacter(listText, [&](size_t i) {
    if (listText[i] == ';') {
      entries.emplace_back(listText.substr(start, i - start));
      start = i + 1;
    }
    return true;
  });
  entries.emplace_back(listText.substr(start));
  return entries;
}

EntryTarget EntryResolver::Resolve(std::string_view entry, int charsetCode) {
  std::string fullPath;
  const size_t lastBackslash = FindLast(entry, '\\');
  if (lastBackslash != std::string_view::npos) {
    currentDirectory_ = entry.substr(0, lastBackslash);
    fullPath = entry;
  } else {
    fullPath = currentDirectory_ + "\\" + std::string(entry);
  }
  EntryTarget target;
  const size_t bar = FindFirst(fullPath, '|');
  if (bar == std::string::npos) {
    target.path = fullPath;
    if (charsetCode != kCharsetSjis) target.alias = "%e";
  } else {
    target.path = fullPath.substr(0, bar);
    target.alias = fullPath.substr(bar + 1);
  }
  return target;
}

std::optional<FolderPattern> MakeFolderPattern(std::string_view path, bool isDirectory) {
  std::string pattern(path);
  while (!pattern.empty() && pattern.back() == '\\') pattern.pop_back();
  if (isDirectory) pattern += "\\*.*";
  if (pattern.size() > 3 && pattern[2] == '\\' && pattern[3] == '\\') pattern.erase(3, 1);
  const size_t lastBackslash = FindLast(pattern, '\\');
  if (lastBackslash == std::string::npos) return std::nullopt;
  return FolderPattern{pattern, pattern.substr(0, lastBackslash + 1)};
}

std::string_view BaseName(std::string_view path) {
  const size_t lastBackslash = FindLast(path, '\\');
  return lastBackslash == std::string_view::npos ? path : path.substr(lastBackslash + 1);
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  bool same = true;
  ForEachCharacter(prefix, [&](size_t i) {
    const bool pair = base::IsLeadByte(static_cast<unsigned char>(prefix[i])) && i + 1 < prefix.size();
    same = pair ? text.substr(i, 2) == prefix.substr(i, 2) : LowerAscii(text[i]) == LowerAscii(prefix[i]);
    return same;
  });
  return same;
}

std::string BuildEntryText(std::string_view path, const std::optional<std::string>& alias,
                           bool foundInFolder, int charsetCode) {
  if (!alias) return std::string(path);
  const std::string_view base = BaseName(path);
  std::string filled;
  if (alias->find("%e") != std::string::npos) {
    if (IsAllAscii(base)) return std::string(path);
    std::string converted = ConvertCharset(base, kCharsetSourceSjis, charsetCode);
    // The alias is a zero-terminated text: a UCS-2 name ends at its first zero byte.
    converted.resize(std::string_view(converted.c_str()).size());
    filled = FillAlias(*alias, "%e", converted);
  } else if (alias->find("%s") != std::string::npos) {
    filled = FillAlias(*alias, "%s", base);
  } else {
    filled = foundInFolder ? *alias + std::string(base) : *alias;
  }
  return std::string(path) + "|" + filled;
}

std::string_view EntryPath(std::string_view entryText) {
  return entryText.substr(0, FindFirst(entryText, '|'));
}

}  // namespace zorvel
