#include "components/download/w3getv_transfer_win.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "base/replacing_file_win.h"
#include "components/download/content_length.h"
#include "components/download/w3getv_codes.h"

namespace w3getv {
namespace {

constexpr DWORD kBufferBytes = 256 * 1024;

// The first digit of the FTP server's last reply: 4 transient, 5 refused.
int32_t FtpReplyFailure() {
  DWORD error = 0;
  char text[512] = {};
  DWORD length = sizeof text;
  if (!InternetGetLastResponseInfoA(&error, text, &length)) return kNetworkError;
  // The reply may hold several lines; the code of the last one counts.
  const std::string reply(text, length);
  std::size_t line = reply.find_last_not_of("\r\n");
  line = line == std::string::npos ? 0 : reply.rfind('\n', line);
  const char digit = reply[line == std::string::npos ? 0 : line + 1];
  if (digit == '4') return kFtpTransient;
  if (digit == '5') return kFtpRefused;
  return kNetworkError;
}

// One component of a cracked URL; empty when the URL has none.
std::string Part(const char* text, DWORD length) {
  return text == nullptr ? std::string() : std::string(text, text + length);
}

std::string PercentDecoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      decoded.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

}  // namespace

void Transfer::SetTimeOuts(HINTERNET handle) const {
  DWORD timeout = static_cast<DWORD>(command_.timeOutMilliseconds);
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(handle, option, &timeout, sizeof timeout);
  }
}

Transfer::Transfer(Command command, std::string targetPath)
    : command_(std::move(command)), targetPath_(std::move(targetPath)) {
  proceed_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  sizeKnownEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Touch();
}

Transfer::~Transfer() {
  if (thread_ != nullptr) CloseHandle(thread_);
  if (proceed_ != nullptr) CloseHandle(proceed_);
  if (sizeKnownEvent_ != nullptr) CloseHandle(sizeKnownEvent_);
}

bool Transfer::Start() {
  if (proceed_ == nullptr || sizeKnownEvent_ == nullptr) return false;
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&Transfer::ThreadMain), &self)) {
    return false;
  }
  auto* keep = new std::shared_ptr<Transfer>(shared_from_this());
  keep->get()->module_ = self;
  thread_ = CreateThread(nullptr, 0, ThreadMain, keep, 0, nullptr);
  if (thread_ == nullptr) {
    delete keep;
    FreeLibrary(self);
  }
  return thread_ != nullptr;
}

void Transfer::Proceed() {
  // The time the caller spent in its callback is not the network's.
  Touch();
  SetEvent(proceed_);
}

void Transfer::Abort() {
  aborted_ = true;
  SetEvent(proceed_);
  CloseHandles();
}

DWORD WINAPI Transfer::ThreadMain(void* keep) {
  auto* transfer = static_cast<std::shared_ptr<Transfer>*>(keep);
  HMODULE module = (*transfer)->module_;
  (*transfer)->result_ = (*transfer)->Run();
  delete transfer;
  FreeLibraryAndExitThread(module, 0);
}

void Transfer::Touch() { lastActivity_ = GetTickCount64(); }

void Transfer::AnnounceSize(int64_t size) {
  size_ = size;
  sizeKnown_ = true;
  SetEvent(sizeKnownEvent_);
}

int32_t Transfer::FailureOfLastError() const {
  const DWORD error = GetLastError();
  if (aborted_) return kCancelled;
  // WinINet reports a silence that outlasted its time-out under several codes; what counts is
  // that the server kept silent that long.
  const uint64_t silence = GetTickCount64() - lastActivity_;
  if (silence >= static_cast<uint64_t>(command_.timeOutMilliseconds) * 9 / 10) return kTimeOut;
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return kSocketOpenError;
    case ERROR_INTERNET_TIMEOUT:
      return kTimeOut;
    case ERROR_INTERNET_EXTENDED_ERROR:
      return FtpReplyFailure();
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
    case ERROR_INTERNET_INVALID_URL:
      return kBadUrl;
    default:
      return kNetworkError;
  }
}

int32_t Transfer::Run() {
  int32_t result = Open();
  if (result == 0) result = Receive();
  CloseHandles();
  return result;
}

int32_t Transfer::Keep(HINTERNET handle, HINTERNET Transfer::*slot) {
  std::lock_guard lock(handlesMutex_);
  if (aborted_) {
    InternetCloseHandle(handle);
    return kCancelled;
  }
  this->*slot = handle;
  return 0;
}

void Transfer::CloseHandles() {
  std::lock_guard lock(handlesMutex_);
  // The request first: closing it makes a blocked connect, send or read return.
  for (HINTERNET* handle : {&request_, &connection_, &session_}) {
    if (*handle != nullptr) InternetCloseHandle(*handle);
    *handle = nullptr;
  }
}

