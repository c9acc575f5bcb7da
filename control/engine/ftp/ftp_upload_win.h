// The FTP upload: one run of the control stores every listed file on the FTP server that an
// "ftp://" URL names, directly or through an FTP proxy, and ends with QUIT.
#pragma once

class SocketConnection;

namespace zorvel {

struct UploadRun;

// Sets the control's Result (0 stored, -3 connect or login failed, -4 a store failed, -2
// cancelled), its labels, bar, log lines and OnComplete. Returns 1 when all files were stored,
// 0 when a store failed or was cancelled, else the connect or login code.
int FtpUpload(UploadRun& run, SocketConnection& connection);

}  // namespace zorvel
