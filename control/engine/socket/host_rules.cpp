#include "control/engine/socket/host_rules.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

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

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// One part of an IPv4 literal as the resolver reads it: decimal, "0x" hex or leading-0 octal.
std::optional<uint64_t> NumberPart(std::string_view part) {
  unsigned base = 10;
  if (part.size() > 1 && part[0] == '0' && Lower(part[1]) == 'x') {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() > 1 && part[0] == '0') {
    base = 8;
    part.remove_prefix(1);
  }
  if (part.empty() && base != 16) return std::nullopt;
  uint64_t value = 0;
  for (char c : part) {
    unsigned digit;
    if (IsDigit(c)) {
      digit = static_cast<unsigned>(c - '0');
    } else if (Lower(c) >= 'a' && Lower(c) <= 'f') {
      digit = static_cast<unsigned>(Lower(c) - 'a' + 10);
    } else {
      return std::nullopt;
    }
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return value;
}

// "a", "a.b", "a.b.c" or "a.b.c.d": the last part fills the bytes the others leave.
std::optional<uint32_t> ParseIPv4(std::string_view host) {
  std::vector<uint64_t> parts;
  size_t start = 0;
  while (true) {
    const size_t dot = host.find('.', start);
    const std::optional<uint64_t> part = NumberPart(host.substr(start, dot - start));
    if (!part) return std::nullopt;
    parts.push_back(*part);
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (parts.size() > 4) return std::nullopt;
  uint32_t address = 0;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i] > 0xFF) return std::nullopt;
    address |= static_cast<uint32_t>(parts[i]) << (24 - 8 * i);
  }
  const unsigned lastBits = 32 - 8 * static_cast<unsigned>(parts.size() - 1);
  if (lastBits < 32 && parts.back() >> lastBits) return std::nullopt;
  return address | static_cast<uint32_t>(parts.back());
}

int IPv4Verdict(uint32_t address) {
  return PublicAddressVerdict(static_cast<unsigned char>(address >> 24),
                              static_cast<unsigned char>(address >> 16));
}

// The eight groups of an IPv6 literal (without brackets or zone), an embedded IPv4 tail taken as
// its last two groups.
std::optional<std::vector<uint16_t>> ParseIPv6(std::string_view text) {
  std::vector<uint16_t> head, tail;
  bool compressed = false;
  std::vector<uint16_t>* groups = &head;
  size_t i = 0;
  if (text.substr(0, 2) == "::") {
    compressed = true;
    groups = &tail;
    i = 2;
  }
  while (i < text.size()) {
    size_t end = text.find(':', i);
    std::string_view group = text.substr(i, end - i);
    if (group.find('.') != std::string_view::npos && end == std::string_view::npos) {
      const std::optional<uint32_t> v4 = ParseIPv4(group);
      if (!v4 || std::count(group.begin(), group.end(), '.') != 3) return std::nullopt;
      groups->push_back(static_cast<uint16_t>(*v4 >> 16));
      groups->push_back(static_cast<uint16_t>(*v4 & 0xFFFF));
      break;
    }
    if (group.empty() || group.size() > 4) return std::nullopt;
    uint16_t value = 0;
    for (char c : group) {
      const char l = Lower(c);
      if (IsDigit(c)) {
        value = static_cast<uint16_t>(value * 16 + (c - '0'));
      } else if (l >= 'a' && l <= 'f') {
        value = static_cast<uint16_t>(value * 16 + (l - 'a' + 10));
      } else {
        return std::nullopt;
      }
    }
    groups->push_back(value);
    if (end == std::string_view::npos) break;
    if (text.substr(end, 2) == "::") {
      if (compressed) return std::nullopt;
      compressed = true;
      groups = &tail;
      i = end + 2;
    } else {
      i = end + 1;
      if (i == text.size()) return std::nullopt;
    }
  }
  const size_t given = head.size() + tail.size();
  if (given > 8 || (!compressed && given != 8) || (compressed && given == 8)) return std::nullopt;
  head.resize(8 - tail.size(), 0);
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

int IPv6Verdict(const std::vector<uint16_t>& g) {
  const bool upperZero = g[0] == 0 && g[1] == 0 && g[2] == 0 && g[3] == 0 && g[4] == 0;
  if (upperZero && g[5] == 0 && g[6] == 0 && g[7] == 1) return 0;  // loopback
  if (upperZero && g[5] == 0xFFFF) return IPv4Verdict((uint32_t{g[6]} << 16) | g[7]);
  if ((g[0] & 0xFFC0) == 0xFE80) return 0;  // link-local
  if ((g[0] & 0xFE00) == 0xFC00) return 0;  // unique-local
  return 1;
}

}  // namespace

PageHost ClassifyPageHost(std::string_view url) {
  constexpr std::string_view kSchemeEnd = "://";
  const size_t schemeEnd = url.find(kSchemeEnd);
  if (schemeEnd == std::string_view::npos) return {PageHostKind::kForeign, {}};
  const std::string_view scheme = url.substr(0, schemeEnd);
  std::string_view authority = url.substr(schemeEnd + kSchemeEnd.size());
  authority = authority.substr(0, authority.find_first_of("/?#\\"));
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string_view host;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) return {PageHostKind::kForeign, {}};
    std::string_view literal = authority.substr(1, close - 1);
    literal = literal.substr(0, literal.find('%'));
    const auto groups = ParseIPv6(literal);
    if (!groups) return {PageHostKind::kForeign, {}};
    return {IPv6Verdict(*groups) == 0 ? PageHostKind::kOwnNetwork : PageHostKind::kForeign, {}};
  }
  host = authority.substr(0, FindSingleByte(authority, ':'));
  if (EqualsIgnoreCase(scheme, "file")) {
    return {host.empty() || EqualsIgnoreCase(host, "localhost") ? PageHostKind::kOwnNetwork
                                                                : PageHostKind::kForeign,
            {}};
  }
  if (host.empty()) return {PageHostKind::kForeign, {}};
  if (host.back() == '.') host.remove_suffix(1);
  if (const std::optional<uint32_t> address = ParseIPv4(host)) {
    return {IPv4Verdict(*address) == 0 ? PageHostKind::kOwnNetwork : PageHostKind::kForeign, {}};
  }
  if (!HasDot(host)) return {PageHostKind::kOwnNetwork, {}};
  return {PageHostKind::kName, std::string(host)};
}

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

int PublicAddressVerdict(unsigned char first, unsigned char second) {
  if (first == 10 || first == 127) return 0;
  if (first == 169 && second == 254) return 0;
  if (first == 172 && second >= 16 && second <= 31) return 0;
  if (first == 192 && second == 168) return 0;
  return 1;
}
