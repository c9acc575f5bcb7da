// The one entry point through which a run reaches the upload engines: the HTTP upload, which
// hands "ftp://" addresses to the FTP upload. Tests put engines of their own here.
#pragma once

class SocketConnection;

namespace zorvel {

struct UploadRun;

// One upload on the run's fresh connection; the value is the engine's and the run ignores it
// (the outcome is the control's Result).
using UploadFunction = int (*)(UploadRun& run, SocketConnection& connection);

// Installs the engine; returns the one installed before (none until an engine is installed,
// and then a run ends after its page check without uploading).
UploadFunction SetUploadFunction(UploadFunction function);

}  // namespace zorvel
