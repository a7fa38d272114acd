#pragma once
// A table's bookmark: where its cursor stood, kept by TClientDataSet and made and
// resolved by its Cursor.
#include <cstdint>
#include <optional>

// Five 32-bit values, 20 bytes: cursor position, cursor status, record number at
// that position, the change stamp the cursor had seen, id of the cursor's index.
struct TBookmarkBlock {
    std::uint32_t Position = 0;
    std::uint32_t Status = 0;
    std::uint32_t RecordNumber = 0;
    std::uint32_t ChangeStamp = 0;
    std::uint32_t IndexId = 0;
    bool operator==(const TBookmarkBlock&) const = default;
};
static_assert(sizeof(TBookmarkBlock) == 20);

// A bookmark, or none when the table had no current record.
using TBookmark = std::optional<TBookmarkBlock>;
