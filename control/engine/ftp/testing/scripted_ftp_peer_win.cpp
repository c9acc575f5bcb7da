#include "control/engine/ftp/testing/scripted_ftp_peer_win.h"

#include <cstdio>

namespace {

void Reply(SOCKET control, const std::string& text) { SendBytes(control, text + "\r\n"); }

// Connects to the address a PORT argument names ("h1,h2,h3,h4,p1,p2").
SOCKET ConnectBack(const std::string& argument) {
  int h1, h2, h3, h4, p1, p2;
  if (std::sscanf(argument.c_str(), "%d,%d,%d,%d,%d,%d", &h1, &h2, &h3, &h4, &p1, &p2) != 6) {
    return INVALID_SOCKET;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(p1 * 256 + p2));
  address.sin_addr.s_addr = htonl(static_cast<u_long>((h1 << 24) | (h2 << 16) | (h3 << 8) | h4));
  const SOCKET data = socket(AF_INET, SOCK_STREAM, 0);
  if (connect(data, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    closesocket(data);
    return INVALID_SOCKET;
  }
  return data;
}

}  // namespace

ScriptedFtpPeer::ScriptedFtpPeer(FtpPeerScript script)
    : script_(std::move(script)),
      data_(script_.receiveBufferSize),
      control_([this](SOCKET control) { Serve(control); }) {}

ScriptedFtpPeer::~ScriptedFtpPeer() = default;

std::vector<std::string> ScriptedFtpPeer::Lines() {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::string ScriptedFtpPeer::Received() {
  std::lock_guard lock(mutex_);
  return received_;
}

void ScriptedFtpPeer::Serve(SOCKET control) {
  Reply(control, "220 scripted peer");
  std::string buffer, portArgument;
  char chunk[512];
  for (;;) {
    const size_t end = buffer.find("\r\n");
    if (end == std::string::npos) {
      const int got = recv(control, chunk, sizeof chunk, 0);
      if (got <= 0) return;
      buffer.append(chunk, static_cast<size_t>(got));
      continue;
    }
    const std::string line = buffer.substr(0, end);
    buffer.erase(0, end + 2);
    {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
    }
    if (line.rfind("USER", 0) == 0) {
      Reply(control, "331 password please");
    } else if (line.rfind("PASS", 0) == 0) {
      Reply(control, "230 logged in");
    } else if (line.rfind("PASV", 0) == 0) {
      char text[256];
      std::snprintf(text, sizeof text, script_.pasvReply.c_str(), data_.Port() / 256,
                    data_.Port() % 256);
      Reply(control, text);
    } else if (line.rfind("PORT ", 0) == 0) {
      portArgument = line.substr(5);
      Reply(control, "200 PORT ok");
    } else if (line.rfind("STOR", 0) == 0) {
      Reply(control, "150 go ahead");
      Store(control, portArgument);
    } else if (line.rfind("QUIT", 0) == 0) {
      Reply(control, "221 bye");
      return;
    } else {
      Reply(control, "200 ok");
    }
  }
}

void ScriptedFtpPeer::Store(SOCKET control, const std::string& portArgument) {
  if (script_.data == FtpPeerScript::Data::kNeverConnect) return;
  const SOCKET data = portArgument.empty() ? data_.Accept() : ConnectBack(portArgument);
  if (data == INVALID_SOCKET) return;
  if (script_.data == FtpPeerScript::Data::kStopReading) {
    // Holds the data connection unread until the client gives up on the control connection.
    ReceiveUntilClosed(control);
    closesocket(data);
    return;
  }
  char block[8192];
  for (int got; (got = recv(data, block, sizeof block, 0)) > 0;) {
    std::lock_guard lock(mutex_);
    received_.append(block, static_cast<size_t>(got));
    if (script_.data == FtpPeerScript::Data::kResetMidFile) {
      const linger reset{1, 0};
      setsockopt(data, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
      break;
    }
  }
  closesocket(data);
  Reply(control, "226 stored");
}
