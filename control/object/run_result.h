// What a run leaves in the control's Result: the values pages and the application read.
#pragma once

namespace zorvel {

enum RunResult : long {
  kSucceeded = 0,
  // An address this library cannot serve, or a property that holds a control character.
  kInputRefused = -1,
  kCancelled = -2,
  // The connection, the secure channel or the FTP login failed.
  kConnectFailed = -3,
  // A send or a store failed, or a listed file no longer fits the list's limits.
  kSendFailed = -4,
  // The server answered with other than success.
  kServerError = -5,
};

}  // namespace zorvel
