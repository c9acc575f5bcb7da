#include "app/download/download_list.h"

#include <algorithm>

#include "app/main/file_extension.h"
#include "app/main/url_encode.h"
#include "base/file_name.h"
#include "base/text.h"
#include "components/download/w3getv_codes.h"

std::u16string clsDownFile::FileName() const { return DownPath.substr(DownPath.rfind(u'/') + 1); }

std::vector<clsDownFile> ReadDescriptorEntries(std::u16string_view text) {
  std::vector<clsDownFile> entries;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(u'\r', at);
    if (end == std::u16string_view::npos) end = text.size();
    if (end > at) entries.emplace_back(text.substr(at, end - at));
    at = end + 1;
    if (at < text.size() && text[at] == u'\n') ++at;
  }
  return entries;
}

namespace {

// The address before the file name: a scheme W3getv fetches, a host, and nothing but URL
// characters.
bool IsSoundAddressHead(std::u16string_view head) {
  for (char16_t unit : head) {
    if (!base::IsUrlCharacter(unit)) return false;
  }
  const std::u16string lowered = base::ToLowerAscii(head);
  for (std::u16string_view scheme : {u"http://", u"https://", u"ftp://"}) {
    if (lowered.starts_with(scheme) && lowered.size() > scheme.size()) return true;
  }
  return false;
}

}  // namespace

bool AreEntriesSound(const std::vector<clsDownFile>& entries) {
  for (const clsDownFile& entry : entries) {
    const std::u16string_view path = entry.DownPath;
    if (!IsSoundAddressHead(path.substr(0, path.rfind(u'/') + 1))) return false;
    if (!base::IsPlainFileName(entry.FileName())) return false;
  }
  return true;
}

std::u16string RequestUrl(const clsDownFile& entry) {
  const std::u16string& path = entry.DownPath;
  return path.substr(0, path.rfind(u'/') + 1) + URLEncodeUTF8(entry.FileName());
}

std::u16string SaveName(const clsDownFile& entry) { return URLEncodeSJIS(entry.FileName()); }

std::u16string ProbeCommandText(std::u16string_view folder, const clsDownFile& entry) {
  return u"-d " + std::u16string(folder) + u" -j SJIS " + RequestUrl(entry);
}

std::u16string DownloadCommandText(std::u16string_view folder, const clsDownFile& entry) {
  return u"-d " + std::u16string(folder) + u" -o " + SaveName(entry) + u" -t 6000 " +
         RequestUrl(entry);
}

std::vector<std::u16string> OccupiedNames(const clsDownFile& entry) {
  const std::u16string name = entry.FileName();
  std::vector<std::u16string> names = {name};
  if (std::u16string saveName = SaveName(entry); saveName != name) {
    names.push_back(std::move(saveName));
  }
  if (IsTtaFile(name)) names.push_back(WavFileName(name));
  return names;
}

std::vector<clsDownFile> DistinctEntries(const std::vector<clsDownFile>& entries) {
  std::vector<clsDownFile> distinct;
  for (const clsDownFile& entry : entries) {
    const std::u16string name = entry.FileName();
    const auto same = [&](const clsDownFile& kept) {
      return base::EqualsIgnoreAsciiCase(kept.FileName(), name);
    };
    if (std::none_of(distinct.begin(), distinct.end(), same)) distinct.push_back(entry);
  }
  // Each file is stored under its save name and renamed at once, so it must come before the file
  // whose own name that is. Encoding lengthens a name it changes, so the chains end; the depth is
  // bounded all the same.
  std::vector<std::u16string> names;
  std::vector<std::u16string> saveNames;
  for (const clsDownFile& entry : distinct) {
    names.push_back(base::ToLowerAscii(entry.FileName()));
    saveNames.push_back(base::ToLowerAscii(SaveName(entry)));
  }
  const auto storedUnder = [&](std::size_t file) {
    for (std::size_t other = 0; other < distinct.size(); ++other) {
      if (other != file && saveNames[other] != names[other] && saveNames[other] == names[file]) {
        return other;
      }
    }
    return distinct.size();
  };
  std::vector<std::size_t> before(distinct.size());
  for (std::size_t file = 0; file < distinct.size(); ++file) before[file] = storedUnder(file);
  std::vector<std::size_t> depth(distinct.size(), 0);
  for (std::size_t file = 0; file < distinct.size(); ++file) {
    for (std::size_t at = before[file]; at < distinct.size() && depth[file] < distinct.size();
         at = before[at]) {
      ++depth[file];
    }
  }
  std::vector<std::size_t> order(distinct.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return depth[a] < depth[b]; });
  std::vector<clsDownFile> ordered;
  for (std::size_t i : order) ordered.push_back(distinct[i]);
  return ordered;
}

bool IsTtaFile(std::u16string_view fileName) {
  const std::u16string_view tail =
      fileName.size() > 3 ? fileName.substr(fileName.size() - 3) : fileName;
  return base::ToLowerAscii(tail) == u"tta";
}

std::u16string WavFileName(std::u16string_view fileName) {
  const std::size_t dot = fileName.rfind(u'.');
  if (dot != std::u16string_view::npos &&
      base::EqualsIgnoreAsciiCase(fileName.substr(dot + 1), u"tta")) {
    return EditFileExtension(fileName, u"tta", u"wav");
  }
  // A name like "xtta" has no extension to replace: the WAV file gets one added.
  return std::u16string(fileName) + u".wav";
}

bool IsRestoredToWave(const std::vector<clsDownFile>& fetched, const clsDownFile& entry) {
  const std::u16string name = entry.FileName();
  if (!IsTtaFile(name)) return false;
  const std::u16string wave = WavFileName(name);
  return std::none_of(fetched.begin(), fetched.end(), [&](const clsDownFile& other) {
    return base::EqualsIgnoreAsciiCase(other.FileName(), wave);
  });
}

std::u16string DownLoadResultMessage(int32_t result) {
  switch (result) {
    case w3getv::kSocketOpenError:
      return u"ソケットオープンエラー";
    case w3getv::kTimeOut:
      return u"タイムアウトエラー";
    case w3getv::kFtpTransient:
      return u"FTP エラー（一時的なエラー）";
    case w3getv::kFtpRefused:
      return u"FTP エラー（コマンドが実行不可）";
    case w3getv::kCancelled:
      return u"キャンセルされました";
    case w3getv::kParameterError:
      return u"パラメータエラー";
    case w3getv::kFolderNotFound:
      return u"ディレクトリが見つかりません";
    case w3getv::kUrlTooLong:
      return u"URLが長すぎます（4096以上）";
    case w3getv::kFileNotCreatable:
      return u"ファイルが作成できません";
    case w3getv::kFileWriteError:
      return u"ファイル書込みエラー";
    case w3getv::kLogFileError:
      return u"ログファイルエラー";
    case w3getv::kBadUrl:
      return u"URLが不適切です";
    default:
      break;
  }
  if (result >= -w3getv::kHighestHttpError && result <= -w3getv::kLowestHttpError) {
    return u"HTTPエラー";
  }
  return u"Winsockエラー";
}

std::u16string KilobyteText(int64_t bytes) {
  int64_t kilobytes = bytes / 1024;
  const int64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
  return base::Widen(std::to_string(kilobytes)) + u" KB";
}

int64_t BarScale(int64_t totalBytes) {
  constexpr int64_t kBarRange = 0x7FFFFFFF;
  return totalBytes <= kBarRange ? 1 : totalBytes / kBarRange + 1;
}

int64_t LeadingNumber(std::u16string_view text) {
  int64_t number = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') break;
    number = number * 10 + (unit - u'0');
  }
  return number;
}
