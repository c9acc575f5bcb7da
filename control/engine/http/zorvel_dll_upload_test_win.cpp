// The shipped Zorvel.dll, registered by regsvr32, created by its ProgID and driven by dispatch
// identifier as the transfer application drives it, uploads a forward to orvane-server.
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "control/engine/http/testing/registered_server_fixture_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/hosting/event_sink_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/testing/fake_browser_win.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

using enum zorvel::Dispid;
using zorvel::AnsiFromBstr;
using zorvel::BstrFromAnsi;
using zorvel::testing::FakeBrowserHost;
using zorvel::testing::MessageBoxAnswerer;
using zorvel::testing::ParaLine;
using zorvel::testing::PumpFor;
using zorvel::testing::ReadAnsiFile;
using zorvel::testing::WriteAnsiFile;

const std::string US = "\x1f", RS = "\x1e";

class ZorvelDllUploadTest : public zorvel::testing::RegisteredServerTest {};

TEST_F(ZorvelDllUploadTest, RegisteredLibraryUploadsAForwardToTheServer) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "zorvel_dll_upload";
  CreateDirectoryA(folder.c_str(), nullptr);
  // A Japanese work file name ("録音.tta") whose Shift_JIS bytes travel as they are.
  const std::string japaneseName = "\x98\x5e\x89\xb9.tta";
  std::string recording(300'000, '\0');
  for (size_t i = 0; i < recording.size(); ++i) recording[i] = static_cast<char>(i * 7 % 256);
  const std::string text = "a small text file\r\n";
  const std::string para =
      ParaLine("P-dll-upload",
               "rec.wav" + US + "900000" + US + "note.txt" + US + std::to_string(text.size()),
               japaneseName + US + std::to_string(recording.size()) + US + "note.txt" + US +
                   std::to_string(text.size()));
  const std::string paraPath = WriteAnsiFile(folder + "\\OrvaneFileTrans.para", para);
  const std::string recordingPath = WriteAnsiFile(folder + "\\" + japaneseName, recording);
  const std::string textPath = WriteAnsiFile(folder + "\\note.txt", text);

  PutText(kUrl, serverUrl_ + "/upload");
  PutText(kFilePath, paraPath + ";" + recordingPath + ";" + textPath);
  EXPECT_EQ(GetNumber(kCount), 3);
  UploadAndExpectSuccess();
  EXPECT_GE(logged_.size(), 6u);
  // The server keeps the work files the parameter data file lists, byte for byte.
  EXPECT_EQ(StoredFiles(), (std::vector<std::string>{recording, text}));

  for (const std::string& path : {paraPath, recordingPath, textPath}) DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Files of a Japanese folder added under each Charset with the alias "%e": each goes out with its
// base name converted, the ISO-2022-JP one holding a quote, a bar, a semicolon and a backslash
// ("あ万音ぼ" is $" K| 2; $\ between ESC "$B" and ESC "(J"), and the server stores each as the
// listed work file of that name. All have one size, so only the names tell them apart.
TEST_F(ZorvelDllUploadTest, AliasesOfEveryCharsetAreStoredUnderTheirNames) {
  struct Case {
    const char* charset;
    std::string name;   // Shift_JIS
    std::string alias;  // what the converted name must be
  };
  const Case cases[] = {
      {"jis", "\x82\xa0\x96\x9c\x89\xb9\x82\xda.txt",  // あ万音ぼ
       "\x1b$B$\"K|2;$\\\x1b(J.txt"},
      {"euc", "\x98\x5e\x89\xb9.dat", "\xcf\xbf\xb2\xbb.dat"},           // 録音
      {"utf8", "\x8e\x91\x97\xbf.txt", "\xe8\xb3\x87\xe6\x96\x99.txt"},  // 資料
      {"ucs2", "\x93\xfa\x96\x7b.bin", "\xe5\x65\x2c\x67."},      // 日本, to its first zero
      {"sjis", "\x93\x8c\x8b\x9e.txt", "\x93\x8c\x8b\x9e.txt"}};  // 東京
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string top = std::string(temp) + "zorvel_dll_charsets";
  const std::string folder = top + "\\\x83\x41\x83\x62\x83\x76";  // アップ
  CreateDirectoryA(top.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);

  // The parameter data file lists the work files in the reverse order of the list.
  std::string sources, works;
  std::vector<std::string> contents, expected;
  for (size_t i = 0; i < std::size(cases); ++i) {
    contents.push_back(std::string(1000, static_cast<char>('a' + i)));
    const size_t listed = std::size(cases) - 1 - i;
    const std::string separator = i == 0 ? "" : US;
    sources += separator + cases[listed].name + US + "1000";
    works += separator + cases[listed].alias + US + "1000";
  }
  for (size_t i = 0; i < std::size(cases); ++i)
    expected.push_back(contents[std::size(cases) - 1 - i]);
  const std::string paraPath =
      WriteAnsiFile(folder + "\\OrvaneFileTrans.para", ParaLine("P-dll-charsets", sources, works));

  PutText(kUrl, serverUrl_ + "/upload");
  std::vector<std::string> paths;
  for (size_t i = 0; i < std::size(cases); ++i) {
    paths.push_back(WriteAnsiFile(folder + "\\" + cases[i].name, contents[i]));
    PutText(kCharset, cases[i].charset);
    PutText(kFilePath, paths.back() + "|%e");
  }
  PutText(kCharset, "sjis");
  PutText(kFilePath, paraPath);
  EXPECT_EQ(GetNumber(kCount), 6);
  UploadAndExpectSuccess();

  const std::string jisSent = "Sending... " + paths[0] + " (1000 bytes) as " + cases[0].alias;
  EXPECT_TRUE(std::any_of(logged_.begin(), logged_.end(),
                          [&](const std::string& line) {
                            return line.size() >= jisSent.size() &&
                                   line.compare(line.size() - jisSent.size(), jisSent.size(),
                                                jisSent) == 0;
                          }))
      << "no log line ends with: " << jisSent;
  EXPECT_EQ(StoredFiles(), expected);

  for (const std::string& path : paths) DeleteFileA(path.c_str());
  DeleteFileA(paraPath.c_str());
  RemoveDirectoryA(folder.c_str());
  RemoveDirectoryA(top.c_str());
}

// A public page padded past what the control keeps of its address still gets the question, and
// "No" sends nothing.
TEST_F(ZorvelDllUploadTest, APageWithALongAddressIsAskedBeforeSending) {
  FakeBrowserHost browser(L"http://8.8.8.8/page.html?pad=" + std::wstring(271, L'x'));
  Host(&browser);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = WriteAnsiFile(std::string(temp) + "zorvel_dll_page.txt", "secret\r\n");
  PutText(kUrl, serverUrl_ + "/upload");
  PutText(kFilePath, path);
  MessageBoxAnswerer answerer(L"Zorvel ActiiveX Control", IDNO);
  ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
  EXPECT_EQ(answerer.Shown(), 1);
  EXPECT_EQ(GetNumber(kResult), -2);
  EXPECT_TRUE(completed_.empty());
  EXPECT_TRUE(StoredFiles().empty());
  DeleteFileA(path.c_str());
  Host(nullptr);  // the control lets the page go before the page does
}

// Texts that would end the request line, a header or an FTP command and write their own: each
// run is refused before it connects, with the URL error naming the property. (Each URL also
// gives a 2-second time-out, so that a run that does connect ends soon.)
TEST_F(ZorvelDllUploadTest, ControlCharactersAreRefusedBeforeAnythingConnects) {
  LoopbackListener peer;
  const std::string server = "127.0.0.1:" + std::to_string(peer.Port()) + ":2";
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = WriteAnsiFile(std::string(temp) + "zorvel_dll_inject.txt", "data");
  struct Case {
    const char* property;
    std::string url, filePath, para, auth;
  };
  const Case cases[] = {
      {"URL", "http://" + server + "/x\r\nHELO example.com", path, "", ""},
      {"FilePath", "http://" + server + "/x", path + "|a.txt\r\nX-Forged: 1", "", ""},
      {"Para1", "http://" + server + "/x", path, "a\r\nb", ""},
      {"Auth", "http://" + server + "/x", path, "", "u:p\r\nX-Forged: 1"},
      {"FilePath", "ftp://" + server + "/in", path + "|a.txt\r\nDELE important.dat", "", ""},
      {"URL", "ftp://" + server + "/in\r\nDELE important.dat", path, "", ""},
      {"Auth", "ftp://" + server + "/in", path, "", "taro\r\nDELE x:pw"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property + (": " + c.url));
    ASSERT_EQ(CallDispatchMethod(control_, kClear, nullptr, 0, nullptr), S_OK);
    logged_.clear();
    PutText(kUrl, c.url);
    PutText(kFilePath, c.filePath);
    PutText(kPara1, c.para);
    PutText(kAuth, c.auth);
    ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
    EXPECT_EQ(GetNumber(kResult), -1);
    EXPECT_FALSE(peer.ConnectionPending());
    const std::string refusal =
        std::string("Refused: ") + c.property + " holds a control character.";
    EXPECT_TRUE(std::any_of(logged_.begin(), logged_.end(), [&](const std::string& line) {
      return line.find(refusal) != std::string::npos;
    }));
    if (peer.ConnectionPending()) closesocket(peer.Accept());
  }
  DeleteFileA(path.c_str());
}

size_t PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

// A server that answers without end: the library keeps a bounded part (the process does not
// grow by what the server sends), and the run ends as an error; a Cancel while the answer keeps
// coming ends the run within a second.
TEST_F(ZorvelDllUploadTest, AnEndlessAnswerIsBoundedAndCancelled) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = WriteAnsiFile(std::string(temp) + "zorvel_dll_endless.txt", "data");
  const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
  {
    LoopbackPeer peer(
        [&](SOCKET socket) { SendEndlessly(socket, head, std::string(65536, 'x'), 0, 20'000); });
    PutText(kUrl, "http://127.0.0.1:" + std::to_string(peer.Port()) + "/up");
    PutText(kFilePath, path);
    const size_t before = PeakMemory();
    const DWORD start = GetTickCount();
    ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
    EXPECT_LT(GetTickCount() - start, 10'000u);
    EXPECT_EQ(GetNumber(kResult), -4);
    EXPECT_TRUE(completed_.empty());
    EXPECT_LT(PeakMemory() - before, 32u * 1024 * 1024);
  }
  {
    LoopbackPeer peer(
        [&](SOCKET socket) { SendEndlessly(socket, head, std::string(1024, 'x'), 5, 20'000); });
    PutText(kUrl, "http://127.0.0.1:" + std::to_string(peer.Port()) + ":60/up");
    StartAndCancelAfter(300);
    EXPECT_EQ(GetNumber(kResult), -2);
    EXPECT_TRUE(completed_.empty());
  }
  DeleteFileA(path.c_str());
}

}  // namespace
