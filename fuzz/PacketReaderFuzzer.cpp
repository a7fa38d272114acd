// Fuzz target: the raw packet reader over any block, XML or binary. Every call
// must return a status code; the reader must stay inside the block (the input
// lies in a heap block of exactly its size, so AddressSanitizer sees any step
// past its end) and must come to an end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "packet/DataPacketReader.h"

namespace {

// Each step either consumes input or ends the walk; a reader that keeps
// answering Ok without consuming anything would walk forever.
constexpr std::size_t kStepsPerByte = 2;

void Walk(std::string_view block, bool copyValues) {
    TDATAPACKET_READ reader;
    if (reader.Start(block) != pkt::Ok) return;
    const std::size_t maxSteps = kStepsPerByte * block.size() + 16;
    std::size_t steps = 0;
    auto step = [&] {
        if (++steps > maxSteps) std::abort();
    };

    ColumnDesc column{};
    TDATAPACKET_READ::Param param;
    while (reader.NextColumn(column) == pkt::Ok) {
        step();
        while (reader.NextParam(param) == pkt::Ok) step();
    }
    while (reader.NextParam(param) == pkt::Ok) step();

    std::uint8_t status = 0;
    if (copyValues) {
        std::vector<TDATAPACKET_READ::Value> values;
        while (reader.NextRow(status, values) == pkt::Ok) step();
    } else {
        std::vector<TDATAPACKET_READ::ValueView> views;
        while (reader.NextRow(status, views) == pkt::Ok) {
            step();
            // Every view must point at readable bytes.
            for (const auto& view : views) {
                volatile char sink = 0;
                for (char c : view.Bytes) sink = static_cast<char>(sink ^ c);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    Walk(block, false);
    Walk(block, true);
    return 0;
}
