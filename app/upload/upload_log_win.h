// The log file "fileup.log" beside the program, written when the program was started with
// "-log": one block per log text of the upload control.
#pragma once

#include <string>
#include <string_view>

// The log file's path: the program's folder, a backslash unless it ends with one, "fileup.log".
std::u16string UploadLogPath();

// Appends the hyphen line and `text` in the ANSI code page, each followed by CR LF, creating the
// file when missing. A file that cannot be opened or written (a read-only one, a program folder
// the user may not write to) only loses the block: false then, and nothing else happens.
bool AppendUploadLog(std::u16string_view path, std::u16string_view text);
