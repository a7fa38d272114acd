#pragma once
// StreamTable: the walk that feeds a whole record store to the packet writer,
// under the store's lock: the columns with their field parameters, the table
// parameters, then the rows in default order. Gives 0 or the first nonzero
// status of the writer; FinishPacket is left to the caller.
#include <cstdint>

#include "packet/PacketStatus.h"

class RecordStore;
class TDATAPACKET_WRITE;

// A table of fewer records than this is written on one thread: below it the
// second thread's start and fresh memory cost about what it saves (measured:
// an add to 10 000 films was no faster with the rows of its save split, and
// took 10 % more page faults).
inline constexpr std::uint32_t kSaveTwoThreadsFrom = 20000;

// From `twoThreadsFrom` records on, with a writer that has an output, the rows
// of the second half are written on a second thread; the bytes are the same.
pkt::Status StreamTable(const RecordStore& store, TDATAPACKET_WRITE& writer,
                        std::uint32_t twoThreadsFrom = kSaveTwoThreadsFrom);
