#include "control/engine/http/upload_request.h"

#include <cstdio>

namespace zorvel {
namespace {

constexpr std::string_view kParaPartHead =
    "\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"para%d\"\r\n\r\n";

std::string NumberPair(long long first, long long second) {
  char text[64];
  std::snprintf(text, sizeof text, "%09lld %09lld ", first, second);
  return text;
}

}  // namespace

UploadItem MakeUploadItem(std::string_view entryText, long size) {
  UploadItem item;
  item.size = size;
  const size_t bar = entryText.find('|');
  if (bar == std::string_view::npos) {
    item.path = std::string(entryText);
    item.nameLength = static_cast<long>(entryText.size());
  } else {
    item.path = std::string(entryText.substr(0, bar));
    item.alias = std::string(entryText.substr(bar + 1));
    item.nameLength = static_cast<long>(item.alias->size());
  }
  return item;
}

void ItemTable::Add(UploadItem item) {
  totalBytes += item.size;
  nameBytes += item.nameLength;
  items.push_back(std::move(item));
}

std::string MakeParaBlock(std::string_view para1, std::string_view para2, std::string_view para3) {
  std::string block;
  const std::string_view values[] = {para1, para2, para3};
  for (int i = 0; i < 3; ++i) {
    if (values[i].empty()) continue;
    char head[128];
    std::snprintf(head, sizeof head, kParaPartHead.data(), i + 1);
    block += head;
    block += values[i];
  }
  return block;
}

std::string MakeFilePartHead(int index, const UploadItem& item) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", index);
  return std::string("\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"xfile") +
         number + "\"; filename=\"" + (item.alias ? *item.alias : item.path) +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

std::string MakeMagicBlock(const ItemTable& table, long paraBlockLength) {
  const long count = static_cast<long>(table.items.size());
  std::string block(kMagicPartHead);
  block += NumberPair(count, table.totalBytes);
  long long offset = 70 + 20 * (count + 1) + paraBlockLength;
  for (size_t i = 0; i < table.items.size(); ++i) {
    const UploadItem& item = table.items[i];
    offset += static_cast<long long>(MakeFilePartHead(static_cast<int>(i + 1), item).size());
    block += NumberPair(offset, item.size);
    offset += item.size;
  }
  return block;
}

long long ContentLength(long magicBlockLength, long paraBlockLength, const ItemTable& table) {
  long long length = magicBlockLength + paraBlockLength;
  for (const UploadItem& item : table.items) length += 128LL + item.nameLength + item.size;
  return length + static_cast<long long>(kClosingDelimiter.size());
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    text += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return text;
}

std::string MakeHeaderBlock(const RequestHeaderFields& fields, long long contentLength) {
  std::string block = fields.requestLine + " HTTP/1.0\r\n";
  if (!fields.auth.empty()) block += "Authorization: Basic " + Base64(fields.auth) + "\r\n";
  if (!fields.proxyAuth.empty()) {
    block += "Proxy-Authorization: Basic " + Base64(fields.proxyAuth) + "\r\n";
  }
  if (!fields.referer.empty()) block += "Referer: " + fields.referer + "\r\n";
  if (!fields.cookie.empty()) block += "Cookie: " + fields.cookie + "\r\n";
  block += fields.hostLine;
  block += "User-Agent: Zorvex/1.0\r\n";
  block += "Content-Type: multipart/form-data; boundary=--K38Valet20020709\r\nContent-Length: ";
  block += std::to_string(contentLength) + "\r\n\r\n";
  return block;
}

}  // namespace zorvel
