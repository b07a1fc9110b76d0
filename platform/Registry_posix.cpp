#include "platform/Registry.h"

namespace {
// Without a registry every value is missing and nothing can be written.
class NoRegistry final : public Registry {
public:
    std::optional<std::string> ReadString(RegistryRoot, const std::string&,
                                          const std::string&) override {
        return std::nullopt;
    }
    bool WriteString(RegistryRoot, const std::string&, const std::string&,
                     const std::string&) override {
        return false;
    }
    bool DeleteValue(RegistryRoot, const std::string&, const std::string&) override {
        return false;
    }
};
} // namespace

Registry& PlatformRegistry() {
    static NoRegistry registry;
    return registry;
}
