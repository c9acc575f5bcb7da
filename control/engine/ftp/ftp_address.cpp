#include "control/engine/ftp/ftp_address.h"

#include <cstdlib>

#include "base/ansi.h"

namespace zorvel {
namespace {

constexpr std::string_view kScheme = "ftp://";

struct Halves {
  std::string_view before;
  std::string_view after;
  bool found;
};

Halves SplitAt(std::string_view text, char c) {
  const size_t at = FindSingleByte(text, c);
  if (at == std::string_view::npos) return {text, {}, false};
  return {text.substr(0, at), text.substr(at + 1), true};
}

int NumberOr(std::string_view text, int fallback) {
  if (text.empty()) return fallback;
  return std::atoi(std::string(text).c_str());
}

}  // namespace

size_t FindSingleByte(std::string_view text, char c, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == c) return i;
    if (base::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

size_t FindLastSingleByte(std::string_view text, char c) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == c) last = i;
    if (base::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return last;
}

FtpAddress SplitFtpUrl(std::string_view url, std::string_view auth, int defaultSeconds) {
  FtpAddress address;
  std::string_view rest = url.size() >= kScheme.size() ? url.substr(kScheme.size()) : "";
  const Halves path = SplitAt(rest, '/');
  std::string_view hostPart = path.before;
  address.directory = path.after;

  std::string_view userInfo;
  const Halves at = SplitAt(hostPart, '@');
  if (at.found) {
    userInfo = at.before;
    hostPart = at.after;
  } else {
    userInfo = auth;
  }
  if (at.found || !auth.empty()) {
    const Halves credentials = SplitAt(userInfo, ':');
    address.user = credentials.before;
    address.password = credentials.after;
  } else {
    address.user = "anonymous";
  }

  const Halves host = SplitAt(hostPart, ':');
  address.host = host.before;
  const Halves numbers = SplitAt(host.after, ':');
  address.port = NumberOr(numbers.before, 21);
  address.seconds = NumberOr(numbers.after, defaultSeconds);
  return address;
}

FtpProxyRoute MakeProxyRoute(std::string_view proxyFtp, std::string_view user,
                             std::string_view host) {
  FtpProxyRoute login;
  const Halves blank = SplitAt(proxyFtp, ' ');
  const Halves proxyPort = SplitAt(blank.before, ':');
  login.host = proxyPort.before;
  if (proxyPort.found && !proxyPort.after.empty()) login.port = NumberOr(proxyPort.after, 21);
  const std::string userAtHost = std::string(user) + "@" + std::string(host);
  if (!blank.found) {
    login.loginUser = userAtHost;
    return login;
  }
  const Halves slash = SplitAt(blank.after, '/');
  if (!slash.found) {
    login.siteCommand = std::string(blank.after) + " " + std::string(host);
    login.loginUser = user;
    return login;
  }
  login.proxyUser = std::string(slash.before);
  const Halves command = SplitAt(slash.after, ' ');
  login.proxyPassword = command.before;
  if (command.found) {
    login.siteCommand = std::string(command.after) + " " + std::string(host);
    login.loginUser = user;
  } else {
    login.loginUser = userAtHost;
  }
  return login;
}

}  // namespace zorvel
