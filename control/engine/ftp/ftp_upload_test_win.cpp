// The FTP upload inside a hosted control, reached through the HTTP engine's "ftp://" hand-over,
// against pyftpdlib on loopback (ctest starts it).
#include <gtest/gtest.h>
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "control/engine/ftp/ftp_upload_win.h"
#include "control/engine/http/multipart_upload_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

// The pyftpdlib server of the fixture: its port, its root, and the command lines it received.
class FtpServer {
 public:
  FtpServer() {
    const char* state = std::getenv("ORVANE_FTP_STATE");
    if (!state) return;
    state_ = state;
    port_ = std::atoi(ReadAnsiFile(state_ + "/port").c_str());
    commandsSeen_ = ReadAnsiFile(CommandsPath()).size();
  }
  bool Running() const { return port_ > 0; }
  int Port() const { return port_; }
  std::string Root() const { return state_ + "/root"; }
  std::string CommandsPath() const { return state_ + "/commands.log"; }
  // The command lines received since the object was made, in order.
  std::vector<std::string> NewCommands() const {
    std::istringstream lines(ReadAnsiFile(CommandsPath()).substr(commandsSeen_));
    std::vector<std::string> commands;
    for (std::string line; std::getline(lines, line);) commands.push_back(line);
    return commands;
  }

 private:
  std::string state_;
  int port_ = 0;
  size_t commandsSeen_ = 0;
};

std::vector<std::string> Only(const std::vector<std::string>& commands,
                              const std::vector<std::string>& prefixes) {
  std::vector<std::string> kept;
  for (const std::string& command : commands) {
    for (const std::string& prefix : prefixes) {
      if (command.rfind(prefix, 0) == 0) kept.push_back(command);
    }
  }
  return kept;
}

class FtpUploadTest : public EngineTest<MultipartUpload, FtpUpload> {
 protected:
  std::string Url(const std::string& credentials, const std::string& rest) const {
    return "ftp://" + credentials + "127.0.0.1:" + std::to_string(server_.Port()) + rest;
  }

  FtpServer server_;
};

// The log lines of a run, for failure messages.
std::string LogOf(const HostedControl& control) {
  std::string log;
  for (const RecordedEvent& event : control.Events()) {
    if (event.id == kOnLog) log += event.text + "\n";
  }
  return log;
}

#define REQUIRE_SERVER() \
  if (!server_.Running()) GTEST_SKIP() << "run through ctest: the fixture starts pyftpdlib"

std::string CompletionPrefix() {
  const std::string format = LoadAnsiString(IDS_COMPLETE);
  return format.substr(0, format.find('%'));
}

