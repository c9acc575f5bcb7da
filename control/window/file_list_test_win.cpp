// The file list of a hosted control: entries written to FilePath, read back, deleted and
// dropped from the shell.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "base/com_object_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"
#include "control/window/drop_target_win.h"

namespace zorvel::testing {
namespace {

class FileListTest : public ::testing::Test {
 protected:
  ControlClassScope scope_;
  TempFiles files_;
  HostedControl control_;
};

// An empty entry would name the current folder, or the drive's root after a full path.
TEST_F(FileListTest, EmptyEntriesAddNothing) {
  const std::string a = files_.Write("a.wav", 200);
  files_.Write("other.wav", 10);
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(files_.Folder().c_str());
  for (const char* text : {"", ";", ";;", "|alias"}) {
    control_.Put(kFilePath, text);
    EXPECT_EQ(control_.GetNumber(kCount), 0) << "\"" << text << "\"";
  }
  control_.Put(kFilePath, a + ";;a.wav;");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(control_.ListEntries(), std::vector<std::string>{a});
}

TEST_F(FileListTest, BareNamesUseTheFolderOfTheEntryBefore) {
  const std::string b = files_.Write("b.wav", 300);
  const std::string a = files_.Write("a.wav", 200);
  control_.Put(kFilePath, b + ";a.wav");
  EXPECT_EQ(control_.ListEntries(), (std::vector<std::string>{a, b})) << "sorted";
  EXPECT_EQ(control_.GetNumber(kCount), 2);
  EXPECT_EQ(control_.GetNumber(kSize), 500);

  // Reading FilePath gives the entries in list order and leaves the last one selected.
  VARIANT entries = control_.Get(kFilePath);
  ASSERT_EQ(entries.vt, VT_ARRAY | VT_VARIANT);
  LONG upper = -1;
  SafeArrayGetUBound(entries.parray, 1, &upper);
  EXPECT_EQ(upper, 1);
  VariantClear(&entries);
  EXPECT_EQ(SendMessageW(control_.Item(IDC_FILELIST), LB_GETCURSEL, 0, 0), 1);
}

TEST_F(FileListTest, DuplicatesByPrefixAreSkippedSilently) {
  const std::string a = files_.Write("a.wav", 10);
  control_.Put(kFilePath, a + "|first.wav");
  control_.Put(kFilePath, a);
  control_.Put(kFilePath, a + "|second.wav");
  EXPECT_EQ(control_.ListEntries(), std::vector<std::string>{a + "|first.wav"});
  std::string upper = a;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  control_.Put(kFilePath, upper);
  EXPECT_EQ(control_.GetNumber(kCount), 1);
  EXPECT_EQ(control_.Object().StatusText, "");
}

TEST_F(FileListTest, FoldersAndPatternsSkipEmptyAndDotFiles) {
  files_.MakeFolder("rec");
  files_.MakeFolder("rec\\sub");
  const std::string x = files_.Write("rec\\x.wav", 10);
  const std::string y = files_.Write("rec\\y.txt", 20);
  files_.Write("rec\\empty.wav", 0);
  files_.Write("rec\\.hidden", 5);
  files_.Write("rec\\sub\\deep.wav", 5);
  control_.Put(kFilePath, files_.Folder() + "\\rec\\|up_");
  EXPECT_EQ(control_.ListEntries(), (std::vector<std::string>{x + "|up_x.wav", y + "|up_y.txt"}));
  EXPECT_EQ(control_.GetNumber(kSize), 30);

  control_.Call(16);
  control_.Put(kFilePath, files_.Folder() + "\\rec\\*.txt");
  EXPECT_EQ(control_.ListEntries(), std::vector<std::string>{y});
}

TEST_F(FileListTest, ProblemsStopAddingAndShowInTheStatus) {
  const std::string small = files_.Write("small.wav", 100);
  const std::string big = files_.Write("big.wav", 2000);
  const std::string empty = files_.Write("empty.wav", 0);
  control_.Put(kMaxSize, 1L);
  control_.Put(kFilePath, small + ";big.wav;later.wav");
  EXPECT_EQ(control_.ListEntries(), std::vector<std::string>{small});
  EXPECT_EQ(control_.Object().StatusText,
            "\x83t\x83@\x83"
            "C\x83\x8B\x83T\x83"
            "C\x83Y\x83I\x81[\x83o\x81[ 1KB")
      << "string 116 filled with MaxSize in kilobytes";
  EXPECT_EQ(control_.GetNumber(kCount), 1);

  control_.Put(kMaxSize, 0L);
  control_.Put(kFilePath, empty + ";" + big);
  char expected[512];
  std::snprintf(expected, sizeof expected, LoadAnsiString(IDS_EMPTY_FILE).c_str(), empty.c_str());
  EXPECT_EQ(control_.Object().StatusText, expected);
  EXPECT_EQ(control_.GetNumber(kCount), 1) << "adding stopped at the empty file";

  control_.Put(kFilePath, big);
  EXPECT_EQ(control_.GetNumber(kCount), 2);
  EXPECT_EQ(control_.Object().StatusText, "") << "a complete addition empties the status";
}

TEST_F(FileListTest, AliasesUnderEachCharset) {
  files_.MakeFolder("jp");
  const std::string japanese = files_.Write("jp\\\x82\xA0.wav", 10);  // あ.wav
  const std::string ascii = files_.Write("jp\\plain.wav", 10);
  control_.Put(kCharset, "utf8");
  control_.Put(kFilePath, japanese + ";plain.wav");
  EXPECT_EQ(control_.ListEntries(),
            (std::vector<std::string>{ascii, japanese + "|\xE3\x81\x82.wav"}));

  control_.Call(16);
  control_.Put(kCharset, "euc");
  control_.Put(kFilePath, japanese + "|x_%e");
  control_.Put(kFilePath, ascii + "|%s.up");
  EXPECT_EQ(control_.ListEntries(),
            (std::vector<std::string>{ascii + "|plain.wav.up", japanese + "|x_\xA4\xA2.wav"}));

  control_.Call(16);
  control_.Put(kCharset, "jis");
  control_.Put(kFilePath, japanese);
  EXPECT_EQ(control_.ListEntries(),
            std::vector<std::string>{japanese + "|\x1B$B\x24\x22\x1B(J.wav"});
}

TEST_F(FileListTest, CountSizeAndDeletingByDoubleClick) {
  files_.Write("a.wav", 100);
  files_.Write("b.wav", 150);
  files_.Write("c.wav", 250);
  control_.Put(kFilePath, files_.Folder() + "\\a.wav;b.wav;c.wav");
  EXPECT_EQ(control_.Object().Window().FileCountText(),
            "\x83t\x83@\x83"
            "C\x83\x8B\x90\x94\x81\x46 3    1KB");
  EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(control_.Item(IDC_START)) != FALSE; }, 2000))
      << "the repaint after FilePath enables Start";

  HWND list = control_.Item(IDC_FILELIST);
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  SendMessageW(control_.Window(), WM_COMMAND, MAKEWPARAM(IDC_FILELIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(control_.GetNumber(kCount), 2);
  EXPECT_EQ(control_.GetNumber(kSize), 350);
  EXPECT_EQ(control_.ListEntries().size(), 2u);
}

// A shell file list as the shell offers it when files are dragged.
class FileDropData final : public base::OwnedComObject<IDataObject> {
 public:
  explicit FileDropData(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    names += '\0';
    drop_ = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop_));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(drop_);
  }
  ~FileDropData() { GlobalFree(drop_); }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return base::QueryInterfaceFrom({{IID_IDataObject, this}}, riid, object);
  }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    const SIZE_T size = GlobalSize(drop_);
    HGLOBAL copy = GlobalAlloc(GHND, size);
    memcpy(GlobalLock(copy), GlobalLock(drop_), size);
    GlobalUnlock(copy);
    GlobalUnlock(drop_);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL)
               ? S_OK
               : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  HGLOBAL drop_;
};

