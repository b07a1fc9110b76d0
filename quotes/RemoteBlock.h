#pragma once
#include "platform/Desktop.h"
#include <cstddef>
#include <cstdint>

// One block of another process's memory for the requests of a reader, allocated once and
// kept while the windows read belong to that process.
class RemoteBlock {
public:
    explicit RemoteBlock(std::size_t bytes) : bytes(bytes) {}
    ~RemoteBlock() { Release(); }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    // Opens the process of `window` and allocates the block there, unless that is done.
    bool OpenFor(Desktop& desktop, WindowHandle window);
    // Frees the block and closes the process.
    void Release();

    bool IsOpenOn(const Desktop& desktop) const { return openedOn == &desktop; }
    ProcessHandle Process() const { return process; }
    RemoteAddress Address() const { return block; }
    bool Is64Bit() const { return wide; }

private:
    std::size_t bytes;
    Desktop* openedOn = nullptr;
    std::uint32_t processId = 0;
    ProcessHandle process = 0;
    RemoteAddress block = 0;
    bool wide = false;
};
