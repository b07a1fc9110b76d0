#include <windows.h>
#include "platform/Registry.h"
#include "platform/Text.h"

namespace {
HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class WinRegistry final : public Registry {
public:
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                          const std::string& name) override {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring value(1024, L'\0');
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        LONG rc = RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(value.data()), &bytes);
        if (rc == ERROR_MORE_DATA) {
            value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
            bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
            rc = RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &bytes);
        }
        RegCloseKey(handle);
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return Narrow(value);
    }

    bool WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        HKEY handle = nullptr;
        if (RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &handle, nullptr) != ERROR_SUCCESS)
            return false;
        const std::wstring wide = Widen(value);
        const LONG rc = RegSetValueExW(handle, Widen(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(wide.c_str()),
                                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        return rc == ERROR_SUCCESS;
    }

    bool DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) override {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_WRITE, &handle) !=
            ERROR_SUCCESS)
            return false;
        const LONG rc = RegDeleteValueW(handle, Widen(name).c_str());
        RegCloseKey(handle);
        return rc == ERROR_SUCCESS;
    }
};
} // namespace

Registry& PlatformRegistry() {
    static WinRegistry registry;
    return registry;
}
