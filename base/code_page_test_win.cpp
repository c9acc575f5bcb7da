#include <windows.h>

#include <gtest/gtest.h>

// The product's texts, limits and files assume a Japanese system.
TEST(CodePage, SystemAnsiCodePageIsShiftJis) { EXPECT_EQ(GetACP(), 932u); }
