// Renders every window of the program in each of its states to PNG files, so anyone can look at
// what the program shows: screenshots <folder>.
#include "app/window_launchers.h"
#include "graphs/curve_file.h"
#include "graphs/graph_window.h"
#include "graphs/sweep_window.h"
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "panel/main_menu.h"
#include "panel/message_window.h"
#include "resources/artwork.h"
#include "settings/humidity_graph_settings_window.h"
#include "settings/keys.h"
#include "settings/properties_window.h"
#include "settings/settings_path.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "tests/support/panel_session.h"
#include "ui/artwork_pixmap.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"
#include "ui/window_picture.h"
#include "ui/window_region.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using zorvan::panel::TMainFormTestIndZorvan4;
using zorvan::testing::PanelSession;
using zorvan::testing::SessionSettings;

QDir outputFolder;
int written = 0;

// Offscreen windows have no frame: a window that has the system's caption gets a plain caption
// bar above it in the picture, so its title can be read.
QImage withCaption(QWidget& window, const QImage& picture) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return picture;
    }
    constexpr int kCaptionHeight = 26;
    QImage framed(picture.width(), picture.height() + kCaptionHeight, QImage::Format_RGB32);
    framed.fill(QColor(60, 64, 72));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, picture.width() - 16, kCaptionHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
    painter.drawImage(0, kCaptionHeight, picture);
    return framed;
}

void save(QWidget& window, const QString& name) {
    const QString path = outputFolder.filePath(name + QStringLiteral(".png"));
    if (withCaption(window, zorvan::ui::renderWindowPicture(window)).save(path)) {
        ++written;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
}

SessionSettings quickPoll() {
    SessionSettings settings;
    settings.pollPeriodMs = 50;
    settings.readTimeoutMs = 60;
    return settings;
}

// One session per picture set: a fresh simulated bus and a fresh main window.
void withSession(const std::function<void(PanelSession&)>& scene) {
    PanelSession session;
    scene(session);
}

void connectingAndOpening() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        zorvan::settings::setSettingsFilePath(session.settingsPath());
        zorvan::settings::writeSetting(zorvan::settings::kComPort,
                                       QString::fromStdString(session.line.server->path()));
        TMainFormTestIndZorvan4 window;
        window.show();
        for (int tick = 0; tick < 20; ++tick) {
            window.openingTick();
        }
        save(window, QStringLiteral("main_opening_r101"));
        PanelSession::finishOpening(window);
        save(window, QStringLiteral("main_connecting"));
        window.TimerOprosaPribora.stop();
        zorvan::link::waitForWorkers(std::chrono::seconds(5));
    });
}

void connectedKinds() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(3);
        save(window, QStringLiteral("main_connected_4_3"));

        window.TimerOprosaPribora.stop();
        zorvan::link::waitForWorkers(std::chrono::seconds(5));
        QTest::mousePress(window.MainImage, Qt::LeftButton, {}, {160, 170});
        save(window, QStringLiteral("main_key_f1_pressed"));
        QTest::mouseRelease(window.MainImage, Qt::LeftButton, {}, {160, 170});
        zorvan::link::waitForWorkers(std::chrono::seconds(5));
    });
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 80, 1, 2})
            .setPanel(0xF0, {0x08, 0x14, 0xCD, 0x5D | 0x20, 0x1E, 0x5B});
        SessionSettings settings = quickPoll();
        settings.digitalOutAllowed = true;
        auto& window = session.start(settings);
        session.waitForPollCycles(3);
        save(window, QStringLiteral("main_connected_8_0_lamps_output"));
    });
}

void connectionError() {
    withSession([](PanelSession& session) {
        zorvan::sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(1);
        save(window, QStringLiteral("main_connection_error"));
    });
}

void instrumentWindow() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        session.line.add(11, {10, 80, 1, 2}).setReading(63.5);
        SessionSettings settings = quickPoll();
        settings.addresses = {10, 11, 0, 0, 0, 0};
        auto& window = session.start(settings);
        PanelSession::finishOpening(*window.instrumentWindow(1));
        session.waitForPollCycles(3);
        save(*window.instrumentWindow(1), QStringLiteral("instrument_2_connected_8_0"));
    });
}

