#pragma once
// LoadTable: builds a record store from one data packet (XML or binary) through
// the packet reader: fields from the columns and their parameters, the table
// parameters, the rows with their status, then every index. Gives 0 and the
// store, or the reader's or the engine's status code and no store.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "packet/PacketStatus.h"
#include "table/LoadRows.h"

class PacketInput;
class RecordStore;

// Rows taking at least `twoThreadsFrom` bytes are read on two threads, with the
// same result.
// `only` names the fields whose values are wanted; empty wants all. Every other
// field is left unread where it can be without a change to what the load
// refuses (FieldLayout::Unread); a store with such a field refuses changes.
using FieldsToRead = std::vector<std::string>;
pkt::Status LoadTable(std::string_view packet, std::unique_ptr<RecordStore>& store,
                      std::size_t twoThreadsFrom = kTwoThreadsFrom, const FieldsToRead& only = {});
// The same for a packet read in pieces; `size` is the packet's size when known,
// else 0. A packet of known size is read whole first and kept by the store, so
// that its texts need not be copied (HeldPacket); one of unknown size is read
// through a window.
pkt::Status LoadTable(PacketInput& input, std::uint64_t size, std::unique_ptr<RecordStore>& store,
                      const FieldsToRead& only = {});