int32_t Transfer::Open() {
  // The system's proxy settings apply, as they do for the user's browser.
  HINTERNET session = InternetOpenA("Parvek", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return FailureOfLastError();
  if (int32_t kept = Keep(session, &Transfer::session_); kept != 0) return kept;
  SetTimeOuts(session);
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PASSIVE;
  HINTERNET request = nullptr;
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  parts.dwUserNameLength = parts.dwPasswordLength = 1;
  if (!InternetCrackUrlA(command_.url.c_str(), 0, 0, &parts)) return kBadUrl;
  if (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) {
    // Through a connection of its own, whose time-outs the request inherits.
    const std::string host = Part(parts.lpszHostName, parts.dwHostNameLength);
    const std::string user = Part(parts.lpszUserName, parts.dwUserNameLength);
    const std::string password = Part(parts.lpszPassword, parts.dwPasswordLength);
    std::string object = Part(parts.lpszUrlPath, parts.dwUrlPathLength);
    object += Part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object.push_back('/');
    HINTERNET connection = InternetConnectA(
        session, host.c_str(), parts.nPort, user.empty() ? nullptr : user.c_str(),
        password.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr) return FailureOfLastError();
    if (int32_t kept = Keep(connection, &Transfer::connection_); kept != 0) return kept;
    SetTimeOuts(connection);
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
    request = HttpOpenRequestA(connection, "GET", object.c_str(), nullptr, nullptr, nullptr,
                               flags | secure, 0);
    if (request == nullptr) return FailureOfLastError();
    if (int32_t kept = Keep(request, &Transfer::request_); kept != 0) return kept;
    SetTimeOuts(request);
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) return FailureOfLastError();
  } else {
    return OpenFtp(session, parts, flags);
  }
  Touch();

  int64_t size = 0;
  DWORD status = 0;
  DWORD length = sizeof status;
  if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                     nullptr)) {
    if (status >= static_cast<DWORD>(kLowestHttpError)) return -static_cast<int32_t>(status);
    char text[64] = {};
    length = sizeof text - 1;
    if (HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) {
      // A length that is no size makes the rest of the answer unreadable.
      const std::optional<int64_t> announced = ParseContentLength(std::string_view(text, length));
      if (!announced) return kNetworkError;
      size = *announced;
    }
  }
  AnnounceSize(size);
  return 0;
}

int32_t Transfer::OpenFtp(HINTERNET session, const URL_COMPONENTSA& parts, DWORD flags) {
  const std::string host = Part(parts.lpszHostName, parts.dwHostNameLength);
  const std::string user = Part(parts.lpszUserName, parts.dwUserNameLength);
  const std::string password = Part(parts.lpszPassword, parts.dwPasswordLength);
  // A server takes the name as it is stored, not in the URL's escapes.
  const std::string path = PercentDecoded(Part(parts.lpszUrlPath, parts.dwUrlPathLength));
  HINTERNET connection =
      InternetConnectA(session, host.c_str(), parts.nPort, user.empty() ? nullptr : user.c_str(),
                       password.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_FTP,
                       INTERNET_FLAG_PASSIVE, 0);
  if (connection == nullptr) return FailureOfLastError();
  if (int32_t kept = Keep(connection, &Transfer::connection_); kept != 0) return kept;
  SetTimeOuts(connection);

  // The size comes from the listing: FtpGetFileSize answers 0 under Wine. The connection runs
  // one command at a time, so the listing ends before the file is opened.
  int64_t listed = -1;
  WIN32_FIND_DATAA found{};
  if (HINTERNET listing = FtpFindFirstFileA(connection, path.c_str(), &found, flags, 0)) {
    listed = (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    InternetCloseHandle(listing);
  }
  HINTERNET request = FtpOpenFileA(connection, path.c_str(), GENERIC_READ,
                                   FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0);
  if (request == nullptr) return FailureOfLastError();
  if (int32_t kept = Keep(request, &Transfer::request_); kept != 0) return kept;
  Touch();
  if (listed < 0) {
    DWORD high = 0;
    const DWORD low = FtpGetFileSize(request, &high);
    if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) {
      listed = (static_cast<int64_t>(high) << 32) | low;
    }
  }
  AnnounceSize(std::max<int64_t>(listed, 0));
  return 0;
}

int32_t Transfer::Receive() {
  // The file is created only once the caller wants the data, so a request stopped at the size
  // leaves nothing behind.
  WaitForSingleObject(proceed_, INFINITE);
  if (aborted_) return kCancelled;
  HANDLE file = base::CreateReplacingFile(targetPath_.c_str(), GENERIC_WRITE, 0);
  if (file == INVALID_HANDLE_VALUE) return kFileNotCreatable;

  std::vector<char> buffer(kBufferBytes);
  int32_t result = kStored;
  for (;;) {
    DWORD read = 0;
    HINTERNET request;
    {
      std::lock_guard lock(handlesMutex_);
      request = request_;
    }
    if (aborted_ || request == nullptr) {
      result = kCancelled;
      break;
    }
    if (!InternetReadFile(request, buffer.data(), kBufferBytes, &read)) {
      result = FailureOfLastError();
      break;
    }
    if (read == 0) break;
    DWORD written = 0;
    if (!WriteFile(file, buffer.data(), read, &written, nullptr) || written != read) {
      result = kFileWriteError;
      break;
    }
    received_ += read;
    Touch();
  }
  // A connection that ends before the announced size is a broken transfer, not a file.
  if (result == kStored && size_ > 0 && received_ < size_) result = kNetworkError;
  CloseHandle(file);
  if (result != kStored) DeleteFileA(targetPath_.c_str());
  return result;
}

}  // namespace w3getv