POINTL CentreOf(HWND item) {
  RECT rect;
  GetWindowRect(item, &rect);
  return POINTL{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Enter, over and drop at one place; the effect the drop answered.
DWORD DragTo(IDropTarget* target, IDataObject* data, POINTL at) {
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(data, MK_LBUTTON, at, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragOver(MK_LBUTTON, at, &effect);
  if (effect == DROPEFFECT_NONE) {
    target->DragLeave();
    return effect;
  }
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->Drop(data, MK_LBUTTON, at, &effect);
  return effect;
}

TEST_F(FileListTest, DroppedFilesAreTakenOnTheListOnly) {
  SetForegroundWindow(control_.Host());
  const std::string a = files_.Write("a.wav", 10);
  files_.MakeFolder("folder");
  const std::string b = files_.Write("folder\\b.wav", 20);
  FileDropData data({a, files_.Folder() + "\\folder"});
  DropTarget* target = new DropTarget(control_.Window());

  EXPECT_EQ(DragTo(target, &data, CentreOf(control_.Item(IDC_START))), DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(DragTo(target, &data, CentreOf(control_.Item(IDC_SECOND))), DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(control_.GetNumber(kCount), 0);

  EXPECT_EQ(DragTo(target, &data, CentreOf(control_.Item(IDC_FILELIST))), DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(control_.ListEntries(), (std::vector<std::string>{a, b}));
  EXPECT_TRUE(IsWindowEnabled(control_.Item(IDC_START)));

  // Nothing is taken while a run is in progress.
  control_.Object().Busy = true;
  FileDropData more({files_.Write("c.wav", 5)});
  EXPECT_EQ(DragTo(target, &more, CentreOf(control_.Item(IDC_FILELIST))), DWORD{DROPEFFECT_NONE});
  control_.Object().Busy = false;
  EXPECT_EQ(control_.GetNumber(kCount), 2);

  // A locked (disabled) or hidden list is no drop place either.
  const POINTL listCentre = CentreOf(control_.Item(IDC_FILELIST));
  control_.Put(10, 4L);
  EXPECT_EQ(DragTo(target, &more, listCentre), DWORD{DROPEFFECT_NONE});
  control_.Put(10, 0L);
  control_.Put(11, 4L);
  EXPECT_EQ(DragTo(target, &more, listCentre), DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(control_.GetNumber(kCount), 2);
  target->Release();
}

// The shell's names are whole: a ";" in one does not make two entries of it.
TEST_F(FileListTest, ADroppedNameIsOneEntry) {
  SetForegroundWindow(control_.Host());
  const std::string named = files_.Write("a;b.wav", 10);
  files_.Write("b.wav", 10);
  FileDropData data({named});
  DropTarget* target = new DropTarget(control_.Window());
  EXPECT_EQ(DragTo(target, &data, CentreOf(control_.Item(IDC_FILELIST))), DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(control_.ListEntries(), std::vector<std::string>{named});
  target->Release();
}

// The drop dispatches messages between its files; the host's code run there may let the
// control go, which then goes once the drop has ended.
TEST_F(FileListTest, ADropThatLetsTheControlGo) {
  SetForegroundWindow(control_.Host());
  FileDropData data({files_.Write("a.wav", 10), files_.Write("b.wav", 10)});
  DropTarget* target = new DropTarget(control_.Window());
  const POINTL listCentre = CentreOf(control_.Item(IDC_FILELIST));
  PumpUntil([] { return false; }, 100);
  const long before = LiveObjects();
  long liveInAction = 0;
  PostHostAction([&] {
    control_.Close();
    liveInAction = LiveObjects();
  });
  EXPECT_EQ(DragTo(target, &data, listCentre), DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(liveInAction, before) << "held until the drop has ended";
  EXPECT_EQ(LiveObjects(), before - 1) << "and freed afterwards";
  target->Release();
}

}  // namespace
}  // namespace zorvel::testing
