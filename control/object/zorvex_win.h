// The Zorvex control object: the COM class behind IZorvex, its events, persistence and
// in-place activation, and the state that the window, the run and the engines share.
#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <string>

#include "base/com_object_win.h"
#include "control/object/event_source_win.h"
#include "control/object/property_text.h"
#include "control/object/upload_entry_win.h"
#include "control/object/upload_run_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/window/control_window_win.h"

class SocketConnection;

namespace zorvel {

enum class ButtonMode { kClear, kCancel };

class Zorvex final
    : public base::ComObject<IZorvex, IViewObjectEx, IOleInPlaceObjectWindowless,
                             IOleInPlaceActiveObject, IOleControl, IOleObject, IPersistStreamInit,
                             ISupportErrorInfo, IConnectionPointContainer, IPersistPropertyBag,
                             IProvideClassInfo2, IPersistStorage, ISpecifyPropertyPages>,
      public UploadSettings,
      public RunState {
 public:
  explicit Zorvex(UploadEngines engines);
  ~Zorvex() override;

  // State shared with the window and the run; what the engines see is in the bases. Texts are
  // ANSI bytes.
  std::string FilePathText;
  // A browser hosts the control but its page address could not be read, or was too long to
  // keep: such a page counts as foreign. PageShown is what the confirmation names then.
  bool PageUnknown = false;
  std::string PageShown;
  std::string TextColorText, BackColorText = "#c0c0c0", BarColorText;
  Rgb TextRgb = 0;
  Rgb BackRgb;
  long BarRgb = -1;
  long PageBackRgb = -1, PageTextRgb = -1;
  std::string CharsetText;
  int CharsetCode = 0;
  long Size = 0;
  long Lock = 0, Hide = 0, TransParent = 0, AutoStart = 0;
  long BarHeight = -1, BarWidth = -1;
  std::string TargetText;
  ButtonMode ButtonMode = ButtonMode::kClear;
  bool Busy = false;
  SocketConnection* ActiveConnection = nullptr;

  ControlWindow& Window() { return window_; }
  EventSource& Events() { return events_; }
  IOleClientSite* ClientSite() const { return clientSite_.Get(); }

  // The run sequence and its companions (run_win.cpp).
  void Run();
  void CancelRun();
  void ClearList();
  void ScheduleAutoStart();
  void CancelAutoStart();
  void LogLine(std::string_view text);

  // IUnknown (the references are counted by ComObject)
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // IZorvex
  STDMETHODIMP get_FilePath(VARIANT* value) override;
  STDMETHODIMP put_FilePath(BSTR value) override;
  STDMETHODIMP get_URL(BSTR* value) override;
  STDMETHODIMP put_URL(BSTR value) override;
  STDMETHODIMP get_Para1(BSTR* value) override;
  STDMETHODIMP put_Para1(BSTR value) override;
  STDMETHODIMP get_MaxSize(LONG* value) override;
  STDMETHODIMP put_MaxSize(LONG value) override;
  STDMETHODIMP get_Proxy(BSTR* value) override;
  STDMETHODIMP put_Proxy(BSTR value) override;
  STDMETHODIMP get_ProxyAuth(BSTR* value) override;
  STDMETHODIMP put_ProxyAuth(BSTR value) override;
  STDMETHODIMP get_Auth(BSTR* value) override;
  STDMETHODIMP put_Auth(BSTR value) override;
  STDMETHODIMP get_Para2(BSTR* value) override;
  STDMETHODIMP put_Para2(BSTR value) override;
  STDMETHODIMP get_Para3(BSTR* value) override;
  STDMETHODIMP put_Para3(BSTR value) override;
  STDMETHODIMP get_Lock(LONG* value) override;
  STDMETHODIMP put_Lock(LONG value) override;
  STDMETHODIMP get_Hide(LONG* value) override;
  STDMETHODIMP put_Hide(LONG value) override;
  STDMETHODIMP Start(LONG* value) override;
  STDMETHODIMP get_Count(LONG* value) override;
  STDMETHODIMP get_Size(LONG* value) override;
  STDMETHODIMP Cancel(LONG* value) override;
  STDMETHODIMP Clear(LONG* value) override;
  STDMETHODIMP get_Passive(LONG* value) override;
  STDMETHODIMP put_Passive(LONG value) override;
  STDMETHODIMP get_AscExt(BSTR* value) override;
  STDMETHODIMP put_AscExt(BSTR value) override;
  STDMETHODIMP get_TransParent(LONG* value) override;
  STDMETHODIMP put_TransParent(LONG value) override;
  STDMETHODIMP get_TextColor(BSTR* value) override;
  STDMETHODIMP put_TextColor(BSTR value) override;
  STDMETHODIMP get_BackColor(BSTR* value) override;
  STDMETHODIMP put_BackColor(BSTR value) override;
  STDMETHODIMP get_BarColor(BSTR* value) override;
  STDMETHODIMP put_BarColor(BSTR value) override;
  STDMETHODIMP get_Result(LONG* value) override;
  STDMETHODIMP get_HTMLResult(BSTR* value) override;
  STDMETHODIMP Debug(VARIANT data) override;
  STDMETHODIMP DebugClear() override;
  STDMETHODIMP get_ProxyFtp(BSTR* value) override;
  STDMETHODIMP put_ProxyFtp(BSTR value) override;
  STDMETHODIMP get_BarHeight(LONG* value) override;
  STDMETHODIMP put_BarHeight(LONG value) override;
  STDMETHODIMP get_BarWidth(LONG* value) override;
  STDMETHODIMP put_BarWidth(LONG value) override;
  STDMETHODIMP get_AutoStart(LONG* value) override;
  STDMETHODIMP put_AutoStart(LONG value) override;
  STDMETHODIMP get_Charset(BSTR* value) override;
  STDMETHODIMP put_Charset(BSTR value) override;

  // IViewObject, IViewObject2, IViewObjectEx
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                    HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                    BOOL(STDMETHODCALLTYPE* continueFunction)(ULONG_PTR),
                    ULONG_PTR continueArg) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                           HDC targetDc, LOGPALETTE** colours) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;
  STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
  STDMETHODIMP GetViewStatus(DWORD* status) override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint,
                             DWORD* hitResult) override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint,
                            DWORD* hitResult) override;
  STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDc,
                                DVEXTENTINFO* extentInfo, LPSIZEL size) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  STDMETHODIMP OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* result) override;
  STDMETHODIMP GetDropTarget(IDropTarget** target) override;

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* message) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR application, LPCOLESTR object) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IProvideClassInfo, IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override;

 private:
  HRESULT ActivateInPlace(bool uiActivate);
  bool ConfirmForeignPage();
  void EndAsCancelled();
  static void CancelOnQuit(void* context);

  const UploadEngines engines_;
  EventSource events_;
  ControlWindow window_;
  base::ComPtr<IOleClientSite> clientSite_;
  base::ComPtr<IOleInPlaceSite> inPlaceSite_;
  base::ComPtr<IOleAdviseHolder> adviseHolder_;
  base::ComPtr<IAdviseSink> viewSink_;
  base::ComPtr<ITypeInfo> typeInfo_;
  SIZEL extent_;
  bool uiActive_ = false;
};

}  // namespace zorvel
