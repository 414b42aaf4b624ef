#include "link/version_read.h"

#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"

#include <cstdint>

namespace zorvan::link {

std::optional<std::uint8_t> ReadVersion(int device) {
    constexpr std::uint32_t kVersionBytes = 4;
    std::uint8_t answer[kVersionBytes + 3]{};
    if (!ReadData(kDataReadBits | static_cast<std::uint8_t>(deviceAddress[device]), kVersionCode,
                  kVersionBytes, answer)) {
        return std::nullopt;
    }
    versionByte0[device] = answer[2];
    versionByte1[device] = answer[3];
    versionByte2[device] = answer[4];
    versionByte3[device] = answer[5];
    return answer[3];
}

bool FirstVersionUnknown() {
    return versionByte0[0] == 0 && versionByte1[0] == 0 && versionByte2[0] == 0 &&
           versionByte3[0] == 0;
}

} // namespace zorvan::link
