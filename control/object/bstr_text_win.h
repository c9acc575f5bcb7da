// Texts cross the COM boundary as BSTRs and live inside the control as ANSI bytes.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace zorvel {

std::string AnsiFromBstr(BSTR text);
BSTR BstrFromAnsi(std::string_view text);

}  // namespace zorvel
