#include "server/testing/wire_request.h"

#include <cstdio>

namespace server::testing {
namespace {

const std::string kDelimiter = "----K38Valet20020709";

std::string Pair(long long a, long long b) {
  char text[64];
  std::snprintf(text, sizeof text, "%09lld %09lld ", a, b);
  return text;
}

std::string FileHead(std::size_t index, const std::string& name) {
  char field[32];
  std::snprintf(field, sizeof field, "xfile%03zu", index);
  return "\r\n" + kDelimiter + "\r\nContent-Disposition: form-data; name=\"" + field +
         "\"; filename=\"" + name + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

}  // namespace

std::string UploadBody(const std::vector<WireFile>& files, const std::vector<std::string>& paras) {
  std::string paraBlock;
  for (std::size_t i = 0; i < paras.size(); ++i) {
    if (paras[i].empty()) continue;
    paraBlock += "\r\n" + kDelimiter + "\r\nContent-Disposition: form-data; name=\"para" +
                 std::to_string(i + 1) + "\"\r\n\r\n" + paras[i];
  }
  long long total = 0;
  for (const WireFile& file : files) total += static_cast<long long>(file.data.size());
  std::string magic = kDelimiter + "\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n" +
                      Pair(static_cast<long long>(files.size()), total);
  long long offset = static_cast<long long>(magic.size() + 20 * files.size() + paraBlock.size());
  std::string parts;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string head = FileHead(i + 1, files[i].name);
    offset += static_cast<long long>(head.size());
    magic += Pair(offset, static_cast<long long>(files[i].data.size()));
    offset += static_cast<long long>(files[i].data.size());
    parts += head + files[i].data;
  }
  return magic + paraBlock + parts + "\r\n" + kDelimiter + "--\r\n";
}

std::string UploadRequest(const std::string& host, const std::string& body) {
  return "POST /upload HTTP/1.0\r\nHost: " + host +
         "\r\nUser-Agent: Zorvex/1.0\r\nContent-Type: multipart/form-data; "
         "boundary=--K38Valet20020709\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string ParaFileLine(const std::string& sender, const std::string& productId,
                         const std::vector<ParaRecipient>& recipients, const std::string& message,
                         const std::vector<ParaListed>& sources,
                         const std::vector<ParaListed>& works) {
  const std::string US = "\x1f";
  std::string line = sender + US + productId;
  for (std::size_t i = 0; i < 5 || i < recipients.size(); ++i) {
    line += i < recipients.size() ? US + recipients[i].name + US + recipients[i].mail : US + US;
  }
  line += US + message;
  auto list = [&](const std::vector<ParaListed>& files) {
    std::string text;
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (i > 0) text += US;
      text += files[i].name + US + std::to_string(files[i].size);
    }
    return text;
  };
  return line + "\x1e" + list(sources) + "\x1e" + list(works) + "\r\n";
}

}  // namespace server::testing
