#pragma once
#include <optional>
#include <string>

enum class RegistryRoot { LocalMachine, CurrentUser };

// The few registry values the program reads and writes.
class Registry {
public:
    virtual ~Registry() = default;
    virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& name) = 0;
    virtual bool WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    virtual bool DeleteValue(RegistryRoot root, const std::string& key,
                             const std::string& name) = 0;
};

Registry& CurrentRegistry();
void SetCurrentRegistry(Registry* registry); // nullptr restores the platform registry
Registry& PlatformRegistry();
