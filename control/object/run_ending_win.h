// How an upload run ends, written once for both engines: whatever ended it, the connection
// closes and the browser's caption that progress replaced comes back; a cancel taken meanwhile
// makes a failed run a cancelled one.
#pragma once

#include <windows.h>

#include <string>

#include "control/object/run_result.h"

class SocketConnection;

namespace zorvel {

struct UploadRun;

class RunEnding {
 public:
  RunEnding(UploadRun& run, SocketConnection& connection) : run_(run), connection_(connection) {}

  // Keeps the browser's caption until the run ends.
  void SaveCaption();
  // Ends a run that did not succeed: with `failure` and `status` as its status text, or as
  // cancelled when a cancel was taken. Returns the result the run ends with.
  RunResult Fail(RunResult failure, std::string status);
  // Ends a run that stored or sent everything: the status text (already set) is drawn, and
  // OnComplete carries `completion`; Result is the engine's to set.
  void Complete(const std::string& completion);

 private:
  void SetStatus(std::string text);
  void RestoreCaption();

  UploadRun& run_;
  SocketConnection& connection_;
  bool captionSaved_ = false;
  char caption_[256] = "";
};

}  // namespace zorvel
