// The container side of an ActiveX control: a client site with in-place site and frame, the
// ambient properties a control asks for, and the control's creation by ProgID. The upload
// window hosts the Zorvel control with it.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>

#include "base/com_object_win.h"

class ActiveXSite final : public base::ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                                 base::UntypedDispatch<>, IServiceProvider> {
 public:
  // Creates the control of `progId` as a child of `parent` in `position` (client coordinates)
  // and activates it in place. `services`, when given, answers the control's service queries
  // (a browser host offers the web browser there); `parameters`, when given, initialise the
  // control as a page's PARAM values do. The site comes back with one reference.
  static HRESULT Create(HWND parent, const RECT& position, const wchar_t* progId,
                        IServiceProvider* services, IPropertyBag* parameters, ActiveXSite** site);

  // The control's dispatch interface (no reference added); null after Close.
  IDispatch* Control() const { return control_.Get(); }
  // The control's own window while it is active in place.
  HWND ControlWindow() const;
  // Deactivates and releases the control.
  void Close();

  // IUnknown (the references are counted by ComObject)
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  // IOleClientSite
  STDMETHODIMP SaveObject() override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override;
  STDMETHODIMP OnShowWindow(BOOL show) override;
  STDMETHODIMP RequestNewObjectLayout() override;
  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override;
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE extent) override;
  STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override;
  STDMETHODIMP DeactivateAndUndo() override;
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;
  // IOleInPlaceUIWindow, IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT border) override;
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
  STDMETHODIMP InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths) override;
  STDMETHODIMP SetMenu(HMENU menu, HOLEMENU oleMenu, HWND activeObject) override;
  STDMETHODIMP RemoveMenus(HMENU menu) override;
  STDMETHODIMP SetStatusText(LPCOLESTR text) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;
  STDMETHODIMP TranslateAccelerator(LPMSG message, WORD id) override;
  // IDispatch: the ambient properties
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;
  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** object) override;

 private:
  ActiveXSite(HWND parent, const RECT& position, IServiceProvider* services);
  ~ActiveXSite() override;

  HWND parent_;
  RECT position_;
  base::ComPtr<IServiceProvider> services_;
  base::ComPtr<IDispatch> control_;
  base::ComPtr<IOleObject> object_;
  base::ComPtr<IOleInPlaceActiveObject> activeObject_;
};
