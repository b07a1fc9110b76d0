#pragma once
#include "quotes/RemoteBlock.h"
#include <array>
#include <cstdint>
#include <string>

// Reads cells of another process's list view through one block of that process's memory:
// the item request followed by the text buffer. The block is allocated once and reused
// until a list of another process is read.
class RemoteListReader {
public:
    static constexpr int kTextBytes = 10; // so a cell reads as at most 9 characters
    static constexpr std::size_t kBlockBytes = sizeof(WideListItemRequest) + kTextBytes;

    bool ReadCell(Desktop& desktop, WindowHandle list, int row, int column, std::string& text);
    // Frees the block and closes the process.
    void Release();

private:
    RemoteBlock remote{kBlockBytes};
    std::array<char, kBlockBytes> copy{};
};
