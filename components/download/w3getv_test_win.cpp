// Parvek.dll bound by name, as the application binds it, against loopback peers of the tests'
// own (the file, its progress, HTTP failures, a refused port, a silent server, a cancel), an FTP
// server and an HTTPS server whose certificate a test authority signs.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/testing/trusted_authority_win.h"
#include "components/download/w3getv_codes.h"
#include "components/http/loopback_peer_win.h"

namespace {

namespace fs = std::filesystem;
using Callback = LONG(__stdcall*)(LONG bytes, LPCSTR text);
using W3getvEntry = LONG(__stdcall*)(LPSTR commandText, INT_PTR* callbackAddress);

struct Calls {
  std::vector<LONG> bytes;
  std::vector<DWORD> threads;
  int stopAtCall = 0;  // the 1-based call that answers "stop"; 0 never
};
Calls* calls = nullptr;

LONG __stdcall Record(LONG bytes, LPCSTR) {
  calls->bytes.push_back(bytes);
  calls->threads.push_back(GetCurrentThreadId());
  return static_cast<int>(calls->bytes.size()) == calls->stopAtCall ? 1 : 0;
}

int ticks = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The state folder a CTest fixture left in the variable `name`.
fs::path FixtureState(const char* name) {
  const char* state = std::getenv(name);
  return state == nullptr ? fs::path() : fs::path(state);
}

class W3getvTest : public testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryW(L"Parvek.dll");
    ASSERT_NE(library_, nullptr);
    entry_ =
        reinterpret_cast<W3getvEntry>(reinterpret_cast<void*>(GetProcAddress(library_, "W3getv")));
    ASSERT_NE(entry_, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("w3getv-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    calls = &calls_;
  }
  void TearDown() override {
    calls = nullptr;
    fs::remove_all(folder_);
    if (library_ != nullptr) FreeLibrary(library_);
  }

  LONG Get(const std::string& options, const std::string& url) {
    std::string text =
        "-d " + folder_.string() + " " + options + (options.empty() ? "" : " ") + url;
    INT_PTR callback = reinterpret_cast<INT_PTR>(&Record);
    return entry_(text.data(), &callback);
  }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder_))
      names.push_back(item.path().filename().string());
    return names;
  }

  std::string Read(const std::string& name) const { return ReadAll(folder_ / name); }

  HMODULE library_ = nullptr;
  W3getvEntry entry_ = nullptr;
  fs::path folder_;
  Calls calls_;
};

std::string Body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>(i * 7 + i / 251);
  return body;
}

TEST_F(W3getvTest, StoresTheFileUnderItsSaveNameAndReportsSizeThenProgress) {
  LoopbackHttpPeer peer;
  const std::string body = Body(3 * 1024 * 1024 + 17);
  peer.SetBody(body, "application/octet-stream");
  const LONG result = Get("-o %98%5E+1.tta -t 6000", Narrow(peer.Url("/files/x/%E9%8C%B2")));
  EXPECT_GE(result, 1);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"%98%5E+1.tta"});
  EXPECT_EQ(Read("%98%5E+1.tta"), body);
  ASSERT_GE(calls_.bytes.size(), 2u);
  EXPECT_EQ(calls_.bytes.front(), static_cast<LONG>(body.size()));
  EXPECT_EQ(calls_.bytes.back(), static_cast<LONG>(body.size()));
  for (std::size_t i = 2; i < calls_.bytes.size(); ++i)
    EXPECT_GT(calls_.bytes[i], calls_.bytes[i - 1]);
  for (DWORD thread : calls_.threads) EXPECT_EQ(thread, GetCurrentThreadId());
  ASSERT_EQ(peer.Requests().size(), 1u);
  EXPECT_EQ(peer.Requests()[0].rfind("GET /files/x/%E9%8C%B2 HTTP/1.1\r\n", 0), 0u);
}

// A new file and one already under the save name (longer than the download) end the same way.
TEST_F(W3getvTest, AFileAlreadyUnderTheSaveNameIsReplacedWhole) {
  LoopbackHttpPeer peer;
  const std::string body = Body(70000);
  peer.SetBody(body, "application/octet-stream");
  WriteAll(folder_ / "a.bin", Body(body.size() + 5000) + "old");
  EXPECT_GE(Get("-o a.bin", Narrow(peer.Url("/a.bin"))), 1);
  EXPECT_TRUE(Read("a.bin") == body) << Read("a.bin").size() << " bytes";
}

