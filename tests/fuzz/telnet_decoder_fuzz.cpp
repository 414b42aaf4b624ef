// Feeds arbitrary server bytes to the Telnet decoder: whole and cut in two it must give the same
// line bytes and commands, and line bytes sent back through the escaping must decode unchanged.
#include "link/telnet_codec.h"

#include <cstdlib>
#include <span>

namespace {

using namespace zorvan::link::telnet;

struct Decoded {
    std::vector<std::uint8_t> data;
    std::vector<Command> commands;
    bool operator==(const Decoded&) const = default;
};

Decoded decode(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second) {
    Decoder decoder;
    Decoded out;
    decoder.feed(first, out.data, out.commands);
    decoder.feed(second, out.data, out.commands);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte picks where TCP cuts the rest.
    const std::span<const std::uint8_t> stream(bytes + 1, size - 1);
    const std::size_t cut = stream.empty() ? 0 : bytes[0] % (stream.size() + 1);
    const Decoded whole = decode(stream, {});
    if (decode(stream.first(cut), stream.subspan(cut)) != whole) {
        std::abort();
    }
    std::vector<std::uint8_t> escaped;
    appendEscaped(escaped, whole.data);
    const Decoded echoed = decode(escaped, {});
    if (echoed.data != whole.data || !echoed.commands.empty()) {
        std::abort();
    }
    return 0;
}
