// TTA_VB.dll as the application meets it: bound by name, called through __stdcall pointers
// with ANSI (code page 932) paths, reporting progress to a callback that may ask to stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "components/tta/test_signals.h"

namespace {

namespace fs = std::filesystem;

using TtaProgressProc = LONG(__stdcall*)(LONG position, SHORT* cancel);
using ConvertProc = LONG(__stdcall*)(LPCSTR source, LPCSTR output, TtaProgressProc progress,
                                     SHORT* cancel);

// What the callback saw, and when it plays the user pressing Cancel.
struct CallbackLog {
  std::vector<LONG> positions;
  std::vector<SHORT*> cancelAddresses;
  std::vector<DWORD> threads;
  size_t cancelAt = SIZE_MAX;
  size_t pressCancelAt = SIZE_MAX;  // posts the Cancel button's message after that call
  HWND cancelButton = nullptr;
  LARGE_INTEGER cancelledAt{};
};
CallbackLog callbackLog;

// Behaves as the application's TtaProgressProc: processes the thread's window messages, then
// goes on (-1) while the flag is clear.
LONG __stdcall RecordProgress(LONG position, SHORT* cancel) {
  callbackLog.positions.push_back(position);
  callbackLog.cancelAddresses.push_back(cancel);
  callbackLog.threads.push_back(GetCurrentThreadId());
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  if (callbackLog.positions.size() == callbackLog.cancelAt) *cancel = -1;
  if (callbackLog.positions.size() == callbackLog.pressCancelAt) {
    PostMessageW(callbackLog.cancelButton, WM_APP, 0, 0);
  }
  if (*cancel != 0 && callbackLog.cancelledAt.QuadPart == 0) {
    QueryPerformanceCounter(&callbackLog.cancelledAt);
  }
  return *cancel != 0 ? 0 : -1;
}

class TtaVbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA("TTA_VB.dll");
    ASSERT_NE(library_, nullptr);
    encode_ = reinterpret_cast<ConvertProc>(
        reinterpret_cast<void*>(GetProcAddress(library_, "Enc_WavToTTA")));
    decode_ = reinterpret_cast<ConvertProc>(
        reinterpret_cast<void*>(GetProcAddress(library_, "Dec_TTAToWav")));
    ASSERT_NE(encode_, nullptr);
    ASSERT_NE(decode_, nullptr);

    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ =
        fs::path(temp) / (L"tta_vb_" + std::to_wstring(GetCurrentProcessId())) / L"音声データ";
    fs::create_directories(folder_);
    const tta::AudioFormat format{2, 16, 44100};
    wav_ = tta::testing::MakeWav(
        format, tta::testing::MakeSamples(format, 50000, tta::testing::Signal::kSine));
    Write(L"録音テスト.wav", wav_);
    callbackLog = CallbackLog{};
  }
  void TearDown() override {
    fs::remove_all(folder_.parent_path());
    FreeLibrary(library_);
  }

  // The path as the application passes it: converted to the ANSI code page.
  std::string Ansi(const std::wstring& name) const {
    return base::ToAnsi((folder_ / name).u16string());
  }
  void Write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::wstring& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  bool Exists(const std::wstring& name) const { return fs::exists(folder_ / name); }

  LONG Encode(const std::wstring& source, const std::wstring& output) {
    return encode_(Ansi(source).c_str(), Ansi(output).c_str(), RecordProgress, &cancelFlag_);
  }
  LONG Decode(const std::wstring& source, const std::wstring& output) {
    return decode_(Ansi(source).c_str(), Ansi(output).c_str(), RecordProgress, &cancelFlag_);
  }

  HMODULE library_ = nullptr;
  ConvertProc encode_ = nullptr;
  ConvertProc decode_ = nullptr;
  fs::path folder_;
  std::string wav_;
  SHORT cancelFlag_ = 0;
};

// The window's code runs inside the callback, so every call must come from the thread that
// called the library, with positions that never go back.
void ExpectProgressTowards(LONG size, const SHORT* cancel) {
  const auto& positions = callbackLog.positions;
  ASSERT_GE(positions.size(), 100u);
  for (size_t i = 1; i < positions.size(); ++i) ASSERT_LE(positions[i - 1], positions[i]);
  EXPECT_EQ(positions.back(), size);
  for (SHORT* address : callbackLog.cancelAddresses) EXPECT_EQ(address, cancel);
  for (const DWORD thread : callbackLog.threads) ASSERT_EQ(thread, GetCurrentThreadId());
}

TEST_F(TtaVbTest, ExportsBothEntryPointsUndecorated) {
  EXPECT_EQ(GetProcAddress(library_, "Enc_WavToTTA@16"), nullptr);
  EXPECT_EQ(GetProcAddress(library_, "_Enc_WavToTTA@16"), nullptr);
}