TEST_F(W3getvTest, AStopAtTheSizeLeavesNoFile) {
  LoopbackHttpPeer peer;
  peer.SetBody(Body(1000), "application/octet-stream");
  calls_.stopAtCall = 1;
  EXPECT_EQ(Get("-j SJIS", Narrow(peer.Url("/a.bin"))), w3getv::kCancelled);
  EXPECT_EQ(calls_.bytes, std::vector<LONG>{1000});
  EXPECT_TRUE(FolderNames().empty());
}

// The application probes the size of every file of a forward before it downloads any: a probe
// must not wait out the poll between looks at the transfer (50 ms each). The fastest of a few
// probes counts, so that a loaded machine does not make it fail.
TEST_F(W3getvTest, SizeProbesAnswerAsSoonAsTheSizeIsKnown) {
  LoopbackHttpPeer peer;
  peer.SetBody(Body(1000), "application/octet-stream");
  auto fastest = std::chrono::steady_clock::duration::max();
  for (int probe = 0; probe < 10; ++probe) {
    calls_ = {};
    calls_.stopAtCall = 1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Get("-j SJIS", Narrow(peer.Url("/a.bin"))), w3getv::kCancelled);
    fastest = std::min(fastest, std::chrono::steady_clock::now() - start);
  }
  EXPECT_LT(fastest, std::chrono::milliseconds(40));
}

TEST_F(W3getvTest, AStopDuringTheDataRemovesThePartialFile) {
  LoopbackHttpPeer peer;
  peer.SetBody(Body(8 * 1024 * 1024), "application/octet-stream");
  calls_.stopAtCall = 2;
  EXPECT_EQ(Get("-o a.bin", Narrow(peer.Url("/a.bin"))), w3getv::kCancelled);
  EXPECT_EQ(calls_.bytes.size(), 2u);
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(W3getvTest, HttpFailuresComeBackAsMinusTheStatus) {
  LoopbackHttpPeer peer;
  for (int status : {404, 500, 403}) {
    peer.SetResponse("HTTP/1.1 " + std::to_string(status) +
                     " Refused\r\nContent-Length: 4\r\nConnection: close\r\n\r\nnope");
    EXPECT_EQ(Get("-o a.bin", Narrow(peer.Url("/a.bin"))), -status);
  }
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(W3getvTest, ARefusedPortIsASocketOpenError) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  int length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(probe);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/a";
  EXPECT_EQ(Get("-o a.bin -t 5000", url), w3getv::kSocketOpenError);
  EXPECT_TRUE(calls_.bytes.empty());
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(W3getvTest, ASilentServerTimesOutWhileMessagesKeepFlowing) {
  LoopbackHttpPeer peer;
  peer.SetSilent();
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Get("-o a.bin -t 1000", Narrow(peer.Url("/a.bin"))), w3getv::kTimeOut);
  const ULONGLONG elapsed = GetTickCount64() - start;
  KillTimer(nullptr, timer);
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 10000u);
  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(W3getvTest, AConnectionThatEndsBeforeTheAnnouncedSizeLeavesNoFile) {
  LoopbackHttpPeer peer;
  peer.SetResponse("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\nshort");
  const LONG result = Get("-o a.bin -t 3000", Narrow(peer.Url("/a.bin")));
  EXPECT_LT(result, 0);
  EXPECT_NE(result, w3getv::kCancelled);
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(W3getvTest, ALengthThatIsNoSizeIsRefusedBeforeAnythingIsReported) {
  LoopbackHttpPeer peer;
  for (const char* length : {"-5", "12abc", "99999999999999999999"}) {
    peer.SetResponse(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length +
                     "\r\nConnection: close\r\n\r\ndata");
    calls_.bytes.clear();
    EXPECT_EQ(Get("-o a.bin -t 3000", Narrow(peer.Url("/a.bin"))), w3getv::kNetworkError) << length;
    EXPECT_TRUE(calls_.bytes.empty()) << length;
    EXPECT_TRUE(FolderNames().empty()) << length;
  }
}

TEST_F(W3getvTest, FolderAndFileFailures) {
  LoopbackHttpPeer peer;
  peer.SetBody("data", "application/octet-stream");
  const std::string url = Narrow(peer.Url("/a.bin"));
  std::string text = "-d " + (folder_ / "missing").string() + " -o a.bin " + url;
  INT_PTR callback = reinterpret_cast<INT_PTR>(&Record);
  EXPECT_EQ(entry_(text.data(), &callback), w3getv::kFolderNotFound);

  fs::create_directories(folder_ / "taken");
  EXPECT_EQ(Get("-o taken", url), w3getv::kFileNotCreatable);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"taken"});

  EXPECT_EQ(Get("-o ..\\escape.bin", url), w3getv::kBadUrl);
  EXPECT_FALSE(fs::exists(folder_.parent_path() / "escape.bin"));
  EXPECT_EQ(Get("-o a.bin -x 1", url), w3getv::kParameterError);
  INT_PTR none = 0;
  EXPECT_EQ(entry_(text.data(), &none), w3getv::kParameterError);
  EXPECT_EQ(peer.Requests().size(), 1u);
}

