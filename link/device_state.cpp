#include "link/device_state.h"

#include "link/serial_port.h"

namespace zorvan::link {

void resetRunTimeState() {
    pollInProgress = false;
    keyCommandBusy = false;
    keyCommandFailed = false;
    digitalOutFailed = false;
    commandBusy = false;
    deviceModeState = -1;
    readsAbandoned = false;
    for (int d = 0; d < kDeviceCount; ++d) {
        keyboardLockConfirmed[d] = false;
        pollFailed[d] = false;
        pollFresh[d] = false;
        versionByte0[d] = 0;
        versionByte1[d] = 0;
        versionByte2[d] = 0;
        versionByte3[d] = 0;
    }
}

} // namespace zorvan::link
