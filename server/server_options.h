// The command line of orvane-server.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace server {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0 picks a free port
  std::string dataDir;
  std::int64_t clockOffsetDays = 0;
  bool testSwitches = false;
  // The scheme and host the mails and descriptors name, when a TLS proxy or another name stands
  // in front of the server; empty: "http://" and the request's Host header.
  std::string publicUrl;
  // PEM files of the certificate (its chain may follow it) and key: with both the server speaks
  // HTTPS only, and the addresses it writes start with "https://".
  std::string tlsCert, tlsKey;
  // A forward is less than 1 GB of files; the rest is room for the heads and the index.
  std::uint64_t maxUploadBytes = (1ull << 30) + (64ull << 20);
};

inline constexpr const char* kUsage =
    "usage: orvane-server --data DIR [--listen HOST:PORT] [--clock-offset-days N]\n"
    "                     [--test-switches] [--max-upload-bytes N] [--public-url URL]\n"
    "                     [--tls-cert FILE --tls-key FILE]\n"
    "  --listen HOST:PORT     address to serve (default 127.0.0.1:0; port 0 picks a free one)\n"
    "  --data DIR             folder of the database, stored files and outbox\n"
    "  --clock-offset-days N  shift the server's clock by N days (retention tests)\n"
    "  --test-switches        accept the /test/ requests that force answers and failures\n"
    "  --max-upload-bytes N   refuse larger upload bodies (default 1 GiB + 64 MiB)\n"
    "  --public-url URL       http(s)://HOST[:PORT] written into mails and descriptors\n"
    "                         (default: http:// and the Host the client asked for)\n"
    "  --tls-cert FILE        serve HTTPS with this PEM certificate (chain after it)\n"
    "  --tls-key FILE         and this PEM private key; both or neither\n";

// The options, or the error message to show with the usage text.
std::variant<ServerOptions, std::string> ParseServerOptions(const std::vector<std::string>& args);

}  // namespace server
