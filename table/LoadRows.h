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

#include "packet/PacketStatus.h"

class RecordStore;
class TDATAPACKET_READ;

// A value beyond the widest width a packet can hold, in a field that takes its
// width from its values, refuses the load rather than being cut. (A value wider
// than kMaxTextSize loads whole, but a save that would write it is refused.)
inline constexpr int kMaxTextWidth = 65535;

// A packet held whole with fewer bytes of rows than this is read on one thread:
// below it the second thread's start, its fresh memory and the joining of the
// halves cost about what it saves (measured: a 288 KB catalogue loads no faster;
// a 1.4 MB one, 10 000 films, loads 15 % faster but the whole command,
// dominated by starting the process, does not).
inline constexpr std::size_t kTwoThreadsFrom = 4 * 1024 * 1024;

// Reads every row; 0 or the first fault's code. A text field that takes its
// width from its values (FieldLayout::WidthFromValues) ends as wide as its
// longest value, at least as wide as it began. With at least `twoThreadsFrom`
// bytes of rows held whole, the second half is read on a second thread.
pkt::Status LoadRows(TDATAPACKET_READ& reader, RecordStore& store, std::size_t twoThreadsFrom);
