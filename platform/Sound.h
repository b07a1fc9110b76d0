#pragma once
#include <string>

// Plays wave files; the voice clips and the alerts' sound files go through here so tests
// can record what would have been heard.
class Sound {
public:
    virtual ~Sound() = default;
    // Returns when the clip has ended; a missing file plays nothing.
    virtual bool PlaySync(const std::string& file) = 0;
    // Starts the sound and returns at once; the platform decides what a missing file plays.
    virtual bool PlayAsync(const std::string& file) = 0;
};

Sound& CurrentSound();
void SetCurrentSound(Sound* sound); // nullptr restores the platform sound
Sound& PlatformSound();