TEST_F(FtpUploadTest, PassiveUploadWithUserPasswordPortTimeoutAndDirectory) {
  REQUIRE_SERVER();
  const std::string japaneseName = "\x98\x5e\x89\xb9.tta";  // 録音.tta
  const std::string recording = Pattern(300'000, 1), note = Pattern(20, 2);
  const std::string recordingPath = files_.Write(japaneseName, recording);
  const std::string notePath = files_.Write("note.bin", note);
  HostedControl control;
  control.Put(kUrl, Url("taro:secret@", ":20/in/box"));
  control.Put(kPassive, 1);
  control.Put(kFilePath, recordingPath + ";" + notePath + "|stored.dat");
  control.Call(kStart);

  EXPECT_EQ(control.GetNumber(kResult), 0) << LogOf(control);
  EXPECT_TRUE(ReadAnsiFile(server_.Root() + "/in/box/" + japaneseName) == recording);
  EXPECT_TRUE(ReadAnsiFile(server_.Root() + "/in/box/stored.dat") == note);
  const std::vector<std::string> commands = server_.NewCommands();
  EXPECT_EQ(Only(commands, {"USER", "PASS", "QUIT", "PORT"}),
            (std::vector<std::string>{"USER taro", "PASS secret", "QUIT"}));
  EXPECT_EQ(Only(commands, {"PASV"}).size(), 2u);
  std::vector<std::string> stored = Only(commands, {"STOR"});
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored,
            (std::vector<std::string>{"STOR in/box/stored.dat", "STOR in/box/" + japaneseName}));

  Zorvex& object = control.Object();
  EXPECT_EQ(object.StatusText.rfind(CompletionPrefix(), 0), 0u) << object.StatusText;
  EXPECT_EQ(SendMessageW(control.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 62);
  EXPECT_EQ(object.Result, 0);
  EXPECT_TRUE(control.Logged("Connecting... 127.0.0.1:" + std::to_string(server_.Port())));
  EXPECT_TRUE(control.Logged("PASS ******"));
  EXPECT_TRUE(control.Logged("USER taro"));
  EXPECT_TRUE(control.Logged("Sending... " + notePath + " (20 bytes) as stored.dat"));
  EXPECT_TRUE(control.Logged("Sending... " + recordingPath + " (300000 bytes)"));
  int rateLines = 0, completions = 0;
  for (const RecordedEvent& event : control.Events()) {
    EXPECT_EQ(event.text.find("secret"), std::string::npos) << event.text;
    if (event.id == kOnLog && event.text.find("300000 bytes sent in ") != std::string::npos &&
        event.text.find(" Kbytes/sec)") != std::string::npos) {
      ++rateLines;
    }
    if (event.id == kOnComplete) {
      ++completions;
      EXPECT_EQ(event.text, object.StatusText);
    }
  }
  EXPECT_EQ(rateLines, 1);
  EXPECT_EQ(completions, 1);
}

TEST_F(FtpUploadTest, ActiveAnonymousUploadSwitchesTypeOnlyWhenItChanges) {
  REQUIRE_SERVER();
  // Line ends of a text file are the server's business in type A; plain LF keeps them as sent.
  const std::string text = "line one\nline two\n";
  const std::string one = Pattern(70'000, 3), four = Pattern(9000, 4);
  const std::string onePath = files_.Write("1.wav", one);
  const std::string twoPath = files_.Write("2.txt", text);
  const std::string threePath = files_.Write("3.TXT", text);
  const std::string fourPath = files_.Write("4.bin", four);
  HostedControl control;
  control.Put(kUrl, Url("", ""));
  control.Put(kAscExt, "txt;csv");
  control.Put(kFilePath, onePath + ";" + twoPath + ";" + threePath + ";" + fourPath);
  control.Call(kStart);

  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_TRUE(ReadAnsiFile(server_.Root() + "/1.wav") == one);
  EXPECT_EQ(ReadAnsiFile(server_.Root() + "/2.txt"), text);
  EXPECT_EQ(ReadAnsiFile(server_.Root() + "/3.TXT"), text);
  EXPECT_TRUE(ReadAnsiFile(server_.Root() + "/4.bin") == four);
  const std::vector<std::string> commands = server_.NewCommands();
  EXPECT_EQ(Only(commands, {"USER", "PASS", "TYPE", "STOR"}),
            (std::vector<std::string>{"USER anonymous", "PASS ", "TYPE I", "STOR 1.wav", "TYPE A",
                                      "STOR 2.txt", "STOR 3.TXT", "TYPE I", "STOR 4.bin"}));
  EXPECT_EQ(Only(commands, {"PORT"}).size(), 4u);
  EXPECT_EQ(Only(commands, {"PASV", "EPSV"}).size(), 0u);
}

TEST_F(FtpUploadTest, AuthGivesTheLoginWhenTheUrlHasNone) {
  REQUIRE_SERVER();
  const std::string bytes = Pattern(5000, 5);
  const std::string path = files_.Write("auth.bin", bytes);
  HostedControl control;
  control.Put(kUrl, Url("", "/in"));
  control.Put(kAuth, "taro:secret");
  control.Put(kPassive, 1);
  control.Put(kFilePath, path);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_TRUE(ReadAnsiFile(server_.Root() + "/in/auth.bin") == bytes);
  EXPECT_EQ(Only(server_.NewCommands(), {"USER"}), (std::vector<std::string>{"USER taro"}));
}

TEST_F(FtpUploadTest, RefusedConnectionAndRefusedLoginAreConnectErrors) {
  REQUIRE_SERVER();
  const std::string path = files_.Write("x.bin", Pattern(10, 6));
  {
    HostedControl control;
    control.Put(kUrl, "ftp://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + ":5/");
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), -3);
    EXPECT_EQ(control.Object().StatusText, Formatted(IDS_CONNECT_ERROR, WSAECONNREFUSED));
  }
  HostedControl control;
  control.Put(kUrl, Url("taro:wrong@", "/"));
  control.Put(kFilePath, path);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -3);
  EXPECT_EQ(control.Object().StatusText, Formatted(IDS_CONNECT_ERROR, 1));
  EXPECT_EQ(control.Object().ProgressText.substr(0, 4), "530 ");
  EXPECT_EQ(control.Object().ProgressText.find('\r'), std::string::npos);
  EXPECT_EQ(Only(server_.NewCommands(), {"STOR", "QUIT"}).size(), 0u);
}

TEST_F(FtpUploadTest, RefusedStorAndOverlongCommandLinesAreStoreFailures) {
  REQUIRE_SERVER();
  const std::string path = files_.Write("r.bin", Pattern(10, 7));
  {
    HostedControl control;
    control.Put(kUrl, Url("reader:pw@", ""));
    control.Put(kPassive, 1);
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), -4);
    EXPECT_EQ(control.Object().StatusText, Formatted(IDS_SEND_ERROR, 0));
    EXPECT_EQ(GetFileAttributesA((server_.Root() + "/r.bin").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  FtpServer server;
  HostedControl control;
  control.Put(kUrl, Url("taro:secret@", ""));
  control.Put(kPassive, 1);
  control.Put(kFilePath, path + "|" + std::string(520, 'n'));
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -4);
  EXPECT_EQ(control.Object().StatusText, Formatted(IDS_SEND_ERROR, 0));
  EXPECT_EQ(Only(server.NewCommands(), {"STOR", "PASV", "QUIT"}).size(), 0u);
}

TEST_F(FtpUploadTest, CancelMidFileEndsTheRunAsCancelled) {
  REQUIRE_SERVER();
  const std::string path = files_.Write("big.bin", Pattern(20'000'000, 8));
  for (const long passive : {1L, 0L}) {
    HostedControl control;
    control.Put(kUrl, Url("taro:secret@", "/in"));
    control.Put(kPassive, passive);
    control.Put(kFilePath, path);
    // Cancelled from inside, as a click would, when the first data block has gone out.
    bool cancelled = false;
    control.OnEvent([&](const RecordedEvent& event) {
      if (event.id != kOnProgress || cancelled) return;
      cancelled = true;
      CallDispatchMethodWith(control.Dispatch(), kCancel);
    });
    const DWORD start = GetTickCount();
    control.Call(kStart);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(control.GetNumber(kResult), -2) << "passive " << passive;
    EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
    EXPECT_LT(GetTickCount() - start, 30000u);
    EXPECT_LT(ReadAnsiFile(server_.Root() + "/in/big.bin").size(), 20'000'000u);
  }
}

}  // namespace
}  // namespace zorvel::testing
