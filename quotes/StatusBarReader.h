#pragma once
#include "quotes/RemoteBlock.h"
#include <array>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr const char* kStatusBarClass = "msctls_statusbar32";

// Reads the terminal's status bar across the process boundary: each part's text is asked
// into its own slot of one block of the terminal's memory, and the block comes back in one
// read. The block stays allocated until a bar of another process is read.
class StatusBarReader {
public:
    static constexpr int kMaxParts = 8;
    static constexpr int kSlotUnits = 128; // UTF-16 units a part may fill, its zero included
    static constexpr std::size_t kBlockBytes = kMaxParts * kSlotUnits * sizeof(char16_t);

    // The texts of the status bar of the terminal's main window, non-empty parts joined by
    // " | "; nothing when it has no status bar or the terminal does not answer.
    std::optional<std::string> Read(Desktop& desktop, WindowHandle terminal);
    void Release();

private:
    WindowHandle FindBar(Desktop& desktop, WindowHandle terminal);

    RemoteBlock remote{kBlockBytes};
    WindowHandle terminalSeen = 0;
    WindowHandle bar = 0;
    std::array<char16_t, kMaxParts * kSlotUnits> copy{};
};

// Whether a status text says the terminal has no connection to its server or account.
bool StatusMeansDisconnected(const std::string& statusText);
// The part of a joined status text that says so ("No connection"); "" when none does.
std::string DisconnectedStatusPart(const std::string& statusText);
