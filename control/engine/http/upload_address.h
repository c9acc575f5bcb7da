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
  // "https://": the request goes inside a TLS session with serverName, the URL's host, which its
  // certificate must name. Through a proxy the session runs in a tunnel the proxy opens to
  // tunnelTarget ("host:port"); the request line then names the path only, as it does direct.
  bool secure = false;
  std::string serverName;
  std::string tunnelTarget;
};

// `url` begins with "http://" or "https://" in any case (port 80 or 443 unless it names one).
// The authority may carry a port and, after a second colon, a time-out in seconds for this run;
// so may the proxy. Hosts without a dot (intranet names) never go through the proxy; a proxy that
// names no port is reached on the URL's port.
UploadAddress ResolveUploadAddress(std::string_view url, std::string_view proxy,
                                   int timeoutSeconds);

// The request that asks a proxy for a tunnel to `target`, with the proxy's credentials
// ("user:password", sent only when not empty).
std::string MakeConnectRequest(std::string_view target, std::string_view proxyAuth);

// The status code of an answer's first line ("HTTP/1.x 200 ..."); 0 when it is not one.
int AnswerStatusCode(std::string_view line);

}  // namespace zorvel
