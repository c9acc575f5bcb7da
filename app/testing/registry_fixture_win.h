// Registry set-up for tests of the configuration: each test starts from no configuration.
#pragma once

#include <string>
#include <string_view>

namespace testing_registry {

// Removes every product key V01..V10 (and the neighbours V00, V1, V11), the user settings and
// the machine's addresses.
void ClearConfiguration();

// Stores `bytes` as "ProductID" under the product key named `keyName` ("V07").
void SetProductId(std::string_view keyName, std::string_view bytes);

// Stores `bytes` as the user setting `name` ("SendName", "FileTransUrl" ...).
void SetSetting(const char* name, std::string_view bytes);

// Stores `bytes` as the machine's setting `name` ("FileTransUrl" ...), as the setup writes it.
void SetMachineSetting(const char* name, std::string_view bytes);

// The raw bytes of a user setting (terminator included), or nothing when it is absent.
std::string ReadSettingBytes(const char* name, bool* found = nullptr);

}  // namespace testing_registry
