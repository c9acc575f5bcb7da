#include "server/upload_check.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/text.h"
#include "server/offered_names.h"

namespace server {
namespace {

std::string WithoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

const std::string* IndexField(const ReceivedUpload& upload) {
  for (std::size_t i = 0; i < upload.parts.size(); ++i) {
    if (upload.parts[i].filename.empty() && upload.parts[i].name == "magic") {
      return &upload.fields[i];
    }
  }
  return nullptr;
}

// Where the name begins behind its folders. A trail byte of code page 932 may equal the
// backslash; so may the two-byte codes of an alias made for an ISO-2022-JP server, which stand
// between ESC "$B" (or "$@") and the next escape ("ぼ" is "$\\", "く" is "$/").
std::size_t NameStart(std::string_view filename) {
  constexpr unsigned char kEscape = 0x1B;
  constexpr std::size_t kEscapeLength = 3;
  std::size_t start = 0;
  bool twoByteCodes = false;
  for (std::size_t i = 0; i < filename.size();) {
    const auto byte = static_cast<unsigned char>(filename[i]);
    if (byte == kEscape) {
      twoByteCodes = i + 1 < filename.size() && filename[i + 1] == '$';
      i += std::min(kEscapeLength, filename.size() - i);
    } else if (twoByteCodes) {
      ++i;
    } else {
      if (byte == '\\' || byte == '/') start = i + 1;
      i += base::IsLeadByte(byte) && i + 1 < filename.size() ? 2 : 1;
    }
  }
  return start;
}

}  // namespace

std::string BaseName(std::string_view filename) {
  return base::ToUtf8(base::FromAnsi(filename.substr(NameStart(filename))));
}

std::optional<std::size_t> FindParaPart(const ReceivedUpload& upload) {
  for (std::size_t i = 0; i < upload.parts.size(); ++i) {
    const ReceivedPart& part = upload.parts[i];
    if (!part.filename.empty() &&
        base::EqualsIgnoreAsciiCase(base::FromUtf8(BaseName(part.filename)),
                                    base::FromUtf8(kParaFileName))) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<UploadPlan> CheckUpload(const ReceivedUpload& upload, std::string_view paraBytes) {
  const std::string* indexText = IndexField(upload);
  if (!indexText) return std::nullopt;
  std::optional<MagicIndex> index = ParseMagicIndex(*indexText);
  if (!index || !IndexMatchesBody(*index, upload.boundary, upload.parts)) return std::nullopt;

  std::optional<std::size_t> paraPart = FindParaPart(upload);
  std::optional<ParaFile> para = ParseParaFile(paraBytes);
  if (!paraPart || !para || para->productId.empty() || para->works.empty()) return std::nullopt;

  UploadPlan plan{std::move(*para), {}};
  std::vector<bool> used(upload.parts.size(), false);
  used[*paraPart] = true;
  if (std::any_of(plan.para.sources.begin(), plan.para.sources.end(), [](const ListedFile& source) {
        return source.size < 0 || !IsOfferableName(source.name);
      })) {
    return std::nullopt;
  }
  for (const ListedFile& work : plan.para.works) {
    if (work.name.empty() || work.size < 0) return std::nullopt;
    std::optional<std::size_t> match;
    for (std::size_t i = 0; i < upload.parts.size() && !match; ++i) {
      const ReceivedPart& part = upload.parts[i];
      if (!used[i] && !part.filename.empty() &&
          part.size == static_cast<std::uint64_t>(work.size) &&
          WithoutBlanks(BaseName(part.filename)) == work.name) {
        match = i;
      }
    }
    if (!match) return std::nullopt;
    used[*match] = true;
    plan.workParts.push_back(*match);
  }
  return plan;
}

}  // namespace server