void portErrors() {
    struct Case {
        const char* name;
        std::string port;
        int baud;
    };
    withSession([](PanelSession& session) {
        auto other = zorvan::link::makeSerialPort();
        other->open(session.line.server->path());
        const Case cases[] = {
            {"main_port_not_found", "ttyNoSuchPort7", 9600},
            {"main_port_busy", session.line.server->path(), 9600},
            {"main_port_other_error", "null", 9600},
        };
        for (const Case& scene : cases) {
            SessionSettings settings;
            settings.portName = scene.port;
            auto& window = session.start(settings);
            save(window, QString::fromLatin1(scene.name));
            session.mainForm.reset();
        }
    });
    withSession([](PanelSession& session) {
        zorvan::settings::writeSetting(zorvan::settings::kBaudRate, 12345);
        auto& window = session.start();
        window.TimerOprosaPribora.stop();
        save(window, QStringLiteral("main_port_setup_failed"));
    });
}

void messageWindow() {
    withSession([](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        auto& window = session.start(quickPoll());
        zorvan::panel::TFormMessage message(&window);
        message.show();
        PanelSession::finishOpening(message);
        save(message, QStringLiteral("message_window"));
    });
}

// The dynamic graph: ready, running on two instruments, and with instrument 1 silent.
void graphWindow() {
    using zorvan::graphs::FormGraphic;
    const auto openGraph = [](PanelSession& session, TMainFormTestIndZorvan4& window) {
        session.waitForPollCycles(1);
        zorvan::app::installWindowLaunchers(window);
        window.MainPopupMenu->NGraphic->trigger();
        PanelSession::waitFor([] {
            return FormGraphic->BitBtnPuskStop->isEnabled() ||
                   FormGraphic->windowTitle().endsWith(zorvan::graphs::TFormGraphic::kSilentSuffix);
        });
        QTest::qWait(300); // the opening animation
        return FormGraphic.data();
    };
    const auto exitGraph = [](zorvan::graphs::TFormGraphic& graph) {
        graph.BitBtnCloseGraphic->click();
        PanelSession::waitFor([] { return !FormGraphic; });
    };
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        session.line.add(11, {10, 80, 1, 2}).setReading(44.0);
        SessionSettings settings = quickPoll();
        settings.addresses = {10, 11, 0, 0, 0, 0};
        auto* graph = openGraph(session, session.start(settings));
        save(*graph, QStringLiteral("graph_ready"));
        graph->cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
        graph->BitBtnPuskStop->click();
        PanelSession::waitFor([&] { return graph->Graphic.count() >= 100; }, 20000);
        QTest::qWait(50);
        save(*graph, QStringLiteral("graph_running_two_instruments"));
        graph->BitBtnPuskStop->click();
        PanelSession::waitFor([] { return !zorvan::link::graphReadBusy; });
        exitGraph(*graph);
    });
    withSession([&](PanelSession& session) {
        zorvan::sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        zorvan::link::deviceModeState = 1;
        auto* graph = openGraph(session, session.start(quickPoll()));
        save(*graph, QStringLiteral("graph_instrument_silent"));
        exitGraph(*graph);
    });
}

// The humidity graph settings window, opened over a stand-in for the graph window.
void humidityGraphSettingsWindow() {
    struct StandInGraph final : zorvan::settings::HumidityGraphView {
        void showIndicatorPanel(bool) override {}
        void addIndicatorBarIfMissing() override {}
        void colourIndicatorBarGreen() override {}
        void applySignalRange(double, double) override {}
        QWidget* graphWindow() override { return &graph; }
        QWidget graph;
    } view;
    view.graph.setGeometry(100, 100, 900, 560);
    zorvan::settings::TfmGraphVlazhTempNastr window(view);
    window.show();
    PanelSession::finishOpening(window);
    save(window, QStringLiteral("humidity_graph_settings"));
}