TEST_F(TtaVbTest, EncodesAndDecodesThroughJapanesePathsWithProgress) {
  ASSERT_EQ(Encode(L"録音テスト.wav", L"録音テスト.tta"), 0);
  ExpectProgressTowards(static_cast<LONG>(wav_.size()), &cancelFlag_);

  callbackLog = CallbackLog{};
  const std::string tta = Read(L"録音テスト.tta");
  ASSERT_EQ(tta.compare(0, 4, "TTA1"), 0);
  // A longer file under the output's name is replaced whole, not overwritten from the start.
  Write(L"復元.wav", wav_ + std::string(100000, 'x'));
  ASSERT_EQ(Decode(L"録音テスト.tta", L"復元.wav"), 0);
  ExpectProgressTowards(static_cast<LONG>(tta.size()), &cancelFlag_);
  EXPECT_EQ(Read(L"復元.wav"), wav_);
}

TEST_F(TtaVbTest, StopsWith9WhenTheCallbackSetsTheFlagAndLeavesNoFile) {
  callbackLog.cancelAt = 3;
  EXPECT_EQ(Encode(L"録音テスト.wav", L"中断.tta"), 9);
  EXPECT_EQ(callbackLog.positions.size(), 3u);
  EXPECT_FALSE(Exists(L"中断.tta"));

  cancelFlag_ = 0;
  ASSERT_EQ(Encode(L"録音テスト.wav", L"完了.tta"), 0);
  callbackLog = CallbackLog{};
  callbackLog.cancelAt = 2;
  EXPECT_EQ(Decode(L"完了.tta", L"中断.wav"), 9);
  EXPECT_FALSE(Exists(L"中断.wav"));
}

TEST_F(TtaVbTest, EachFailureHasItsCodeAndLeavesNoOutput) {
  EXPECT_EQ(Encode(L"ない.wav", L"a.tta"), 1);
  Write(L"文章.wav", "not audio at all");
  EXPECT_EQ(Encode(L"文章.wav", L"a.tta"), 2);
  EXPECT_EQ(Encode(L"録音テスト.wav", L"ないフォルダ\\a.tta"), 3);
  EXPECT_FALSE(Exists(L"a.tta"));

  ASSERT_EQ(Encode(L"録音テスト.wav", L"良い.tta"), 0);
  std::string damaged = Read(L"良い.tta");
  damaged[damaged.size() / 2] ^= 0x01;
  Write(L"壊れた.tta", damaged);
  EXPECT_EQ(Decode(L"壊れた.tta", L"壊れた.wav"), 4);
  EXPECT_FALSE(Exists(L"壊れた.wav"));

  // Its own source as the destination would destroy the source.
  EXPECT_EQ(Decode(L"良い.tta", L"良い.tta"), 6);
  EXPECT_EQ(Read(L"良い.tta").size(), damaged.size());
  EXPECT_EQ(encode_(nullptr, Ansi(L"b.tta").c_str(), nullptr, nullptr), 6);
}

TEST_F(TtaVbTest, WorksWithoutACallback) {
  EXPECT_EQ(encode_(Ansi(L"録音テスト.wav").c_str(), Ansi(L"無音.tta").c_str(), nullptr, nullptr),
            0);
  EXPECT_EQ(decode_(Ansi(L"無音.tta").c_str(), Ansi(L"無音.wav").c_str(), nullptr, nullptr), 0);
  EXPECT_EQ(Read(L"無音.wav"), wav_);

  // With only the flag, a set flag still stops the conversion.
  SHORT cancelled = -1;
  EXPECT_EQ(encode_(Ansi(L"録音テスト.wav").c_str(), Ansi(L"止.tta").c_str(), nullptr, &cancelled),
            9);
  EXPECT_FALSE(Exists(L"止.tta"));
}

// A site may install the library anywhere, a folder with a Japanese name included.
TEST(TtaVbLocationTest, LoadsAndRunsFromAJapaneseFolder) {
  wchar_t exe[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const fs::path folder = fs::path(temp) /
                          (L"tta_vb_dll_" + std::to_wstring(GetCurrentProcessId())) /
                          L"圧縮ライブラリ";
  fs::create_directories(folder);
  fs::copy_file(fs::path(exe).parent_path() / L"TTA_VB.dll", folder / L"TTA_VB.dll");

  const HMODULE library = LoadLibraryW((folder / L"TTA_VB.dll").c_str());
  ASSERT_NE(library, nullptr);
  const auto encode = reinterpret_cast<ConvertProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "Enc_WavToTTA")));
  ASSERT_NE(encode, nullptr);
  const tta::AudioFormat format{1, 8, 8000};
  std::ofstream(folder / L"音.wav", std::ios::binary) << tta::testing::MakeWav(
      format, tta::testing::MakeSamples(format, 1000, tta::testing::Signal::kSine));
  EXPECT_EQ(encode(base::ToAnsi((folder / L"音.wav").u16string()).c_str(),
                   base::ToAnsi((folder / L"音.tta").u16string()).c_str(), nullptr, nullptr),
            0);
  EXPECT_TRUE(fs::exists(folder / L"音.tta"));
  FreeLibrary(library);
  fs::remove_all(folder.parent_path());
}

