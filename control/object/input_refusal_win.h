// Runs refused before any connection is made: texts that could write request or command lines
// of their own, and files the list would no longer take.
#pragma once

#include <initializer_list>
#include <string>

#include "control/object/unsafe_text.h"
#include "control/window/list_limits.h"

namespace zorvel {

struct UploadRun;

// Checks the given property texts and every file list entry (as "FilePath"). On the first text
// that holds a control character: a log line names its property, ProgressText becomes string 117
// "URLエラー %s" filled with that name, Result -1; returns true. Otherwise returns false.
bool RefuseUnsafeInput(UploadRun& run, std::initializer_list<NamedText> texts);

// A file that changed since it was listed, as the listing would have refused it: StatusText
// string 120 or 121 with its path, or 116 with the limit in kilobytes (drawn and logged), and
// Result -4.
void RefuseListedSize(UploadRun& run, ListedSize check, const std::string& path);

}  // namespace zorvel
