// The TLS session of one connection, through the system's own provider (Schannel): the
// handshake tokens, the check of the server's certificate, and the records of the stream.
// It never touches the socket: the connection hands it what arrived and sends what it makes.
#pragma once

#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <string>

#include "control/engine/socket/byte_buffer.h"

class TlsChannel {
 public:
  enum class Step { kSend, kNeedInput, kDone, kFailed };

  // `host` is the name of the URL: it goes out as the server name and is what the certificate
  // must be for.
  explicit TlsChannel(std::string host);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Takes what the handshake can use from `incoming` (consumed from its front) and leaves in
  // `out` the bytes to send before the next step. kSend: send `out`, then call again; kNeedInput:
  // send `out` and wait for more bytes; kDone: send `out`, the session is open; kFailed: Error().
  Step Advance(std::string& incoming, std::string& out);
  // After kDone: 0 when the server's certificate chains to a trusted root of the Windows store,
  // is within its dates, is not known to be revoked and names the host; else the reason's code,
  // with the reason in `why`.
  long VerifyServer(std::string& why);

  // Appends the records that carry `data` to `out`; 0 or the provider's code.
  long Encrypt(const char* data, int length, std::string& out);
  // Opens every complete record at the front of `incoming` into `plain`; what is left is the
  // start of a record still coming. 0, or the provider's code; `closed` once the server has
  // ended the session.
  long Decrypt(std::string& incoming, ByteBuffer& plain, bool& closed);

  bool Open() const { return open_; }
  long Error() const { return error_; }

 private:
  bool AcquireCredentials();

  std::string host_;
  std::wstring wideHost_;
  CredHandle credentials_{};
  CtxtHandle context_{};
  bool haveCredentials_ = false;
  bool haveContext_ = false;
  bool open_ = false;
  long error_ = 0;
  SecPkgContext_StreamSizes sizes_{};
};
