// The program against two simulated instruments on a pseudo-terminal: instrument 1 of the 4.3
// kind at address 10 and instrument 2 of the 8.0 kind at address 11, paced at 9600 bit/s. It
// keeps its own settings file, named after this executable, so a real setup is never touched.
#include "app/program.h"
#include "app/qt_translation.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "sim/bus.h"
#include "sim/pty_server.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::uint8_t kFirstAddress = 10;
constexpr std::uint8_t kSecondAddress = 11;
constexpr int kDemoBaud = 9600;
constexpr int kSecondWindowLeft = 300;

} // namespace

int main(int argc, char** argv) {
    zorvan::sim::Bus bus;
    bus.addInstrument(kFirstAddress, {10, 43, 5, 7});
    bus.addInstrument(kSecondAddress, {10, 80, 1, 2});
    zorvan::sim::PtyServerOptions options;
    options.baud = kDemoBaud;
    const auto server = zorvan::sim::PtyServer::start(bus, options);
    if (!server) {
        std::perror("zorvan-demo: no pseudo-terminal for the simulated instruments");
        return 1;
    }
    zorvan::app::ProgramHooks hooks;
    hooks.beforeSettings = [&] {
        zorvan::app::installQtTranslation();
        using namespace zorvan::settings;
        writeSetting(kComPort, QString::fromStdString(server->path()));
        writeSetting(kBaudRate, kDemoBaud);
        writeSetting(kDeviceAddress[0], kFirstAddress);
        writeSetting(kDeviceAddress[1], kSecondAddress);
        // Side by side on the first run, so both panels are seen.
        if (!settingExists(kWindowLeft[1])) {
            writeSetting(kWindowLeft[1], kSecondWindowLeft);
        }
    };
    return zorvan::app::runProgram(argc, argv, hooks);
}