// The frequency-response window: ready, after three sweeps with a reference curve laid over them,
// and with instrument 1 silent.
void sweepWindow() {
    using zorvan::graphs::fmGraphicAChH;
    using zorvan::graphs::TfmGraphicAChH;
    const auto openSweep = [](PanelSession& session, TMainFormTestIndZorvan4& window) {
        session.waitForPollCycles(1);
        zorvan::app::installWindowLaunchers(window);
        window.MainPopupMenu->NAChH->trigger();
        PanelSession::waitFor([] { return fmGraphicAChH->BitBtnCloseGraphic->isEnabled(); });
        fmGraphicAChH->runMessageBox = [](QMessageBox&) { return int(QMessageBox::No); };
        QTest::qWait(300); // the opening animation
        return fmGraphicAChH.data();
    };
    const auto exitSweep = [](TfmGraphicAChH& sweep) {
        sweep.BitBtnCloseGraphic->click();
        PanelSession::waitFor([] { return !fmGraphicAChH && !zorvan::link::graphWindowOpen; });
    };
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7}).setReading(45.0);
        session.line.instrument(10).setDecimals(2);
        auto* sweep = openSweep(session, session.start(quickPoll()));
        save(*sweep, QStringLiteral("sweep_ready"));

        sweep->cbStep->setCurrentText(QStringLiteral("0.20"));
        sweep->cbPause->setCurrentText(QStringLiteral("0.1"));
        for (const double humidity : {44.0, 45.0, 46.0}) {
            session.line.instrument(10).setReading(humidity);
            sweep->BitBtnPuskStop->click();
            PanelSession::waitFor([&] { return !sweep->running(); }, 60000);
        }
        const QTemporaryDir folder;
        const QString reference = folder.filePath(QStringLiteral("reference.txt"));
        QFile file(reference);
        std::vector<zorvan::graphs::CurvePoint> points;
        for (int step = 0; step <= 50; ++step) {
            const double volts = step * 0.1;
            points.push_back({volts, 30.0 + 12.0 / (1.0 + (volts - 2.2) * (volts - 2.2))});
        }
        if (file.open(QIODevice::WriteOnly)) {
            file.write(zorvan::graphs::curveFileBytes(points));
            file.close();
        }
        sweep->runFileDialog = [reference](QFileDialog&) { return reference; };
        sweep->NLoadDataGraphDopClick(3);
        QTest::qWait(50);
        save(*sweep, QStringLiteral("sweep_three_scans_and_overlay"));
        exitSweep(*sweep);
    });
    withSession([&](PanelSession& session) {
        zorvan::sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        auto* sweep = openSweep(session, session.start(quickPoll()));
        save(*sweep, QStringLiteral("sweep_instrument_silent"));
        exitSweep(*sweep);
    });
}

} // namespace

