// The setup program as a user receives it, run by scripts/test-installer in a Wine prefix of its
// own: a silent install, a forward through the installed program to orvane-server by an account
// that has no addresses of its own, the download
// of that forward from its descriptor opened through the association, and an uninstall that takes
// away everything of ours and nothing of the user's or of the host product's.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/history/history_screen_win.h"
#include "app/history/history_server_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/folder_browser_win.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kSettingsKey[] = L"SOFTWARE\\Halvik\\FileUpDown";
const wchar_t kHostKey[] = L"SOFTWARE\\Halvik\\ORVANE\\V01";
const wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneFts";
const wchar_t kDownloadCaption[] = L"Orvaneファイル転送 - ダウンロード";
const wchar_t kMessageCaption[] = L"Orvaneファイル転送";
const wchar_t kForwardCaption[] = L"Orvaneファイル転送 - 転送";
const wchar_t kHistoryCaption[] = L"Orvaneファイル転送 - 転送履歴";

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? value : L"";
}

// The Windows path of a setup program under test (scripts/test-installer names it).
std::wstring SetupPath(const wchar_t* variable = L"ORVANE_SETUP") {
  std::wstring path = Environment(variable);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

// Runs `commandLine` and returns its exit code once it has ended (~0u when it did not start).
DWORD RunAndWait(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return ~0u;
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

DWORD Install(const std::wstring& options = L"", const std::wstring& setup = SetupPath()) {
  return RunAndWait(L"\"" + setup + L"\" /S" + (options.empty() ? L"" : L" " + options));
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

fs::path InstallFolder() {
  return fs::path(KnownFolder(FOLDERID_ProgramFiles)) / L"Halvik" / L"OrvaneFts";
}
fs::path MenuFolder() {
  return fs::path(KnownFolder(FOLDERID_CommonPrograms)) / L"Orvaneファイル転送";
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return std::towlower(c); });
  return text;
}

// A string value, or "<absent>" when the key or the value does not exist.
std::wstring Value(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return L"<absent>";
  }
  return data;
}

// The address `name` the setup wrote for every user of the PC.
std::wstring MachineAddress(const wchar_t* name) {
  return Value(HKEY_LOCAL_MACHINE, kSettingsKey, name);
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& data) {
  ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, REG_SZ, data.c_str(),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits up to `seconds` for `done`; the uninstaller, for one, goes on in a copy of itself.
bool WaitFor(const std::function<bool()>& done, int seconds) {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    if (done()) return true;
    Sleep(100);
  }
  return done();
}

bool Uninstall() {
  const fs::path uninstaller = InstallFolder() / L"Uninstall.exe";
  if (RunAndWait(L"\"" + uninstaller.wstring() + L"\" /S") != 0) return false;
  // The uninstall entry is the last thing it removes.
  return WaitFor([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 60);
}

struct WindowSearch {
  DWORD processId;
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (search->caption != text) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WindowOf(DWORD processId, const std::wstring& caption) {
  WindowSearch search{processId, caption};
  EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindowOf(DWORD processId, const std::wstring& caption) {
  HWND found = nullptr;
  WaitFor([&] { return (found = WindowOf(processId, caption)) != nullptr; }, 30);
  return found;
}

// The text of the message box `processId` shows next, which is then answered with OK.
std::wstring NextMessage(DWORD processId) {
  HWND box = WaitForWindowOf(processId, kMessageCaption);
  if (box == nullptr) return L"<none>";
  const std::wstring text = MessageText(box);
  RunningProgram::Dismiss(box, IDOK);
  return text;
}

// Starts `file` as Explorer does; null when nothing started.
HANDLE Open(const std::wstring& file) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return nullptr;
  return info.hProcess;
}

// The program a shortcut starts; empty when it cannot be read.
std::wstring ShortcutTarget(const fs::path& shortcut) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return L"";
  }
  wchar_t target[MAX_PATH] = {};
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
      link->GetPath(target, MAX_PATH, nullptr, 0);
    }
    file->Release();
  }
  link->Release();
  return target;
}

