// An FTP server of the tests' own on loopback, for what a well-behaved server never does: a
// PASV reply naming another host or no address, a server that never connects back, one that
// stops reading, and the login dialogue of FTP proxies.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <mutex>
#include <string>
#include <vector>

#include "control/engine/socket/testing/loopback_peer_win.h"

struct FtpPeerScript {
  // kResetMidFile: takes the first bytes of a store, breaks the data connection off with a
  // reset and still answers 226, as a server that saw a short file would.
  enum class Data { kReceive, kNeverConnect, kStopReading, kResetMidFile };
  // The PASV reply; "%d,%d" in it becomes the two bytes of the peer's data port.
  std::string pasvReply = "227 Entering Passive Mode (127,0,0,1,%d,%d).";
  Data data = Data::kReceive;
  // Receive buffer of the data connection (small: a peer that stops reading pushes back soon).
  int receiveBufferSize = 0;
};

// Answers USER with 331, PASS with 230, PORT, TYPE and anything else with 200, STOR with 150
// and then the data as the script says, QUIT with 221. Serves one control connection.
class ScriptedFtpPeer {
 public:
  explicit ScriptedFtpPeer(FtpPeerScript script);
  ~ScriptedFtpPeer();

  int Port() const { return control_.Port(); }
  // The command lines received so far, and the data bytes of all stores.
  std::vector<std::string> Lines();
  std::string Received();

 private:
  void Serve(SOCKET control);
  void Store(SOCKET control, const std::string& portArgument);

  FtpPeerScript script_;
  LoopbackListener data_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::string received_;
  LoopbackPeer control_;
};
