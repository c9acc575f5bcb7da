#include "app/history/history_server_win.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace history_testing {
namespace {

const std::string kDelimiter = "----K38Valet20020709";
const std::string US = "\x1f";

std::string UrlText() {
  const char* file = std::getenv("ORVANE_SERVER_URL_FILE");
  if (file == nullptr) return {};
  std::ifstream in(file, std::ios::binary);
  std::ostringstream url;
  url << in.rdbuf();
  return url.str();
}

int Port() {
  const std::string url = UrlText();
  return url.empty() ? 0 : std::atoi(url.substr(url.rfind(':') + 1).c_str());
}

std::string Exchange(const std::string& request) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(Port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    send(s, request.data(), static_cast<int>(request.size()), 0);
    char buffer[4096];
    int n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
  }
  closesocket(s);
  WSACleanup();
  const size_t body = answer.find("\r\n\r\n");
  return body == std::string::npos ? std::string() : answer.substr(body + 4);
}

std::string Pair(long long a, long long b) {
  char text[64];
  std::snprintf(text, sizeof text, "%09lld %09lld ", a, b);
  return text;
}

std::string FileHead(size_t index, const std::string& name) {
  char field[16];
  std::snprintf(field, sizeof field, "xfile%03u", static_cast<unsigned>(index));
  return "\r\n" + kDelimiter + "\r\nContent-Disposition: form-data; name=\"" + field +
         "\"; filename=\"C:\\Temp\\" + name +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

// The multipart body of the upload control: the "magic" index of offsets, then the files.
std::string UploadBody(const std::vector<StoredFile>& files) {
  long long total = 0;
  for (const StoredFile& file : files) total += static_cast<long long>(file.data.size());
  std::string magic = kDelimiter + "\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n" +
                      Pair(static_cast<long long>(files.size()), total);
  long long offset = static_cast<long long>(magic.size() + 20 * files.size());
  std::string parts;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string head = FileHead(i + 1, files[i].name);
    offset += static_cast<long long>(head.size());
    magic += Pair(offset, static_cast<long long>(files[i].data.size()));
    offset += static_cast<long long>(files[i].data.size());
    parts += head + files[i].data;
  }
  return magic + parts + "\r\n" + kDelimiter + "--\r\n";
}

}  // namespace

std::u16string ServerUrl() {
  const std::string url = UrlText();
  return std::u16string(url.begin(), url.end());
}

std::string PostForm(const std::string& path, const std::string& form) {
  return Exchange("POST " + path +
                  " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: " +
                  std::to_string(form.size()) + "\r\n\r\n" + form);
}

std::string Get(const std::string& path) { return Exchange("GET " + path + " HTTP/1.0\r\n\r\n"); }

bool StoreForward(const std::string& productId, const std::vector<Recipient>& recipients,
                  const std::vector<StoredFile>& files) {
  std::string para = "sender" + US + productId;
  for (size_t i = 0; i < 5; ++i) {
    para += i < recipients.size() ? US + recipients[i].name + US + recipients[i].mail : US + US;
  }
  std::string listed;
  for (const StoredFile& file : files) {
    listed += (listed.empty() ? "" : US) + file.name + US + std::to_string(file.data.size());
  }
  para += US + "message" + "\x1e" + listed + "\x1e" + listed + "\r\n";
  std::vector<StoredFile> parts = {{"OrvaneFileTrans.para", para}};
  parts.insert(parts.end(), files.begin(), files.end());
  const std::string body = UploadBody(parts);
  const std::string answer = Exchange(
      "POST /upload HTTP/1.0\r\nUser-Agent: Zorvex/1.0\r\nContent-Type: multipart/form-data; "
      "boundary=--K38Valet20020709\r\nContent-Length: " +
      std::to_string(body.size()) + "\r\n\r\n" + body);
  return answer.find_first_not_of("\r\n ") != std::string::npos &&
         answer.substr(answer.find_first_not_of("\r\n "), 1) == "1" &&
         answer.find_first_not_of("1\r\n ") == std::string::npos;
}

}  // namespace history_testing
