#include "server/server_options.h"

#include <charconv>

#include "server/offered_names.h"

namespace server {
namespace {

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::variant<ServerOptions, std::string> ParseServerOptions(const std::vector<std::string>& args) {
  ServerOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--test-switches") {
      options.testSwitches = true;
      continue;
    }
    if (i + 1 >= args.size()) return "missing value after " + arg;
    const std::string& value = args[++i];
    if (arg == "--listen") {
      std::size_t colon = value.rfind(':');
      if (colon == std::string::npos || colon == 0 ||
          !ParseNumber(value.substr(colon + 1), options.port) || options.port < 0 ||
          options.port > 65535) {
        return "--listen needs HOST:PORT, not " + value;
      }
      options.host = value.substr(0, colon);
    } else if (arg == "--data") {
      options.dataDir = value;
    } else if (arg == "--clock-offset-days") {
      if (!ParseNumber(value, options.clockOffsetDays)) return "--clock-offset-days needs a number";
    } else if (arg == "--public-url") {
      const std::size_t host = value.find("://");
      if (host == std::string::npos ||
          (value.substr(0, host) != "http" && value.substr(0, host) != "https") ||
          !IsUrlHost(value.substr(host + 3))) {
        return "--public-url needs http://HOST[:PORT] or https://HOST[:PORT], not " + value;
      }
      options.publicUrl = value;
    } else if (arg == "--tls-cert") {
      options.tlsCert = value;
    } else if (arg == "--tls-key") {
      options.tlsKey = value;
    } else if (arg == "--max-upload-bytes") {
      if (!ParseNumber(value, options.maxUploadBytes)) return "--max-upload-bytes needs a number";
    } else {
      return "unknown option " + arg;
    }
  }
  if (options.dataDir.empty()) return "--data is required";
  if (options.tlsCert.empty() != options.tlsKey.empty()) {
    return "--tls-cert and --tls-key go together";
  }
  return options;
}

}  // namespace server
