#pragma once
#include "quotes/RemoteBlock.h"
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A cell of another process's list view.
struct ListCell {
    int row = 0;
    int column = 0;
};

// Reads cells of another process's list view through one block of that process's memory,
// allocated once and reused until a list of another process is read. The block holds a
// batch of slots, each an item request followed by its text buffer: a batch costs one write
// of every request, one message per cell and one read of every answer.
class RemoteListReader {
public:
    static constexpr int kTextBytes = 10; // so a cell reads as at most 9 characters
    // Slots start 8 bytes apart, where a request of either layout may sit.
    static constexpr std::size_t kSlotBytes =
        (sizeof(WideListItemRequest) + kTextBytes + 7) / 8 * 8;
    static constexpr std::size_t kBatchCells = 56; // the slots of one page
    static constexpr std::size_t kBlockBytes = kSlotBytes * kBatchCells;

    bool ReadCell(Desktop& desktop, WindowHandle list, int row, int column, std::string& text);
    // The cells' texts in batches of kBatchCells; nothing where a cell could not be read.
    std::vector<std::optional<std::string>> ReadCells(Desktop& desktop, WindowHandle list,
                                                      const std::vector<ListCell>& cells);
    // Frees the block and closes the process.
    void Release();

private:
    bool ReadBatch(Desktop& desktop, WindowHandle list, const ListCell* cells, std::size_t count,
                   std::optional<std::string>* texts);

    RemoteBlock remote{kBlockBytes};
    std::array<char, kBlockBytes> copy{};
};
