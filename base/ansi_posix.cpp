#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "base/ansi.h"

namespace base {
namespace {

// One iconv conversion; a sequence the target cannot take becomes `replacement` and the
// conversion resumes after it, as the Windows conversion functions do.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  template <typename SkipFn>
  std::string Run(const char* in, size_t inLeft, std::string_view replacement, SkipFn skip) {
    std::string out;
    char buffer[256];
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      char* inPtr = const_cast<char*>(in);
      const size_t rc = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      in = inPtr;
      if (rc != static_cast<size_t>(-1)) break;
      if (error == E2BIG) continue;
      // EILSEQ or EINVAL: an unconvertible or incomplete sequence.
      const size_t skipped = std::min(inLeft, skip(in, inLeft));
      out.append(replacement);
      in += skipped;
      inLeft -= skipped;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  Converter converter("CP932", "UTF-16LE");
  // Each UTF-16 unit that cannot be converted becomes one "?", as on Windows.
  auto skipUnit = [](const char*, size_t) -> size_t { return 2; };
  std::string littleEndian;
  littleEndian.reserve(text.size() * 2);
  for (char16_t unit : text) {
    littleEndian.push_back(static_cast<char>(unit & 0xFF));
    littleEndian.push_back(static_cast<char>(unit >> 8));
  }
  return converter.Run(littleEndian.data(), littleEndian.size(), "?", skipUnit);
}

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  Converter converter("UTF-16LE", "CP932");
  auto skipCharacter = [](const char* in, size_t left) -> size_t {
    return IsLeadByte(static_cast<unsigned char>(in[0])) && left >= 2 ? 2 : 1;
  };
  const std::string littleEndian =
      converter.Run(bytes.data(), bytes.size(), std::string_view("?\0", 2), skipCharacter);
  std::u16string text;
  text.reserve(littleEndian.size() / 2);
  for (size_t i = 0; i + 1 < littleEndian.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(littleEndian[i]) |
                                         (static_cast<unsigned char>(littleEndian[i + 1]) << 8)));
  }
  return text;
}

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace base
