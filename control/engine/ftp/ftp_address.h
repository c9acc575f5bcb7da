// Where an FTP upload goes: the parts of an "ftp://" address and the login through an FTP proxy.
// Texts are ANSI (Shift_JIS) bytes; a double-byte character is taken whole, so a trail byte that
// happens to be "/", "@" or ":" never splits the address.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvel {

struct FtpAddress {
  std::string user;
  std::string password;
  std::string host;
  int port = 21;
  int seconds = 0;
  // Everything after the first "/" behind the host part; empty stores into the login directory.
  std::string directory;
};

// Splits "ftp://[user[:password]@]host[:port[:seconds]][/directory]". Without a user part the
// "user:password" of auth is used, and without that "anonymous" with an empty password.
FtpAddress SplitFtpUrl(std::string_view url, std::string_view auth, int defaultSeconds);

// How to log in through the FTP proxy that ProxyFtp describes.
struct FtpProxyRoute {
  std::string host;
  // The proxy's own port when ProxyFtp names one after a ":" (as system proxy settings do).
  std::optional<int> port;
  std::optional<std::string> proxyUser;
  std::string proxyPassword;
  std::optional<std::string> siteCommand;
  std::string loginUser;
};

// The four forms: "proxy", "proxy SITE", "proxy puser/ppass" and "proxy puser/ppass SITE".
// Without a site command the proxy learns the server from "user@host".
FtpProxyRoute MakeProxyRoute(std::string_view proxyFtp, std::string_view user,
                             std::string_view host);

// Position of the first (or last) byte c outside double-byte characters, npos when none.
size_t FindSingleByte(std::string_view text, char c, size_t from = 0);
size_t FindLastSingleByte(std::string_view text, char c);

}  // namespace zorvel
