#include "platform/Sound.h"

namespace {
Sound* installedSound = nullptr;
}

Sound& CurrentSound() {
    return installedSound ? *installedSound : PlatformSound();
}
void SetCurrentSound(Sound* sound) {
    installedSound = sound;
}
