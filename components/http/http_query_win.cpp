#include "components/http/http_query_win.h"

#include <wininet.h>

#include <string>
#include <vector>

#include "base/app_error.h"
#include "base/ansi.h"
#include "base/text.h"
#include "components/http/reply_text.h"

namespace http {
namespace {

std::u16string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE;
  const DWORD length = FormatMessageW(flags, GetModuleHandleW(L"wininet.dll"), code, 0,
                                      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length > 0) text.assign(buffer, buffer + length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
  if (text.empty()) text = u"HTTP通信でエラーが発生しました。";
  return text;
}

AppError LastInternetError() {
  const DWORD code = GetLastError();
  return AppError(static_cast<long>(code), SystemText(code));
}

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {
    if (handle_ == nullptr) throw LastInternetError();
  }
  ~InternetHandle() { InternetCloseHandle(handle_); }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

struct UrlParts {
  INTERNET_SCHEME scheme;
  std::wstring host;
  INTERNET_PORT port;
  std::wstring object;  // path and query
};

UrlParts CrackUrl(std::u16string_view url) {
  const std::wstring text(url.begin(), url.end());
  wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  std::vector<wchar_t> path(text.size() + 2, L'\0');
  std::vector<wchar_t> extra(text.size() + 2, L'\0');
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (text.empty() || !InternetCrackUrlW(text.c_str(), 0, 0, &parts)) {
    throw AppError(ERROR_INTERNET_INVALID_URL, SystemText(ERROR_INTERNET_INVALID_URL));
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    throw AppError(ERROR_INTERNET_UNRECOGNIZED_SCHEME,
                   SystemText(ERROR_INTERNET_UNRECOGNIZED_SCHEME));
  }
  std::wstring object = std::wstring(path.data()) + extra.data();
  if (object.empty()) object = L"/";
  return UrlParts{parts.nScheme, host, parts.nPort, object};
}

void SetTimeouts(HINTERNET session, DWORD timeoutMs) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(session, option, &timeoutMs, sizeof timeoutMs);
  }
}

std::wstring QueryText(HINTERNET request, DWORD info) {
  DWORD size = 0;
  HttpQueryInfoW(request, info, nullptr, &size, nullptr);
  if (size == 0) return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (!HttpQueryInfoW(request, info, text.data(), &size, nullptr)) return {};
  text.resize(size / sizeof(wchar_t));
  return text;
}

}  // namespace

std::u16string PostFormQuery(std::u16string_view url, std::u16string_view formData,
                             DWORD timeoutMs) {
  const UrlParts target = CrackUrl(url);
  InternetHandle session(
      InternetOpenW(L"OrvaneFts", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  SetTimeouts(session.get(), timeoutMs);
  InternetHandle connection(InternetConnectW(session.get(), target.host.c_str(), target.port,
                                             nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
  if (target.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  InternetHandle request(HttpOpenRequestW(connection.get(), L"POST", target.object.c_str(), nullptr,
                                          nullptr, acceptTypes, flags, 0));
  // Each handle keeps time-outs of its own; the request is the one that waits.
  SetTimeouts(connection.get(), timeoutMs);
  SetTimeouts(request.get(), timeoutMs);
  std::string body = base::ToAnsi(formData);
  const wchar_t headers[] = L"Content-Type: application/x-www-form-urlencoded\r\n";
  if (!HttpSendRequestW(request.get(), headers, static_cast<DWORD>(-1), body.data(),
                        static_cast<DWORD>(body.size()))) {
    throw LastInternetError();
  }

  DWORD status = 0;
  DWORD statusSize = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                      &statusSize, nullptr)) {
    throw LastInternetError();
  }
  if (status >= 400) {
    const std::wstring statusText = QueryText(request.get(), HTTP_QUERY_STATUS_TEXT);
    throw AppError(static_cast<long>(status),
                   u"HTTP " + base::Widen(std::to_string(status)) + u" " +
                       std::u16string(statusText.begin(), statusText.end()));
  }

  std::string reply;
  char chunk[8192];
  DWORD read = 0;
  do {
    if (!InternetReadFile(request.get(), chunk, sizeof chunk, &read)) throw LastInternetError();
    reply.append(chunk, read);
  } while (read > 0);
  const std::wstring contentType = QueryText(request.get(), HTTP_QUERY_CONTENT_TYPE);
  return DecodeReplyText(reply,
                         base::Narrow(std::u16string(contentType.begin(), contentType.end())));
}

}  // namespace http
