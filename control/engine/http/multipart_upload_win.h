// The HTTP upload engine: one run of the control posts every listed file in a single HTTP/1.0
// multipart request and reads the answer. "ftp://" addresses go to the FTP upload.
#pragma once

#include "control/object/upload_entry_win.h"

namespace zorvel {

// Sets the control's Result, HTMLResult, labels, bar and events. Returns 1 after a successful
// HTTP run, the FTP upload's value for "ftp://", the error number when the connection failed,
// and 0 otherwise.
int MultipartUpload(UploadRun& run, SocketConnection& connection);

// The FTP upload takes over "ftp://" addresses; returns the one installed before. Until one is
// installed such an address ends the run as an address this library cannot serve.
UploadFunction SetFtpUploadFunction(UploadFunction function);

}  // namespace zorvel
