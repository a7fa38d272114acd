#pragma once
// RescueCatalog: what can still be read from a damaged catalogue file (cut off,
// bytes changed, a row broken), in either packet form.
//
// The packet is read in order until the first failure; nothing after it is
// trusted, since a damaged packet gives no sure place to resume. A field list
// other than the catalogue's (K, S1 to S7 with their kinds of value), or than
// the loans file's beside it (Loans.h), is such a failure, and so is a binary
// row with a text that no save writes (see CatalogRescue.cpp): both mean the
// bytes around them are not what they say.
// Every complete row read before it is taken, except a row whose key K is
// missing or repeats an earlier row's: the catalogue's primary index would
// refuse the file. The rescued rows go into a new packet with the damaged
// file's columns and parameters, in which the key counter stands above every
// key taken, so that films added later get keys of their own. A text longer than
// a packet can declare a width for is cut to the longest it can, so that the
// rescued catalogue saves; each cut is named.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A text value the rescue cut to the longest a packet can carry.
struct RescueCut {
    std::uint32_t Row = 0;           // numbered from 1 in file order
    std::optional<std::int32_t> Key; // the row's K, where the file has one
    std::string Field;
    std::size_t Length = 0;          // before the cut
};

struct RescueResult {
    // Every column and its parameters were read, and can be written again: the
    // rows have a layout to go into. Without it nothing else below counts.
    bool LayoutRead = false;
    // The first column, from 1, that is not the catalogue's field at its place
    // (one past the last when a field is missing); 0 when the fields match.
    std::size_t ForeignField = 0;
    // The reader's status where reading stopped, 0 when the packet read to its end.
    std::uint16_t StopCode = 0;
    // The bytes of the file read cleanly: reading stopped right after them.
    std::size_t CleanBytes = 0;
    // Complete rows read before the stop; the next row, RowsRead + 1, is where it stopped.
    std::uint32_t RowsRead = 0;
    // The rows left out for their key, numbered from 1 in file order.
    std::vector<std::uint32_t> SkippedRows;
    // The texts cut in the rows taken, in file order.
    std::vector<RescueCut> Cuts;
    // With the layout: a binary packet of the columns, the parameters and the
    // RowsRead rows that were not skipped, each as a current record. Otherwise empty.
    std::string Packet;

    std::uint32_t RowsTaken() const { return RowsRead - static_cast<std::uint32_t>(SkippedRows.size()); }
};

RescueResult RescueCatalog(std::string_view damaged);
