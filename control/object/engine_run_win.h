// What each engine's run holds and does alike: the run's view of its control, the connection
// and the run's one ending.
#pragma once

#include <string>
#include <utility>

#include "control/object/run_ending_win.h"
#include "control/object/upload_run_win.h"
#include "control/window/control_window_win.h"

namespace zorvel {

class EngineRun {
 protected:
  EngineRun(UploadRun& run, SocketConnection& connection)
      : run_(run),
        settings_(run.settings),
        state_(run.state),
        connection_(connection),
        window_(run.window),
        ending_(run, connection) {}

  void SetStatus(std::string text) {
    state_.StatusText = std::move(text);
    window_.DrawLabel(TextArea::kStatus, state_.StatusText);
  }

  UploadRun& run_;
  const UploadSettings& settings_;
  RunState& state_;
  SocketConnection& connection_;
  ControlWindow& window_;
  RunEnding ending_;
};

}  // namespace zorvel
