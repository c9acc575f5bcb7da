#include "server/upload_check.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/text.h"

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

}  // namespace

std::string BaseName(std::string_view filename) {
  std::u16string name = base::FromAnsi(filename);
  std::size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string::npos) name.erase(0, slash + 1);
  return base::ToUtf8(name);
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
  if (std::any_of(plan.para.sources.begin(), plan.para.sources.end(),
                  [](const ListedFile& source) { return source.size < 0; })) {
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
