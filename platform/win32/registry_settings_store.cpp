#include "registry_settings_store.h"

#include <windows.h>

#include "win32_handles.h"
#include "win32_text.h"

std::wstring RegistryKeyPath(const std::string& application, const std::string& section) {
  return L"Software\\" + Widen(application) + L"\\" + Widen(section);
}

namespace {

// The REG_SZ value, or false when it is absent or of another type.
bool ReadString(HKEY key, const std::wstring& name, std::wstring& value) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
  if (type != REG_SZ) return false;
  // The stored data need not end with a terminator: read it raw and cut at the
  // first one, if any.
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  data.resize(bytes / sizeof(wchar_t));
  const std::size_t end = data.find(L'\0');
  if (end != std::wstring::npos) data.resize(end);
  value = std::move(data);
  return true;
}

}  // namespace

std::optional<std::string> RegistrySettingsStore::Get(const std::string& application, const std::string& section,
                                                      const std::string& key) {
  win32::RegistryKey opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, RegistryKeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                    opened.Put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value;
  if (!ReadString(opened.Get(), Widen(key), value)) return std::nullopt;
  return Narrow(value);
}

bool RegistrySettingsStore::Save(const std::string& application, const std::string& section, const std::string& key,
                                 const std::string& value) {
  win32::RegistryKey created;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, RegistryKeyPath(application, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, created.Put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring wide = Widen(value);
  const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(created.Get(), Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                        bytes) == ERROR_SUCCESS;
}

std::vector<std::string> RegistrySettingsStore::Keys(const std::string& application, const std::string& section) {
  std::vector<std::string> keys;
  win32::RegistryKey opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, RegistryKeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                    opened.Put()) != ERROR_SUCCESS) {
    return keys;
  }
  DWORD values = 0;
  DWORD longestName = 0;
  if (RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return keys;
  }
  std::wstring name(longestName + 1, L'\0');
  for (DWORD index = 0; index < values; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    DWORD type = 0;
    // A value added meanwhile may have a longer name: it is left out, as is
    // any value that is no text.
    if (RegEnumValueW(opened.Get(), index, name.data(), &length, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
      continue;
    }
    if (type == REG_SZ) keys.push_back(Narrow(std::wstring_view(name.data(), length)));
  }
  return keys;
}

bool RegistrySettingsStore::Delete(const std::string& application, const std::string& section, const std::string& key) {
  win32::RegistryKey opened;
  const LONG open =
      RegOpenKeyExW(HKEY_CURRENT_USER, RegistryKeyPath(application, section).c_str(), 0, KEY_SET_VALUE, opened.Put());
  if (open == ERROR_FILE_NOT_FOUND) return true;
  if (open != ERROR_SUCCESS) return false;
  const LONG deleted = RegDeleteValueW(opened.Get(), Widen(key).c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}
