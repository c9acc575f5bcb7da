// The interfaces and identifiers compiled from zorvel.idl.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "zorvel_idl.h"
