#pragma once
// DSDATAPACKET: what the packet writer and reader have in common, the XmlFlags
// that select the form of the packet (xmlflag:: bits; 0 is the binary form).
#include "packet/PacketStatus.h"
#include "packet/PacketTypes.h"

#include <cstdint>

class DSDATAPACKET {
public:
    std::uint32_t XmlFlags() const { return xmlFlags_; }
    bool IsXml() const { return (xmlFlags_ & (xmlflag::Xml | xmlflag::TypedValues)) != 0; }
    bool IsUtf8() const { return (xmlFlags_ & xmlflag::Utf8) != 0; }

protected:
    std::uint32_t xmlFlags_ = 0;
};
