// Address rules of the socket layer that need no network: which hosts are literals, which host
// a page address names, and which addresses count as the user's own network.
#pragma once

#include <string>
#include <string_view>

// Connect treats an empty host, or one of digits and dots only, as an IPv4 literal (no lookup).
bool IsIPv4Literal(std::string_view host);

// The host of a page or upload address: the text after the scheme's "://" (without one, after
// the first six characters, the length of "ftp://"), up to the first ":" or, without one, the
// first "/". Double-byte characters are skipped whole, so a trail byte is never taken for ":" or
// "/".
std::string UrlHost(std::string_view url);

// Whether a single-byte "." occurs in the host (double-byte characters are skipped whole).
bool HasDot(std::string_view host);

// 0 for an address of the user's own network (10.0.0.0/8, 172.16.0.0/12, 192.168.0.0/16, the
// loopback 127.0.0.0/8 and the link-local 169.254.0.0/16), 1 for any other, given its first two
// bytes.
int PublicAddressVerdict(unsigned char first, unsigned char second);

// What the page check knows of a page address before any lookup. Only a page provably on the
// user's own network goes unasked: an intranet name without any dot, a local file, or an address
// literal (IPv4 in any of its dotted, dotless, hex or octal forms, or IPv6) of that network.
// A name with a dot must be looked up; anything else (another scheme without a host, a literal
// outside the network, a host that cannot be read) is foreign.
enum class PageHostKind { kOwnNetwork, kForeign, kName };
struct PageHost {
  PageHostKind kind;
  std::string name;  // the name to look up, for kName
};
PageHost ClassifyPageHost(std::string_view url);
