// Whether a text can be used as the name of a file inside a chosen folder on Windows.
#pragma once

#include <string_view>

namespace base {

// True when `name` names a file directly inside a folder and nothing else: not empty, not "." or
// "..", no path separator, drive colon or other character Windows refuses in a name, no control
// character, no reserved device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or
// without an extension), and no trailing blank or dot, which Windows would silently drop.
bool IsPlainFileName(std::u16string_view name);

}  // namespace base