// The forwards orvane-server keeps: the files of each, by its identifier, in forward order.
using Stored = std::map<std::string, std::vector<std::string>>;
Stored StoredForwards() {
  Stored forwards;
  const fs::path files = fs::path(Environment(L"ORVANE_SERVER_DATA")) / L"files";
  if (!fs::exists(files)) return forwards;
  for (const auto& forward : fs::directory_iterator(files)) {
    std::vector<std::string>& stored = forwards[forward.path().filename().string()];
    for (int i = 0; fs::exists(forward.path() / std::to_wstring(i)); ++i) {
      stored.push_back(ReadFile(forward.path() / std::to_wstring(i)));
    }
  }
  return forwards;
}

struct Sent {
  std::u16string name;
  std::string bytes;
};

// The installed program, started as its Start menu entry starts it, works with orvane-server at
// the addresses the setup program wrote: the history lists the forward stored for the host
// product's identifier, a forward without recipients is refused once the server has told its
// saved size, and then `files` go to one recipient. The server's identifier of that forward, or
// empty when none arrived.
std::string ForwardFromStartMenu(const TempFolder& folder, const std::vector<Sent>& files) {
  const std::wstring target = ShortcutTarget(MenuFolder() / L"Orvaneファイル転送.lnk");
  EXPECT_EQ(Lower(target), Lower((InstallFolder() / L"OrvaneFts.exe").wstring()));
  if (target.empty()) return {};
  RunningProgram program(target, L"");
  HWND forward = program.Window(kForwardCaption);
  if (forward == nullptr) return {};
  RunningProgram::Click(forward, IDC_CMD_HISTORY);
  if (HWND history = program.Window(kHistoryCaption)) {
    const history_testing::RemoteListView rows(GetDlgItem(history, IDC_LVW_HISTORY));
    EXPECT_TRUE(WaitFor([&] { return rows.Rows() == 1; }, 10)) << rows.Rows();
    EXPECT_EQ(rows.Cell(0, 1), L"山田(yamada@example.com)");
    RunningProgram::Dismiss(history, IDC_CMD_HISTORY_CLOSE);
  }
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  EXPECT_EQ(NextMessage(program.Id()), L"ファイル転送先を設定して下さい。");

  for (const Sent& file : files) {
    const std::u16string path = folder / file.name;
    EXPECT_TRUE(forward_driver::AddFile(program, forward, std::wstring(path.begin(), path.end())));
  }
  EXPECT_TRUE(forward_driver::AddRecipient(program, forward, L"鈴木", L"suzuki@example.jp"));
  Type(GetDlgItem(forward, IDC_TXT_MSG), L"録音とメモです。");
  const Stored before = StoredForwards();
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  if (HWND upload = program.Window(forward_driver::kUploadCaption)) {
    EXPECT_EQ(NextMessage(program.Id()), L"完了しました。");
    RunningProgram::WaitHidden(upload);
  }
  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());

  std::string sent;
  for (const auto& [id, stored] : StoredForwards()) {
    if (before.count(id)) continue;
    EXPECT_TRUE(sent.empty()) << "one forward, stored twice";
    sent = id;
    // A recording travels as a TTA file; every other file as it is.
    EXPECT_EQ(stored.size(), files.size());
    for (size_t i = 0; i < std::min(stored.size(), files.size()); ++i) {
      if (files[i].name.ends_with(u".wav")) {
        EXPECT_EQ(stored[i].substr(0, 4), "TTA1") << i;
      } else {
        EXPECT_EQ(stored[i], files[i].bytes) << i;
      }
    }
  }
  return sent;
}

struct DialogSearch {
  DWORD processId;
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner != search->processId || !IsWindowVisible(window) ||
      std::wstring(className) != L"#32770" || MessageText(window) != search->text) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// The visible dialog of `processId` that says `text`, waited for.
