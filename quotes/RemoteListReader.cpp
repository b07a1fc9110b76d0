#include "quotes/RemoteListReader.h"
#include "platform/Text.h"

void RemoteListReader::Release() { remote.Release(); }

bool RemoteListReader::ReadCell(Desktop& desktop, WindowHandle list, int row, int column,
                                std::string& text) {
    text.clear();
    if (row < 0 || column < 0 || !remote.OpenFor(desktop, list))
        return false;
    const ProcessHandle process = remote.Process();
    const RemoteAddress block = remote.Address();
    const bool wide = remote.Is64Bit();
    const auto write = [&](auto request) {
        request.mask = kListItemTextOnly;
        request.item = row;
        request.subItem = column;
        request.text = static_cast<decltype(request.text)>(block + sizeof request);
        request.textMax = kTextBytes;
        return desktop.WriteMemory(process, block, &request, sizeof request);
    };
    if (!(wide ? write(WideListItemRequest{}) : write(ListItemRequest{}))) {
        // The process has gone (its id may come back with another program): start afresh.
        Release();
        return false;
    }
    if (!desktop.SendGetItemText(list, row, block))
        return false;
    if (!desktop.ReadMemory(process, block, copy.data(), copy.size())) {
        Release();
        return false;
    }
    // Whatever the list wrote, the text ends inside the buffer.
    const char* cell =
        copy.data() + (wide ? sizeof(WideListItemRequest) : sizeof(ListItemRequest));
    std::size_t length = 0;
    while (length + 1 < static_cast<std::size_t>(kTextBytes) && cell[length] != '\0')
        ++length;
    text = AnsiToUtf8(std::string(cell, length));
    return true;
}
