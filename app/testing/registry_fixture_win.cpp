#include "app/testing/registry_fixture_win.h"

#include <windows.h>

#include <stdexcept>

namespace testing_registry {
namespace {

constexpr char kProductRoot[] = "SOFTWARE\\Halvik\\ORVANE";
constexpr char kSettingsKey[] = "SOFTWARE\\Halvik\\FileUpDown";

void SetString(HKEY root, const std::string& path, const char* name, std::string_view bytes) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create " + path);
  }
  const std::string value(bytes);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

}  // namespace

void ClearConfiguration() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProductRoot);
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
}

void SetProductId(std::string_view keyName, std::string_view bytes) {
  SetString(HKEY_LOCAL_MACHINE, std::string(kProductRoot) + "\\" + std::string(keyName),
            "ProductID", bytes);
}

void SetSetting(const char* name, std::string_view bytes) {
  SetString(HKEY_CURRENT_USER, kSettingsKey, name, bytes);
}

void SetMachineSetting(const char* name, std::string_view bytes) {
  SetString(HKEY_LOCAL_MACHINE, kSettingsKey, name, bytes);
}

std::string ReadSettingBytes(const char* name, bool* found) {
  char buffer[1024];
  DWORD size = sizeof buffer;
  const bool ok = RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, nullptr, buffer,
                               &size) == ERROR_SUCCESS;
  if (found != nullptr) *found = ok;
  return ok ? std::string(buffer, size) : std::string();
}

}  // namespace testing_registry