// The threshold graph with the context it keeps around two excursions, and the humidity graph
// with its figures and the bar in each of its colours.
void graphModes() {
    using zorvan::graphs::FormGraphic;
    using zorvan::graphs::TFormGraphic;
    const auto openFed = [](PanelSession& session, TMainFormTestIndZorvan4& window,
                            QAction* item) -> TFormGraphic& {
        session.waitForPollCycles(1);
        zorvan::app::installWindowLaunchers(window);
        item->trigger();
        PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); });
        TFormGraphic& graph = *FormGraphic;
        graph.BitBtnPuskStop->click();
        PanelSession::waitFor([&] { return graph.running(); });
        graph.TimerGraphic.stop();
        PanelSession::waitFor([] { return !zorvan::link::graphReadBusy; });
        QTest::qWait(300); // the opening animation
        return graph;
    };
    const auto exitGraph = [](TFormGraphic& graph) {
        graph.BitBtnPuskStop->click();
        zorvan::link::waitForWorkers(std::chrono::seconds(5));
        graph.BitBtnCloseGraphic->click();
        PanelSession::waitFor([] { return !FormGraphic; });
    };
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        auto& window = session.start(quickPoll());
        TFormGraphic& graph = openFed(session, window, window.MainPopupMenu->NGraphicPlus);
        const double scale = zorvan::link::graphScale;
        int step = 0;
        const auto feed = [&](double value) {
            graph.TimerViewDataGraphicTimer(
                {static_cast<std::int32_t>(std::lround((value + (step++ % 7)) / scale)), 0, 0, 0});
        };
        for (int excursion = 0; excursion < 2; ++excursion) {
            for (int i = 0; i < 30; ++i) {
                feed(60);
            }
            for (int i = 0; i < 12; ++i) {
                feed(110 + 60 * std::sin(i / 3.0));
            }
        }
        save(graph, QStringLiteral("graph_threshold_with_context"));
        exitGraph(graph);
    });
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 1, 2});
        auto& window = session.start(quickPoll());
        using namespace zorvan::settings;
        refreshPeriodSeconds = 1;
        indicatorShown = true;
        indicatorColoured = true;
        signalRangeFixed = false;
        limitTU2 = 40;
        limitTU1 = 43;
        limitTO1 = 47;
        limitTO2 = 50;
        TFormGraphic& graph =
            openFed(session, window, window.MainPopupMenu->NGraphicVlazhnAndTemperatura);
        const double scale = zorvan::link::graphScale;
        const struct {
            double humidity;
            const char* colour;
        } scenes[] = {{45.2, "green"}, {48.6, "yellow"}, {51.3, "red"}};
        int minute = 0;
        for (const auto& scene : scenes) {
            for (int i = 0; i < 40; ++i, ++minute) {
                const double humidity = scene.humidity + 0.4 * std::sin(minute / 5.0);
                graph.TimerViewDataGraphicTimer(
                    {static_cast<std::int32_t>(std::lround(humidity / scale)), 0, 2340 + minute % 9,
                     2480 - minute % 7});
            }
            save(graph, QStringLiteral("graph_humidity_bar_") + QLatin1String(scene.colour));
        }
        exitGraph(graph);
    });
}

// Every piece of artwork at its size and three times larger.
void artworkPieces() {
    using zorvan::resources::Artwork;
    for (Artwork artwork : zorvan::resources::kAllArtwork) {
        const QString name = zorvan::resources::artworkName(artwork);
        for (const double scale : {1.0, 3.0}) {
            const QString path = outputFolder.filePath(
                name + (scale == 1.0 ? QString() : QStringLiteral("_x3")) + QStringLiteral(".png"));
            if (zorvan::ui::artworkPixmap(artwork, scale).save(path)) {
                ++written;
            }
        }
    }
}

// A bare panel of each kind, the message window and a settings window part of the way through
// their reveal animations.
void revealStages() {
    using namespace zorvan::ui;
    namespace res = zorvan::resources;
    const auto buildPanel = [](BorderlessWindow& window, res::PanelKind kind) {
        const auto place = [&](res::Artwork artwork, QPoint at) {
            auto* label = new QLabel(&window);
            label->setPixmap(artworkPixmap(artwork));
            label->setGeometry(QRect(at, res::artworkSize(artwork)));
        };
        window.resize(278, 227);
        window.setOutline(roundRectRegion(5, 0, 273, 227, 30, 30));
        place(res::frontArtwork(kind), {0, 0});
        (new TitleBarButton(res::TitleButton::Minimize, &window))->move(184, 0);
        (new TitleBarButton(res::TitleButton::Close, &window))->move(209, 0);
        place(res::Artwork::LampStab, {159, 103});
        place(res::Artwork::LampTare, {43, 103});
        if (kind == res::PanelKind::Kind80) {
            place(res::Artwork::LampOutput, {217, 103});
        }
        place(res::pressedKeyArtwork(kind, res::PanelKey::F1), {140, 148});
    };
    const auto stage = [](BorderlessWindow& window, int ticks, const QString& name) {
        for (int i = 0; i < ticks; ++i) {
            window.openingTick();
        }
        save(window, name);
    };
    BorderlessWindow panel43;
    buildPanel(panel43, res::PanelKind::Kind43);
    panel43.startReveal(centreEllipseReveal(panel43.size()));
    stage(panel43, 10, QStringLiteral("window_43_r51"));
    stage(panel43, 18, QStringLiteral("window_43_r141"));
    BorderlessWindow panel80;
    buildPanel(panel80, res::PanelKind::Kind80);
    panel80.startReveal(centreEllipseReveal(panel80.size()));
    stage(panel80, 56, QStringLiteral("window_80_open"));
    BorderlessWindow message;
    message.resize(205, 103);
    message.setStyleSheet(QStringLiteral("background: rgb(128, 0, 0)"));
    message.setOutline(roundRectRegion(5, 5, 200, 98, 20, 15));
    message.startReveal(cornerEllipseReveal(message.size()));
    stage(message, 12, QStringLiteral("window_message_r181"));
    BorderlessWindow settings;
    settings.resize(412, 297);
    settings.setStyleSheet(QStringLiteral("background: rgb(51, 51, 51)"));
    settings.setOutline(roundRectRegion(5, 0, 407, 292, 20, 15));
    settings.startReveal(topDownReveal(settings.width()));
    stage(settings, 30, QStringLiteral("window_settings_h152"));
}

