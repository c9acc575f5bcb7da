// The engines a control runs, chosen per run by the URL's scheme. Each control has its own, from
// the factory that made it: the library's real ones, or a test's.
#pragma once

class SocketConnection;

namespace zorvel {

struct UploadRun;

// One upload on the run's fresh connection; the value is the engine's and the run ignores it
// (the outcome is the control's Result).
using UploadFunction = int (*)(UploadRun& run, SocketConnection& connection);

struct UploadEngines {
  // "http://" and "https://" addresses.
  UploadFunction http = nullptr;
  // "ftp://" addresses.
  UploadFunction ftp = nullptr;
};

// Clears what the previous run left (ProgressText, HTMLResult, the answer's headers, Result, the
// cancel), then hands the run to the engine of the URL's scheme. An address of any other scheme,
// or of one without an engine, ends the run as one this library cannot serve: ProgressText
// string 117 "URLエラー %s" with the URL, Result -1.
int StartUpload(const UploadEngines& engines, UploadRun& run, SocketConnection& connection);

}  // namespace zorvel
