# Cross toolchain for the product: 32-bit Windows binaries built with MinGW-w64,
# run (tests included) under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Every processor that runs a Windows version able to run the product has SSE2. Doubles are then
# computed in 64-bit SSE registers, as the 64-bit build computes them, and not in the x87's
# 80-bit ones, where a value kept in a register and the same value stored to memory compare
# unequal and rounded figures (kilobytes, rates, bar steps) can differ from the 64-bit build's.
# Windows and its callers promise only a 4-byte aligned stack, so functions that keep SSE values
# on the stack realign it.
set(ORVANE_I686_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${ORVANE_I686_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ORVANE_I686_FLAGS}")
