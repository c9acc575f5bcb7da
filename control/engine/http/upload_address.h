// Where an upload goes: the request line's target, the Host line, and the host, port and
// time-out to connect to, straight or through the HTTP proxy.
#pragma once

#include <string>
#include <string_view>

namespace zorvel {

struct UploadAddress {
  std::string requestLine;  // "POST " and the target, without the protocol
  std::string hostLine;     // "Host: ..." with its line end
  std::string host;         // what to connect to: the server or the proxy
  int port = 80;
  int timeoutSeconds = 0;
};

// `url` begins with "http://" in any case. The authority may carry a port and, after a second
// colon, a time-out in seconds for this run; so may the proxy. Hosts without a dot (intranet
// names) never go through the proxy; a proxy that names no port is reached on the URL's port.
UploadAddress ResolveUploadAddress(std::string_view url, std::string_view proxy,
                                   int timeoutSeconds);

}  // namespace zorvel
