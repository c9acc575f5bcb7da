// The results of W3getv that its callers tell apart. A result of 1 or more means the file was
// stored; an HTTP answer between 300 and 500 comes back as minus its status code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace w3getv {

inline constexpr int32_t kStored = 1;
inline constexpr int32_t kSocketOpenError = -1;  // the connection was refused or not made
inline constexpr int32_t kTimeOut = -2;
inline constexpr int32_t kFtpTransient = -4;  // FTP reply 4xx
inline constexpr int32_t kFtpRefused = -5;    // FTP reply 5xx
inline constexpr int32_t kCancelled = -100;   // the callback asked to stop
inline constexpr int32_t kParameterError = -101;
inline constexpr int32_t kFolderNotFound = -102;
inline constexpr int32_t kUrlTooLong = -103;
inline constexpr int32_t kFileNotCreatable = -104;
inline constexpr int32_t kFileWriteError = -105;
inline constexpr int32_t kLogFileError = -106;
inline constexpr int32_t kBadUrl = -107;
inline constexpr int32_t kNetworkError = -3;  // any other failure of the network

inline constexpr int32_t kLowestHttpError = 300;
inline constexpr int32_t kHighestHttpError = 500;

// URLs of this many characters or more are refused.
inline constexpr std::size_t kUrlLimit = 4096;

}  // namespace w3getv
