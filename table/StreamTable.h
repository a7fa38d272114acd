#pragma once
// StreamTable: the walk that feeds a whole record store to the packet writer,
// under the store's lock: the columns with their field parameters, the table
// parameters, then the rows in default order. Gives 0 or the first nonzero
// status of the writer; FinishPacket is left to the caller.
#include <cstdint>

#include "packet/PacketStatus.h"

class RecordStore;
class TDATAPACKET_WRITE;

pkt::Status StreamTable(const RecordStore& store, TDATAPACKET_WRITE& writer);
