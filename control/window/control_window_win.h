// The control's own window: a child dialog with the file list, the two buttons, the progress
// bar and five text areas the control draws itself.
#pragma once

#include <exdisp.h>
#include <shellapi.h>
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/com_object_win.h"
#include "control/window/drop_target_win.h"
#include "control/window/file_entry_text.h"
#include "control/window/progress_text.h"
#include "control/window/window_pacer.h"

namespace zorvel {

class Zorvex;

// Private messages of the control window.
inline constexpr UINT WM_DROP_NOTIFY = WM_APP + 100;
inline constexpr UINT WM_UPLOAD_LOG = WM_APP + 102;

inline constexpr UINT_PTR kAutoStartTimer = 10;

enum class TextArea { kStatus, kFileCount, kEndTime, kRemain, kTarget };

// What the drop target hands the window with WM_DROP_NOTIFY.
struct DropNotice {
  const POINTL* cursor;
  DWORD effect;
  DWORD keyState;
  UINT format;
  HDROP files;
  IDataObject* data;
};

// Lock and Hide bits.
inline constexpr long kStartBit = 1, kSecondBit = 2, kListBit = 4, kBarBit = 8;

class ControlWindow {
 public:
  explicit ControlWindow(Zorvex& control) : control_(control) {}
  ~ControlWindow();
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  // Creates the window from its template as a child of `parent`; runs the creation sequence.
  HWND Create(HWND parent);
  void Destroy();
  bool Exists() const { return window_ != nullptr; }
  HWND Handle() const { return window_; }
  HWND List() const { return list_; }
  HWND StartButton() const { return start_; }
  HWND SecondButton() const { return second_; }
  HWND ProgressBar() const { return bar_; }

  void DrawLabel(TextArea area, std::string_view text);
  void UpdateFileCount();
  // The FILECOUNT area's text: Count and the total in kilobytes (at least 1 for any file).
  std::string FileCountText() const;
  void AddFileEntries(std::string_view listText);
  // A path the shell dropped: one entry, whatever characters its name holds (";" among them).
  void AddDroppedFile(const std::string& path);
  // The list entries' texts in list order; selects each in turn (the last stays selected).
  std::vector<std::string> ReadEntries();
  void EmptyList();
  // Single entries for the upload run, which reads the list with its redrawing suspended and
  // selects each entry as its file goes out.
  int EntryCount() const;
  std::string EntryText(int index) const;
  void SelectEntry(int index);
  void SuspendListRedraw(bool suspend);

  // Enables an item unless its Lock bit is set; disabling always happens.
  void EnableItem(HWND item, long lockBit, bool enable);
  void ApplyLock();
  void ApplyHide();
  void ApplyTransParent(long newValue);
  void ResizeBar();
  void SetBarColour();
  void Repaint();
  // The FTP upload resets its progress counters when it begins sending.
  void ResetFtpProgress();
  // The FTP data connection's notice of a block that went, with the bytes sent so far in the
  // run; `moreFollow` while notices of the same write follow at once (the progress texts then
  // wait for the last of them, or for anything that would show them). A direct call rather than
  // a sent message: one comes every 8760 bytes, and under Wine a sent message is a trip through
  // the system and back into the program.
  void NoteUploadProgress(long bytesSent, bool moreFollow);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  void ReadBrowserHost();
  void ResolveRelativeUrl();
  void OnEraseBackground(HDC dc);
  void OnCommand(WORD id, WORD notification);
  void DeleteSelectedEntry();
  void OnDropNotice(WPARAM phase, DropNotice* notice);
  void SettleFtpProgress();
  void OnRightButtonUp();
  void OnDestroy();
  void HideList();
  void FillBackground(HDC dc, const RECT& rect);
  // False when adding has to stop (the problem is in the Status area).
  bool AddOneEntry(const std::string& entry, EntryResolver& resolver);
  bool AddNamedFile(const std::string& path, const std::optional<std::string>& alias);
  bool AddFolder(const std::string& path, const std::optional<std::string>& alias,
                 bool isDirectory);
  bool WouldExceedMaxSize(long long size);
  void AddEntry(const std::string& text, long long size);
  void ShowStatus(UINT format, std::string_view path);
  bool IsListed(std::string_view path);

  Zorvex& control_;
  HWND window_ = nullptr;
  HWND list_ = nullptr, start_ = nullptr, second_ = nullptr, bar_ = nullptr;
  RECT areas_[5] = {};
  std::string fileCountFormat_, endTimeFormat_;
  base::ComPtr<IWebBrowser2> browser_;
  base::ComPtr<DropTarget> dropTarget_;
  UINT dragFormat_ = 0;
  bool listMoved_ = false;
  long ftpPending_ = 0, ftpPrevious_ = 0, ftpSteps_ = 0;
  // By the tick count: the clock of the day costs a call into the system at every notice.
  DWORD ftpStartTick_ = 0;
  WindowPacer ftpPacer_;
  ProgressFigures ftpFigures_;
  std::string ftpRemainDrawn_;  // the endtime text on screen
};

}  // namespace zorvel
