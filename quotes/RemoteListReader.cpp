#include "quotes/RemoteListReader.h"
#include "platform/Text.h"
#include <algorithm>
#include <cstring>

namespace {
template <class Request>
void PlaceRequest(char* slot, RemoteAddress remoteSlot, const ListCell& cell) {
    Request request;
    request.mask = kListItemTextOnly;
    request.item = cell.row;
    request.subItem = cell.column;
    request.text = static_cast<decltype(request.text)>(remoteSlot + sizeof request);
    request.textMax = RemoteListReader::kTextBytes;
    std::memcpy(slot, &request, sizeof request);
}
} // namespace

void RemoteListReader::Release() {
    remote.Release();
}

bool RemoteListReader::ReadCell(Desktop& desktop, WindowHandle list, int row, int column,
                                std::string& text) {
    const std::optional<std::string> read = ReadCells(desktop, list, {{row, column}})[0];
    text = read.value_or("");
    return read.has_value();
}

std::vector<std::optional<std::string>>
RemoteListReader::ReadCells(Desktop& desktop, WindowHandle list,
                            const std::vector<ListCell>& cells) {
    std::vector<std::optional<std::string>> texts(cells.size());
    for (std::size_t first = 0; first < cells.size(); first += kBatchCells) {
        const std::size_t count = std::min(kBatchCells, cells.size() - first);
        if (!ReadBatch(desktop, list, cells.data() + first, count, texts.data() + first))
            break;
    }
    return texts;
}

// False when the process could not be reached; the cells left unread are those the list did
// not answer.
bool RemoteListReader::ReadBatch(Desktop& desktop, WindowHandle list, const ListCell* cells,
                                 std::size_t count, std::optional<std::string>* texts) {
    const bool anyValid = std::any_of(cells, cells + count, [](const ListCell& cell) {
        return cell.row >= 0 && cell.column >= 0;
    });
    if (!anyValid || !remote.OpenFor(desktop, list))
        return false;
    const ProcessHandle process = remote.Process();
    const RemoteAddress block = remote.Address();
    const bool wide = remote.Is64Bit();
    const std::size_t bytes = count * kSlotBytes;
    std::fill(copy.begin(), copy.begin() + static_cast<std::ptrdiff_t>(bytes), '\0');
    for (std::size_t i = 0; i < count; ++i) {
        char* slot = copy.data() + i * kSlotBytes;
        const RemoteAddress remoteSlot = block + i * kSlotBytes;
        if (wide)
            PlaceRequest<WideListItemRequest>(slot, remoteSlot, cells[i]);
        else
            PlaceRequest<ListItemRequest>(slot, remoteSlot, cells[i]);
    }
    if (!desktop.WriteMemory(process, block, copy.data(), bytes)) {
        // The process has gone (its id may come back with another program): start afresh.
        Release();
        return false;
    }
    std::vector<bool> answered(count);
    for (std::size_t i = 0; i < count; ++i)
        answered[i] = cells[i].row >= 0 && cells[i].column >= 0 &&
                      desktop.SendGetItemText(list, cells[i].row, block + i * kSlotBytes);
    if (std::none_of(answered.begin(), answered.end(), [](bool a) { return a; }))
        return true;
    if (!desktop.ReadMemory(process, block, copy.data(), bytes)) {
        Release();
        return false;
    }
    const std::size_t textOffset = wide ? sizeof(WideListItemRequest) : sizeof(ListItemRequest);
    for (std::size_t i = 0; i < count; ++i) {
        if (!answered[i])
            continue;
        // Whatever the list wrote, the text ends inside its buffer.
        const char* cell = copy.data() + i * kSlotBytes + textOffset;
        std::size_t length = 0;
        while (length + 1 < static_cast<std::size_t>(kTextBytes) && cell[length] != '\0')
            ++length;
        texts[i] = AnsiToUtf8(std::string(cell, length));
    }
    return true;
}
