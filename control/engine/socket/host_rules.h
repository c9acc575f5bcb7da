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

// IsPublicHost answers 0 at once for a host without any dot (such as "localhost").
bool HasDot(std::string_view host);

// IsPublicHost resolves a host whose first character is not a digit; others are literals.
bool NeedsLookup(std::string_view host);

// 0 for an address in 10.0.0.0/8, 172.16.0.0/12 or 192.168.0.0/16, 1 for any other, given its
// first two bytes.
int PublicAddressVerdict(unsigned char first, unsigned char second);
