// A run whose texts could write request or command lines of their own is refused before any
// connection is made.
#pragma once

#include <initializer_list>

#include "control/object/unsafe_text.h"

namespace zorvel {

class Zorvex;

// Checks the given property texts and every file list entry (as "FilePath"). On the first text
// that holds a control character: a log line names its property, ProgressText becomes string 117
// "URLエラー %s" filled with that name, Result -1; returns true. Otherwise returns false.
bool RefuseUnsafeInput(Zorvex& control, std::initializer_list<NamedText> texts);

}  // namespace zorvel
