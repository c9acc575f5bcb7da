#include "control/engine/socket/host_rules.h"

#include "base/ansi.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Position of the first single-byte target, stepping over double-byte characters.
size_t FindSingleByte(std::string_view text, char target) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == target) return i;
    if (base::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsIPv4Literal(std::string_view host) {
  for (char c : host) {
    if (!IsDigit(c) && c != '.') return false;
  }
  return true;
}

std::string UrlHost(std::string_view url) {
  // The scheme ends at its "://" whatever its case: "HTTP://" must not yield an empty host,
  // which would pass for a private one and skip the security confirmation.
  constexpr std::string_view kSchemeEnd = "://";
  constexpr size_t kFtpSchemeLength = 6;
  std::string_view rest;
  if (const size_t scheme = url.find(kSchemeEnd); scheme != std::string_view::npos) {
    rest = url.substr(scheme + kSchemeEnd.size());
  } else if (url.size() > kFtpSchemeLength) {
    rest = url.substr(kFtpSchemeLength);
  }
  size_t end = FindSingleByte(rest, ':');
  if (end == std::string_view::npos) end = FindSingleByte(rest, '/');
  return std::string(rest.substr(0, end));
}

bool HasDot(std::string_view host) { return FindSingleByte(host, '.') != std::string_view::npos; }

bool NeedsLookup(std::string_view host) { return host.empty() || !IsDigit(host.front()); }

int PublicAddressVerdict(unsigned char first, unsigned char second) {
  if (first == 10) return 0;
  if (first == 172 && second >= 16 && second <= 31) return 0;
  if (first == 192 && second == 168) return 0;
  return 1;
}