HWND WaitForDialogOf(DWORD processId, const std::wstring& text) {
  DialogSearch search{processId, text};
  WaitFor(
      [&] {
        EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      30);
  return search.found;
}

// Opens `descriptor` as Explorer (and `wine start`) does and expects the program to take it:
// with the download library installed, its download window opens and asks for a folder, and
// `files` arrive there, the recording as the WAV file it was; without the library the program
// still finds the file (no "not found" message) and ends.
void OpenThroughAssociation(const std::wstring& descriptor, const std::vector<Sent>& files,
                            bool withDownload) {
  HANDLE process = Open(descriptor);
  ASSERT_NE(process, nullptr) << "no program opens .ofts files";
  const DWORD processId = GetProcessId(process);
  if (withDownload) {
    EXPECT_TRUE(WaitFor([&] { return WindowOf(processId, kDownloadCaption) != nullptr; }, 30))
        << "the download window did not open";
    DesktopFolder folder;
    if (HWND browser = WaitForDialogOf(processId, L"フォルダを選択して下さい")) {
      ChooseByTyping(browser, processId, folder.name());
      EXPECT_EQ(NextMessage(processId), L"ダウンロードが完了しました。");
      EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    } else {
      ADD_FAILURE() << "no folder was asked for";
    }
    std::set<std::wstring> arrived;
    for (const auto& item : fs::directory_iterator(folder.path())) {
      arrived.insert(item.path().filename().wstring());
    }
    EXPECT_EQ(arrived, (std::set<std::wstring>{L"録音.wav", L"メモ.txt"}));
    for (size_t i = 0; i < files.size(); ++i) {
      EXPECT_TRUE(ReadFile(folder.path() / files[i].name) == files[i].bytes) << "file " << i;
    }
  } else {
    bool refused = false;
    EXPECT_TRUE(WaitFor(
        [&] {
          refused = refused || WindowOf(processId, kMessageCaption) != nullptr;
          return refused || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        30));
    EXPECT_FALSE(refused) << "the program did not find the descriptor it was given";
  }
  TerminateProcess(process, 0);
  CloseHandle(process);
}

void ExpectNothingOfOursInTheRegistry() {
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Zorvex.1"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Zorvex"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".ofts"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"OrvaneFts.ofts"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  for (const wchar_t* name : {L"FileTransUrl", L"SaveSizeUrl", L"HistoryUrl"}) {
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kSettingsKey, name), L"<absent>") << name;
    EXPECT_EQ(MachineAddress(name), L"<absent>") << name;
  }
}

class Setup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }
  static void TearDownTestSuite() { CoUninitialize(); }
};

TEST_F(Setup, TakesTheServerFromItsOptionsAndRefusesAnAddressTheProgramWouldTakeForNone) {
  // The saved-size address, the longest of the three, 128 bytes: one more than the program reads.
  const std::wstring server = L"http://127.0.0.1:8480/" + std::wstring(97, L'a');
  EXPECT_EQ(Install(L"/SERVER=" + server), 2u);
  EXPECT_FALSE(fs::exists(InstallFolder()));
  EXPECT_EQ(MachineAddress(L"FileTransUrl"), L"<absent>");
  EXPECT_EQ(Install(L"/HISTORYURL="), 2u);
  EXPECT_FALSE(fs::exists(InstallFolder()));
  // The queries speak HTTP only; the upload may go by FTP as well.
  EXPECT_EQ(Install(L"/SAVESIZEURL=ftp://127.0.0.1/s"), 2u);
  EXPECT_EQ(Install(L"/FILETRANSURL=htp://127.0.0.1/u"), 2u);
  EXPECT_FALSE(fs::exists(InstallFolder()));

  // 127 bytes are read whole, so the installer takes them (quoted or not); an address of its own
  // replaces the one made from the server.
  const std::wstring longest = L"http://127.0.0.1:8480/" + std::wstring(96, L'a');
  EXPECT_EQ(Install(L"/SERVER=\"" + longest + L"\" /HISTORYURL=HTTPS://127.0.0.1:9191/h"), 0u);
  EXPECT_EQ(MachineAddress(L"FileTransUrl"), longest + L"/upload");
  EXPECT_EQ(MachineAddress(L"SaveSizeUrl"), longest + L"/savesize");
  EXPECT_EQ(MachineAddress(L"HistoryUrl"), L"HTTPS://127.0.0.1:9191/h");
  ASSERT_TRUE(Uninstall());
}

