// The dispatch identifiers of the Zorvex control: its members (IZorvex) and its events
// (_IZorvexEvents). The type library takes its numbers from here (zorvel.idl imports this file),
// so a caller that invokes the control by number and the control's own dispatch cannot disagree.
// widl reads the part outside __cplusplus; C++ reads the same list inside the zorvel namespace.
#ifndef ZORVEL_OBJECT_ZORVEX_DISPID_WIN_H_
#define ZORVEL_OBJECT_ZORVEX_DISPID_WIN_H_

#ifdef __cplusplus
#include <oaidl.h>
#include <windows.h>

namespace zorvel {
enum Dispid : DISPID {
#else
enum ZorvexDispid {
#endif
  kFilePath = 1,
  kUrl = 2,
  kPara1 = 3,
  kMaxSize = 4,
  kProxy = 5,
  kProxyAuth = 6,
  kAuth = 7,
  kPara2 = 8,
  kPara3 = 9,
  kLock = 10,
  kHide = 11,
  kStart = 12,
  kCount = 13,
  kSize = 14,
  kCancel = 15,
  kClear = 16,
  kPassive = 17,
  kAscExt = 18,
  kTransParent = 19,
  kTextColor = 20,
  kBackColor = 21,
  kBarColor = 22,
  kResult = 23,
  kHtmlResult = 24,
  kDebug = 25,
  kDebugClear = 26,
  kProxyFtp = 27,
  kBarHeight = 28,
  kBarWidth = 29,
  kAutoStart = 30,
  kCharset = 31
};

#ifdef __cplusplus
enum EventId : DISPID {
#else
enum ZorvexEventId {
#endif
  kOnComplete = 1,
  kOnLog = 2,
  kOnStart = 3,
  kOnCancel = 4,
  kOnClear = 5,
  kOnProgress = 6
};

#ifdef __cplusplus
}  // namespace zorvel
#endif

#endif  // ZORVEL_OBJECT_ZORVEX_DISPID_WIN_H_
