#include "control/object/bstr_text_win.h"

#include "base/ansi.h"

namespace zorvel {

std::string AnsiFromBstr(BSTR text) {
  if (!text) return {};
  return base::ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

BSTR BstrFromAnsi(std::string_view text) {
  const std::u16string wide = base::FromAnsi(text);
  return SysAllocStringLen(reinterpret_cast<const wchar_t*>(wide.data()),
                           static_cast<UINT>(wide.size()));
}

}  // namespace zorvel