// Ten seconds of 44.1 kHz stereo with noise in the middle: enough frames to keep every worker of
// the library busy.
std::string LongWav() {
  const tta::AudioFormat format{2, 16, 44100};
  auto samples = tta::testing::MakeSamples(format, 10 * 46080 + 333, tta::testing::Signal::kSine);
  const auto noise = tta::testing::MakeSamples(format, 3 * 46080, tta::testing::Signal::kNoise);
  std::copy(noise.begin(), noise.end(), samples.begin() + 4 * 46080 * 2);
  return tta::testing::MakeWav(format, samples);
}

TEST_F(TtaVbTest, ManyFramesGiveTheSequentialCodersBytesBothWays) {
  const std::string wav = LongWav();
  Write(L"長い.wav", wav);
  ASSERT_EQ(Encode(L"長い.wav", L"長い.tta"), 0);
  ExpectProgressTowards(static_cast<LONG>(wav.size()), &cancelFlag_);
  const std::string tta = Read(L"長い.tta");
  EXPECT_EQ(tta, tta::testing::EncodeToTta(wav));

  callbackLog = CallbackLog{};
  ASSERT_EQ(Decode(L"長い.tta", L"長い復元.wav"), 0);
  ExpectProgressTowards(static_cast<LONG>(tta.size()), &cancelFlag_);
  EXPECT_EQ(Read(L"長い復元.wav"), wav);
  EXPECT_EQ(Read(L"長い復元.wav"), tta::testing::DecodeToWav(tta));

  // Damage in a late frame, found by whichever worker decodes it.
  std::string damaged = tta;
  damaged[damaged.size() * 3 / 4] ^= 0x10;
  Write(L"後半が壊れた.tta", damaged);
  EXPECT_EQ(Decode(L"後半が壊れた.tta", L"後半が壊れた.wav"), 4);
  EXPECT_FALSE(Exists(L"後半が壊れた.wav"));
}

// The application's Cancel button: its click is a message that the callback's message loop
// dispatches, setting the flag the library handed over.
SHORT* cancelButtonFlag = nullptr;
LRESULT CALLBACK CancelButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP) return DefWindowProcW(window, message, wParam, lParam);
  *cancelButtonFlag = -1;
  QueryPerformanceCounter(&callbackLog.cancelledAt);
  return 0;
}

// The call returns soon after the flag is set, however many frames are in flight; the machine
// is shared, so the quickest of three tries counts.
TEST_F(TtaVbTest, CancelPressedDuringTheCallbackStopsPromptlyAndLeavesNoFile) {
  const std::string wav = LongWav();
  Write(L"長い.wav", wav);
  ASSERT_EQ(Encode(L"長い.wav", L"長い.tta"), 0);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CancelButtonProc;
  windowClass.lpszClassName = L"TtaVbTestCancelButton";
  RegisterClassW(&windowClass);
  const HWND button = CreateWindowExW(0, windowClass.lpszClassName, L"キャンセル", 0, 0, 0, 0, 0,
                                      HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(button, nullptr);
  cancelButtonFlag = &cancelFlag_;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  for (const bool encode : {true, false}) {
    double quickest = 1e9;
    for (const size_t pressAt : {size_t{1}, size_t{7}, size_t{60}}) {
      callbackLog = CallbackLog{};
      callbackLog.pressCancelAt = pressAt;
      callbackLog.cancelButton = button;
      cancelFlag_ = 0;
      const LONG result =
          encode ? Encode(L"長い.wav", L"中断.tta") : Decode(L"長い.tta", L"中断.wav");
      LARGE_INTEGER returned;
      QueryPerformanceCounter(&returned);
      EXPECT_EQ(result, 9);
      // The next call dispatched the click and answered "stop"; none came after it.
      EXPECT_EQ(callbackLog.positions.size(), pressAt + 1);
      for (const DWORD thread : callbackLog.threads) EXPECT_EQ(thread, GetCurrentThreadId());
      EXPECT_FALSE(Exists(encode ? L"中断.tta" : L"中断.wav"));
      quickest = std::min(
          quickest, 1000.0 *
                        static_cast<double>(returned.QuadPart - callbackLog.cancelledAt.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    EXPECT_LT(quickest, 100.0) << (encode ? "encode" : "decode");
  }
  DestroyWindow(button);
}

}  // namespace