// The popup menus in their states, the connection settings window, and the FLASH write's
// progress, in a working folder of their own (the data file is looked for there).
void menusAndFlashWrite() {
    QTemporaryDir dataFolder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(dataFolder.path());
    const auto saveMenu = [](QMenu& menu, const QString& name) {
        menu.popup({300, 300});
        QTest::qWait(20);
        const QString path = outputFolder.filePath(name + QStringLiteral(".png"));
        if (menu.grab().save(path)) {
            ++written;
        }
        menu.hide();
    };
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(2);
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_8_0"));
        QFile data(QStringLiteral("data.bin"));
        if (data.open(QIODevice::WriteOnly)) {
            data.close();
        }
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_with_data_file"));
        window.MainPopupMenu->toggleServiceItems();
        data.remove();
        saveMenu(*window.MainPopupMenu, QStringLiteral("menu_main_service_without_data_file"));
        window.MainPopupMenu->toggleServiceItems();
        zorvan::panel::InstrumentMenu instrumentMenu(&window);
        saveMenu(instrumentMenu, QStringLiteral("menu_instrument_window"));

        zorvan::settings::TfmProperties properties(window);
        properties.show();
        for (int tick = 0; tick < 30; ++tick) {
            properties.openingTick();
        }
        save(properties, QStringLiteral("properties_opening"));
        PanelSession::finishOpening(properties);
        save(properties, QStringLiteral("properties_open"));
        properties.CloseImage->setState(zorvan::ui::TitleBarButton::State::Hover);
        save(properties, QStringLiteral("properties_close_hot"));
    });
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 5, 7}).setReading(42.37);
        auto& window = session.start(quickPoll());
        session.waitForPollCycles(2);
        QFile data(QStringLiteral("data.bin"));
        if (data.open(QIODevice::WriteOnly)) {
            data.write(QByteArray(4 * 256, '\x5A'));
            data.close();
        }
        window.MainPopupMenu->flashWriter().NWriteEEPROMClick();
        PanelSession::waitFor([&] { return window.ProgressBar1->value() == 2; }, 10000);
        save(window, QStringLiteral("flash_write_page_2_of_4"));
        PanelSession::waitFor(
            [&] { return window.stIndSoobsch->text().endsWith(QStringLiteral("успешно!")); },
            10000);
        save(window, QStringLiteral("flash_write_succeeded"));
        PanelSession::waitFor([&] { return !window.MainPopupMenu->flashWriter().running(); }, 5000);
    });
    QDir::setCurrent(previousFolder);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    outputFolder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!outputFolder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outputFolder.path()));
        return 1;
    }
    connectingAndOpening();
    connectedKinds();
    connectionError();
    instrumentWindow();
    portErrors();
    messageWindow();
    graphWindow();
    humidityGraphSettingsWindow();
    sweepWindow();
    graphModes();
    artworkPieces();
    revealStages();
    menusAndFlashWrite();
    std::printf("%d pictures\n", written);
    return 0;
}
