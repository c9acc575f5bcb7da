// The HTTP upload engine: one run of the control posts every listed file in a single HTTP/1.0
// multipart request and reads the answer.
#pragma once

#include "control/object/upload_entry_win.h"

namespace zorvel {

// Sets the control's Result, HTMLResult, labels, bar and events. Returns 1 after a successful
// run, the error number when the connection failed, and 0 otherwise.
int MultipartUpload(UploadRun& run, SocketConnection& connection);

}  // namespace zorvel
