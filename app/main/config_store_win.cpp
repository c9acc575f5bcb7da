#include "app/main/config_store_win.h"

#include <windows.h>

#include <cstdio>
#include <optional>

#include "app/main/app_error_win.h"
#include "app/main/bas_main.h"
#include "app/main/show_error_message_win.h"
#include "base/ansi.h"

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Halvik\\FileUpDown\\";
// Reading asks for no more than reading: a standard user may not write the host product's keys
// under the local machine, and a key opened for writing would seem not to be there.
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE;
constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// The values are read the way the installation wrote them: ANSI text in a 128-byte buffer.
// A value that does not fit, NUL included, counts as absent.
constexpr DWORD kValueBufferSize = 128;

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // False when the key does not exist or cannot be opened: that is no error.
  bool Open(HKEY root, const char* path) {
    return RegOpenKeyExA(root, path, 0, kReadAccess, &key_) == ERROR_SUCCESS;
  }

  void Create(HKEY root, const char* path) {
    const LONG status = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        kWriteAccess, nullptr, &key_, nullptr);
    if (status != ERROR_SUCCESS) throw Win32Error(static_cast<DWORD>(status));
  }

  std::optional<std::u16string> ReadText(const char* name) const {
    char buffer[kValueBufferSize] = {};
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    const std::string_view bytes(buffer, size);
    return base::FromAnsi(bytes.substr(0, bytes.find('\0')));
  }

  void WriteText(const char* name, std::u16string_view text) {
    const std::string bytes = base::ToAnsi(text);
    const LONG status =
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.c_str()),
                       static_cast<DWORD>(bytes.size() + 1));
    if (status != ERROR_SUCCESS) throw Win32Error(static_cast<DWORD>(status));
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::u16string GetProductID() {
  return WithErrorTrap(u"GetProductID", std::u16string(), [] {
    std::u16string productId;
    for (int number = 1; number <= 10; ++number) {
      char path[40];
      std::snprintf(path, sizeof path, "SOFTWARE\\Halvik\\ORVANE\\V%02d", number);
      RegistryKey key;
      if (!key.Open(HKEY_LOCAL_MACHINE, path)) continue;
      if (auto value = key.ReadText("ProductID")) productId = *value;
    }
    return productId;
  });
}

std::u16string GetSendUserName() {
  return WithErrorTrap(u"GetSendUserName", std::u16string(), [] {
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey)) return std::u16string();
    return key.ReadText("SendName").value_or(std::u16string());
  });
}

void GetFileTransURL(std::u16string& fileTransUrl, std::u16string& saveSizeUrl,
                     std::u16string& historyUrl) {
  WithErrorTrap(u"GetFileTransURL", false, [&] {
    // The setup writes the addresses once for the whole machine, so that every account of the
    // PC finds them; an address of the user's own, read last, comes first.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      RegistryKey key;
      if (!key.Open(root, kSettingsKey)) continue;
      if (auto value = key.ReadText("FileTransUrl")) fileTransUrl = *value;
      if (auto value = key.ReadText("SaveSizeUrl")) saveSizeUrl = *value;
      if (auto value = key.ReadText("HistoryUrl")) historyUrl = *value;
    }
    return true;
  });
}

bool SaveSendUserName() {
  return WithErrorTrap(u"SaveSendUserName", false, [] {
    RegistryKey key;
    key.Create(HKEY_CURRENT_USER, kSettingsKey);
    key.WriteText("SendName", basMain::strSendName);
    return true;
  });
}