// A setup whose upload control does not register (scripts/test-installer makes one) leaves
// nothing behind: no program files, no uninstaller without its entry, no addresses.
TEST_F(Setup, AControlThatDoesNotRegisterUndoesTheCopy) {
  EXPECT_EQ(Install(L"", SetupPath(L"ORVANE_BROKEN_SETUP")), 3u);
  EXPECT_FALSE(fs::exists(InstallFolder().parent_path())) << "files of the failed install stay";
  EXPECT_FALSE(fs::exists(MenuFolder()));
  ExpectNothingOfOursInTheRegistry();
}

TEST_F(Setup, UninstallLeavesNoTrace) {
  ASSERT_EQ(Install(), 0u);
  ASSERT_TRUE(fs::exists(InstallFolder() / L"OrvaneFts.exe"));
  ASSERT_TRUE(Uninstall());
  EXPECT_FALSE(fs::exists(InstallFolder().parent_path())) << "the Halvik folder stays";
  EXPECT_FALSE(fs::exists(MenuFolder()));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Halvik"));
  ExpectNothingOfOursInTheRegistry();
}

TEST_F(Setup, InstallOpenDescriptorUninstall) {
  const bool withDownload = Environment(L"ORVANE_EXPECT_PARVEK") == L"1";
  const std::wstring defaultServer = Environment(L"ORVANE_SETUP_SERVER");
  ASSERT_FALSE(defaultServer.empty());
  SetValue(HKEY_LOCAL_MACHINE, kHostKey, L"ProductID", L"HOST-0001");

  ASSERT_EQ(Install(), 0u);
  const fs::path folder = InstallFolder();
  for (const wchar_t* name : {L"OrvaneFts.exe", L"Zorvel.dll", L"TTA_VB.dll", L"Uninstall.exe"}) {
    EXPECT_TRUE(fs::exists(folder / name)) << fs::path(name).string();
  }
  EXPECT_EQ(fs::exists(folder / L"Parvek.dll"), withDownload);
  EXPECT_EQ(MachineAddress(L"FileTransUrl"), defaultServer + L"/upload");

  // Installing again over it, for the test's own orvane-server, replaces the addresses.
  const std::u16string url = history_testing::ServerUrl();
  const std::wstring server(url.begin(), url.end());
  ASSERT_FALSE(server.empty()) << "scripts/test-installer names the server";
  ASSERT_EQ(Install(L"/SERVER=" + server), 0u);
  EXPECT_EQ(MachineAddress(L"FileTransUrl"), server + L"/upload");
  EXPECT_EQ(MachineAddress(L"SaveSizeUrl"), server + L"/savesize");
  EXPECT_EQ(MachineAddress(L"HistoryUrl"), server + L"/history");
  // The program is used by another account of the PC than the one that ran the setup: it has no
  // addresses of its own.
  for (const wchar_t* name : {L"FileTransUrl", L"SaveSizeUrl", L"HistoryUrl"}) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
  }

  // The control is registered from the program folder and can be created by its class name.
  const std::wstring clsid = Value(HKEY_CLASSES_ROOT, L"Zorvex.1\\CLSID");
  EXPECT_EQ(clsid, L"{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}");
  EXPECT_EQ(Lower(Value(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32")),
            Lower((folder / L"Zorvel.dll").wstring()));
  CLSID classId = {};
  ASSERT_EQ(CLSIDFromProgID(L"Zorvex.1", &classId), S_OK);
  IDispatch* control = nullptr;
  EXPECT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&control)),
            S_OK);
  if (control) control->Release();
  CoFreeUnusedLibrariesEx(0, 0);

  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L".ofts"), L"OrvaneFts.ofts");
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"OrvaneFts.ofts\\shell\\open\\command"),
            L"\"" + (folder / L"OrvaneFts.exe").wstring() + L"\" %1");
  EXPECT_TRUE(fs::exists(MenuFolder() / L"Orvaneファイル転送.lnk"));
  // The guide opens from its own entry, every picture the package carried beside it.
  EXPECT_EQ(Lower(ShortcutTarget(MenuFolder() / L"ユーザーガイド.lnk")),
            Lower((folder / L"guide" / L"user-guide.html").wstring()));
  const fs::path guide = SetupPath(L"ORVANE_GUIDE");
  EXPECT_TRUE(fs::exists(guide / L"user-guide.html"));
  for (const auto& built : fs::recursive_directory_iterator(guide)) {
    EXPECT_TRUE(fs::exists(folder / L"guide" / fs::relative(built.path(), guide)))
        << built.path().string();
  }
  // The host product's identifier is its own business.
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kHostKey, L"ProductID"), L"HOST-0001");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvik\\ORVANE\\V02"));

  ASSERT_TRUE(history_testing::StoreForward(
      "HOST-0001", {{"\x8e\x52\x93\x63", "yamada@example.com"}}, {{"a.txt", "abc"}}));
  // The sender's name, as the user set it once (the uninstall leaves it).
  SetValue(HKEY_CURRENT_USER, kSettingsKey, L"SendName", L"山田");
  TempFolder sent;
  const std::vector<Sent> files = {{u"録音.wav", wave_bytes::RampWave(44100)},
                                   {u"メモ.txt", "\x96\x7b\x95\xb6\r\n"}};  // 本文
  for (const Sent& file : files) WriteBytes(sent / file.name, file.bytes);
  const std::string forwardId = ForwardFromStartMenu(sent, files);
  ASSERT_FALSE(forwardId.empty()) << "the forward did not reach the server";

  {
    // The forward's descriptor saved from the mail, in a folder whose name has a blank in it.
    const std::string descriptorText = history_testing::Get("/ofts/" + forwardId + ".ofts");
    ASSERT_NE(descriptorText.find("/files/" + forwardId + "/"), std::string::npos)
        << descriptorText;
    TempFolder temp;
    const fs::path received = fs::path(temp.path()) / L"受信 ファイル";
    fs::create_directory(received);
    const fs::path descriptor = received / L"転送 1.ofts";
    WriteFile(descriptor, descriptorText);
    OpenThroughAssociation(descriptor.wstring(), files, withDownload);
  }

  // What the user made while using the program.
  const std::string book = "\x8e\x52\x93\x63,yamada@example.com\r\n";
  WriteFile(folder / L"address.dat", book);

  ASSERT_TRUE(Uninstall());
  for (const wchar_t* name : {L"OrvaneFts.exe", L"Zorvel.dll", L"TTA_VB.dll", L"Parvek.dll",
                              L"Uninstall.exe", L"guide"}) {
    EXPECT_FALSE(fs::exists(folder / name)) << fs::path(name).string();
  }
  EXPECT_EQ(ReadFile(folder / L"address.dat"), book);
  EXPECT_FALSE(fs::exists(MenuFolder()));
  ExpectNothingOfOursInTheRegistry();
  EXPECT_EQ(Value(HKEY_CURRENT_USER, kSettingsKey, L"SendName"), L"山田");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kHostKey, L"ProductID"), L"HOST-0001");
}

}  // namespace
