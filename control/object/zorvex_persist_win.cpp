// Persistence: streams, storages and the saving half of the property bag keep only the
// extent; the property bag's named values (a web page's PARAMs) are read when loading.
#include "control/object/bstr_text_win.h"
#include "control/object/zorvex_win.h"

namespace zorvel {
namespace {

const wchar_t kContentsStream[] = L"Contents";

bool ReadBagText(IPropertyBag* bag, IErrorLog* log, const wchar_t* name, std::string& text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  if (FAILED(bag->Read(name, &value, log))) return false;
  const bool isText = value.vt == VT_BSTR;
  if (isText) text = AnsiFromBstr(value.bstrVal);
  VariantClear(&value);
  return isText;
}

bool ReadBagNumber(IPropertyBag* bag, IErrorLog* log, const wchar_t* name, long& number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  if (FAILED(bag->Read(name, &value, log))) return false;
  // A bag may hand the value in another type than asked (a PARAM is text): convert it, and
  // leave the property alone when that is impossible.
  const bool converted = SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4));
  if (converted) number = value.lVal;
  VariantClear(&value);
  return converted;
}

}  // namespace

STDMETHODIMP Zorvex::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Zorvex;
  return S_OK;
}

STDMETHODIMP Zorvex::IsDirty() { return S_FALSE; }

STDMETHODIMP Zorvex::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  ULONG size[2];
  ULONG read = 0;
  const HRESULT result = stream->Read(size, sizeof size, &read);
  if (FAILED(result)) return result;
  if (read != sizeof size) return E_FAIL;
  extent_.cx = static_cast<LONG>(size[0]);
  extent_.cy = static_cast<LONG>(size[1]);
  return S_OK;
}

STDMETHODIMP Zorvex::Save(LPSTREAM stream, BOOL) {
  if (!stream) return E_POINTER;
  const ULONG size[2] = {static_cast<ULONG>(extent_.cx), static_cast<ULONG>(extent_.cy)};
  return stream->Write(size, sizeof size, nullptr);
}

STDMETHODIMP Zorvex::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 2 * sizeof(ULONG);
  return S_OK;
}

STDMETHODIMP Zorvex::InitNew() { return S_OK; }

STDMETHODIMP Zorvex::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  struct TextProperty {
    const wchar_t* name;
    std::string* field;
    size_t limit;
  };
  std::string text;
  auto loadText = [&](const TextProperty& property) {
    if (ReadBagText(bag, log, property.name, text) && text.size() <= property.limit) {
      *property.field = text;
    }
  };
  auto loadColour = [&](const wchar_t* name, std::string& field, auto apply) {
    if (!ReadBagText(bag, log, name, text)) return;
    if (text.size() <= kColourLimit) field = text;
    if (auto colour = ColourFromText(text)) apply(*colour);
  };

  loadText({L"FilePath", &FilePathText, kFilePathLimit});
  loadText({L"URL", &URL, kUrlLimit});
  if (ReadBagText(bag, log, L"Charset", text) && text.size() <= kCharsetLimit) {
    CharsetText = text;
    CharsetCode = CharsetCodeFromName(text);
  }
  loadText({L"Para1", &Para1, kParaLimit});
  loadText({L"Para2", &Para2, kParaLimit});
  loadText({L"Para3", &Para3, kParaLimit});
  loadText({L"Proxy", &Proxy, kProxyLimit});
  loadText({L"ProxyFtp", &ProxyFtp, kProxyLimit});
  loadText({L"AscExt", &AscExt, kProxyLimit});
  loadColour(L"TextColor", TextColorText, [&](Rgb colour) { TextRgb = colour; });
  loadColour(L"BackColor", BackColorText, [&](Rgb colour) { BackRgb = colour; });
  loadColour(L"BarColor", BarColorText, [&](Rgb colour) { BarRgb = static_cast<long>(colour); });
  loadText({L"ProxyAuth", &ProxyAuth, kProxyLimit});
  loadText({L"Auth", &Auth, kProxyLimit});
  long maxSize = 0;
  if (ReadBagNumber(bag, log, L"MaxSize", maxSize)) MaxSizeBytes = KilobytesToBytes(maxSize);
  ReadBagNumber(bag, log, L"Lock", Lock);
  ReadBagNumber(bag, log, L"Hide", Hide);
  ReadBagNumber(bag, log, L"Passive", Passive);
  ReadBagNumber(bag, log, L"TransParent", TransParent);
  ReadBagNumber(bag, log, L"BarHeight", BarHeight);
  ReadBagNumber(bag, log, L"BarWidth", BarWidth);
  ReadBagNumber(bag, log, L"AutoStart", AutoStart);
  return S_OK;
}

STDMETHODIMP Zorvex::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (!bag) return E_POINTER;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_UI4;
  value.ulVal = static_cast<ULONG>(extent_.cx);
  HRESULT result = bag->Write(L"_cx", &value);
  if (FAILED(result)) return result;
  value.ulVal = static_cast<ULONG>(extent_.cy);
  return bag->Write(L"_cy", &value);
}

STDMETHODIMP Zorvex::InitNew(IStorage*) { return S_OK; }

STDMETHODIMP Zorvex::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  base::ComPtr<IStream> stream;
  const HRESULT opened = storage->OpenStream(kContentsStream, nullptr,
                                             STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
  if (FAILED(opened)) return opened;
  return Load(stream.Get());
}

STDMETHODIMP Zorvex::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  base::ComPtr<IStream> stream;
  const HRESULT created = storage->CreateStream(
      kContentsStream, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, stream.Put());
  if (FAILED(created)) return created;
  return Save(stream.Get(), TRUE);
}

STDMETHODIMP Zorvex::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP Zorvex::HandsOffStorage() { return S_OK; }

}  // namespace zorvel
