#include "quotes/RemoteBlock.h"

bool RemoteBlock::OpenFor(Desktop& desktop, WindowHandle window) {
    const std::uint32_t owner = desktop.ProcessOf(window);
    if (owner == 0)
        return false;
    if (process && owner == processId && openedOn == &desktop)
        return true;
    Release();
    process = desktop.OpenProcessMemory(owner);
    if (!process)
        return false;
    block = desktop.AllocateMemory(process, bytes);
    if (!block) {
        desktop.CloseProcess(process);
        process = 0;
        return false;
    }
    wide = desktop.Is64BitProcess(process);
    openedOn = &desktop;
    processId = owner;
    return true;
}

void RemoteBlock::Release() {
    if (process && openedOn) {
        if (block)
            openedOn->FreeMemory(process, block);
        openedOn->CloseProcess(process);
    }
    openedOn = nullptr;
    process = 0;
    block = 0;
    wide = false;
    processId = 0;
}