// Against pyftpdlib (scripts/test-ftp-server): the size first, then the file, in passive mode.
TEST_F(W3getvTest, DownloadsOverFtpAndReportsTheServersRefusal) {
  const fs::path state = FixtureState("ORVANE_FTP_STATE");
  ASSERT_FALSE(state.empty()) << "run through CTest, which starts the FTP server";
  const std::string body = Body(700 * 1024 + 3);
  WriteAll(state / "root" / "in" / "rec.tta", body);
  const std::string server = "127.0.0.1:" + ReadAll(state / "port");
  EXPECT_GE(Get("-o %98%5E.tta -t 6000", "ftp://taro:secret@" + server + "/in/rec.tta"), 1);
  EXPECT_TRUE(Read("%98%5E.tta") == body) << Read("%98%5E.tta").size() << " bytes";
  ASSERT_GE(calls_.bytes.size(), 2u);
  EXPECT_EQ(calls_.bytes.front(), static_cast<LONG>(body.size()));
  EXPECT_EQ(calls_.bytes.back(), static_cast<LONG>(body.size()));

  calls_ = {};
  EXPECT_EQ(Get("-o gone.tta -t 6000", "ftp://" + server + "/in/gone.tta"), w3getv::kFtpRefused);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"%98%5E.tta"});
}

// Against Python's https server (scripts/test-https-server): one certificate for 127.0.0.1 from
// the authority the test trusts, one for the same address from an authority nobody trusts.
TEST_F(W3getvTest, DownloadsOverHttpsFromTrustedServersOnly) {
  const fs::path state = FixtureState("ORVANE_HTTPS_STATE");
  ASSERT_FALSE(state.empty()) << "run through CTest, which starts the HTTPS server";
  const std::string body = Body(900 * 1024 + 5);
  WriteAll(state / "root" / "rec.tta", body);
  // The trust comes first: Wine's chain engine reads the trusted roots once per process.
  base::testing::TrustedAuthority authority(ReadAll(state / "ca.pem"));
  ASSERT_TRUE(authority.Trusted());

  EXPECT_GE(Get("-o rec.tta -t 6000", "https://127.0.0.1:" + ReadAll(state / "port") + "/rec.tta"),
            1);
  EXPECT_TRUE(Read("rec.tta") == body) << Read("rec.tta").size() << " bytes";
  ASSERT_GE(calls_.bytes.size(), 2u);
  EXPECT_EQ(calls_.bytes.front(), static_cast<LONG>(body.size()));

  // A certificate is no warrant without a trusted authority behind it: nothing is stored.
  calls_ = {};
  const LONG impostor = Get("-o other.tta -t 6000",
                            "https://127.0.0.1:" + ReadAll(state / "impostor_port") + "/rec.tta");
  EXPECT_LT(impostor, 0);
  EXPECT_NE(impostor, w3getv::kCancelled);
  EXPECT_TRUE(calls_.bytes.empty());
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"rec.tta"});
}

}  // namespace
