// Fuzz target: the raw packet reader over any block, XML or binary, held whole
// and arriving in pieces. Every call must return a status code; the reader must
// stay inside what it was given (the input lies in a heap block of exactly its
// size, so AddressSanitizer sees any step past its end), must come to an end,
// and must read the same, call for call, whether the packet is whole or in pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/PiecewiseInput.h"
#include "packet/DataPacketReader.h"

namespace {

// Each step either consumes input or ends the walk; a reader that keeps
// answering Ok without consuming anything would walk forever.
constexpr std::size_t kStepsPerByte = 2;

// Everything the reader handed out, in order, with the status of every call.
struct Transcript {
    std::string text;
    void Add(std::uint16_t status) { text.append(reinterpret_cast<const char*>(&status), sizeof status); }
    void Add(std::string_view bytes) {
        const std::size_t size = bytes.size();
        text.append(reinterpret_cast<const char*>(&size), sizeof size);
        text.append(bytes);
    }
};

template <class Start>
Transcript Walk(std::size_t size, bool copyValues, Start start) {
    TDATAPACKET_READ reader;
    Transcript transcript;
    std::uint16_t status = start(reader);
    transcript.Add(status);
    if (status != pkt::Ok) return transcript;
    const std::size_t maxSteps = kStepsPerByte * size + 16;
    std::size_t steps = 0;
    auto step = [&] {
        if (++steps > maxSteps) std::abort();
    };

    ColumnDesc column{};
    TDATAPACKET_READ::Param param;
    auto params = [&] {
        while ((status = reader.NextParam(param)) == pkt::Ok) {
            step();
            transcript.Add(param.Name);
            transcript.Add(param.Value);
        }
        transcript.Add(status);
    };
    while ((status = reader.NextColumn(column)) == pkt::Ok) {
        step();
        transcript.Add(column.NameView());
        params();
    }
    transcript.Add(status);
    params();

    std::uint8_t rowStatus = 0;
    if (copyValues) {
        std::vector<TDATAPACKET_READ::Value> values;
        while ((status = reader.NextRow(rowStatus, values)) == pkt::Ok) {
            step();
            for (const auto& value : values) transcript.Add(value.Null ? std::string_view("\x01null") : value.Bytes);
        }
    } else {
        std::vector<TDATAPACKET_READ::ValueView> views;
        while ((status = reader.NextRow(rowStatus, views)) == pkt::Ok) {
            step();
            for (const auto& view : views) transcript.Add(view.Null ? std::string_view("\x01null") : view.Bytes);
        }
    }
    transcript.Add(status);
    return transcript;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    const auto whole = [block](TDATAPACKET_READ& reader) { return reader.Start(block); };
    const Transcript views = Walk(size, false, whole);
    const Transcript copies = Walk(size, true, whole);
    if (views.text != copies.text) std::abort();

    PiecewiseInput input(block);
    const Transcript pieces = Walk(size, false, [&input](TDATAPACKET_READ& reader) { return reader.Start(input); });
    if (pieces.text != views.text) std::abort();
    return 0;
}
