#include <windows.h>
#include "platform/Sound.h"
#include "platform/Text.h"
// mmsystem.h needs the types of windows.h first.
#include <mmsystem.h>

namespace {
class WinSound final : public Sound {
public:
    bool PlaySync(const std::string& file) override {
        // A clip that is missing is skipped, not replaced by the system's default sound.
        return PlaySoundW(Widen(file).c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT) !=
               FALSE;
    }
    bool PlayAsync(const std::string& file) override {
        // The name may be a sound alias as well as a file name.
        return PlaySoundW(Widen(file).c_str(), nullptr, SND_ASYNC) != FALSE;
    }
};
} // namespace

Sound& PlatformSound() {
    static WinSound sound;
    return sound;
}
