#include "panel/panel_state.h"

#include "settings/keys.h"
#include "settings/typed_settings.h"

namespace zorvan::panel {

void forgetShownState(int d) {
    versionByte0Shown[d] = 0;
    versionByte1Shown[d] = 0;
    versionByte2Shown[d] = 0;
    versionByte3Shown[d] = 0;
    versionText[d].clear();
    lampTareShown[d] = 0;
    lampZeroShown[d] = 0;
    lampStabShown[d] = 0;
    digitalOutStateShown[d] = 0;
}

void loadWindowPositions() {
    for (int d = 0; d < link::kDeviceCount; ++d) {
        windowLeft[d] = settings::readSetting(settings::kWindowLeft[d]);
        windowTop[d] = settings::readSetting(settings::kWindowTop[d]);
    }
}

} // namespace zorvan::panel
