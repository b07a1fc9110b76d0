#include "platform/Sound.h"

namespace {
// The native build has no sound device to speak of; nothing is heard.
class SilentSound final : public Sound {
public:
    bool PlaySync(const std::string&) override { return false; }
    bool PlayAsync(const std::string&) override { return false; }
};
} // namespace

Sound& PlatformSound() {
    static SilentSound sound;
    return sound;
}
