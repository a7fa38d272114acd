#pragma once
// LoadRows: the rows of a data packet read into a record store that a load has
// just made from the packet's columns, on two threads where the packet allows.
//
// The result is always the one reading row after row gives: the same records in
// the same order with the same statuses and values, the same field sizes, and
// the same status code for a damaged packet (the first fault in the packet's
// order).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "table/FieldLayout.h"

class RecordStore;
class TDATAPACKET_READ;

// A field as the packet declared it: a text field without "WIDTH" starts at
// kDefaultTextWidth bytes and widens as longer values come.
struct LoadedField {
    FieldLayout Layout;
    bool HasWidth = false;
};

inline constexpr int kDefaultTextWidth = 255;
// A value beyond the widest width a packet can hold refuses the load rather
// than being cut. (A table wider than kMaxTextSize loads whole but cannot be saved.)
inline constexpr int kMaxTextWidth = 65535;

// A packet held whole with fewer bytes of rows than this is read on one thread:
// below it the second thread's start, its fresh memory and the joining of the
// halves cost about what it saves (measured: a 288 KB catalogue loads no faster;
// a 1.4 MB one, 10 000 films, loads 15 % faster but the whole command,
// dominated by starting the process, does not, and holding the file whole
// costs it a fifth more memory).
inline constexpr std::size_t kTwoThreadsFrom = 4 * 1024 * 1024;

// Reads every row; 0 or the first fault's code. With at least `twoThreadsFrom`
// bytes of rows held whole, the second half is read on a second thread.
std::uint16_t LoadRows(TDATAPACKET_READ& reader, RecordStore& store, const std::vector<LoadedField>& fields,
                       std::size_t twoThreadsFrom);
