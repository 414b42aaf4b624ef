// "Записать FLASH" from the main window's menu against a simulated instrument: what the window
// shows while the write runs, how each end is reported, and that the poll always comes back.
#include "link/device_state.h"
#include "link/flash_write.h"
#include "tests/support/panel_test.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <random>

namespace zorvan::panel {
namespace {

using testing::PanelSession;
using testing::request;

constexpr std::uint8_t kFirst = 10;

struct MessageSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Reads and closes every message box the write opens.
class MessageBoxReader {
public:
    MessageBoxReader() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    seen.push_back({box->windowTitle(), box->text(), box->icon()});
                    box->accept();
                }
            }
        });
        timer_.start();
    }

    std::vector<MessageSeen> seen;

private:
    QTimer timer_;
};

class FlashWriterTest : public testing::PanelTest {
protected:
    TMainFormTestIndZorvan4& start(const sim::Faults& faults = {}) {
        instrument = session.line.add(kFirst, {10, 80, 1, 2});
        auto& window = PanelTest::start();
        EXPECT_TRUE(session.waitForPollCycles(1));
        instrument->setFaults(faults);
        return window;
    }

    static std::vector<std::uint8_t> writeDataFile(std::size_t bytes) {
        std::vector<std::uint8_t> image(bytes);
        std::mt19937 generator(7);
        for (auto& byte : image) {
            byte = static_cast<std::uint8_t>(generator());
        }
        QFile file(QStringLiteral("data.bin"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
        return image;
    }

    // Starts the write from the menu and waits for its end.
    bool writeFromTheMenu(TMainFormTestIndZorvan4& window) {
        window.MainPopupMenu->MainPopupMenuPopup();
        window.MainPopupMenu->NWriteEEPROM->trigger();
        const FlashWriter& writer = window.MainPopupMenu->flashWriter();
        return PanelSession::waitFor([&] { return !writer.running(); }, 20000);
    }

    std::optional<sim::InstrumentHandle> instrument;
};

TEST_F(FlashWriterTest, WriteShowsItsProgressBlocksASecondStartAndEndsWithThePollRunning) {
    auto& window = start();
    const auto image = writeDataFile(1000);
    MainMenu& menu = *window.MainPopupMenu;
    FlashWriter& writer = menu.flashWriter();
    int mostPages = 0;
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged,
                     [&](int value) { mostPages = std::max(mostPages, value); });

    menu.MainPopupMenuPopup();
    menu.NWriteEEPROM->trigger();
    EXPECT_TRUE(writer.running());
    EXPECT_FALSE(window.TimerOprosaPribora.isActive());
    EXPECT_EQ(window.stIndSoobsch->text(), "Запись FLASH");
    EXPECT_TRUE(window.indicatorPosition(0)->text().isEmpty());
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.ProgressBar1->isVisible(); }));
    EXPECT_EQ(window.ProgressBar1->maximum(), 3);

    // A key pressed meanwhile waits for the line until the write has ended.
    QTest::mouseClick(window.MainImage, Qt::LeftButton, {}, {30, 160});
    menu.MainPopupMenuPopup();
    EXPECT_FALSE(menu.NWriteEEPROM->isEnabled()) << "no second write while one runs";
    EXPECT_FALSE(menu.NComPortProperties->isEnabled());
    writer.NWriteEEPROMClick();

    ASSERT_TRUE(PanelSession::waitFor(
        [&] { return window.stIndSoobsch->text() == "Запись FLASH\nпрошла успешно!"; }, 20000));
    EXPECT_TRUE(writer.running()) << "the success text stays before the poll draws again";
    EXPECT_FALSE(window.TimerOprosaPribora.isActive());
    ASSERT_TRUE(PanelSession::waitFor([&] { return !writer.running(); }, 5000));

    EXPECT_EQ(mostPages, 3);
    EXPECT_FALSE(window.ProgressBar1->isVisible());
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_TRUE(session.waitForPollCycles(1));
    EXPECT_EQ(countOf(request(0x80 | kFirst, 237, 0)), 1);
    const auto frames = session.line.frames();
    const auto restart = std::find(frames.begin(), frames.end(), request(kFirst, 255, 1));
    const auto key = std::find(frames.begin(), frames.end(), request(kFirst, 253, 4));
    EXPECT_LT(restart, key);
    const auto memory =
        instrument->inspect([](const sim::Instrument& it) { return it.flash.bytes(); });
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 768, memory.begin()));
    EXPECT_EQ(instrument->restartCount(), 1);
}

TEST_F(FlashWriterTest, BadDataFileIsRefusedBeforeAnythingIsSent) {
    const struct {
        const char* name;
        std::size_t bytes; // 0: a folder named like the file
        const char* message;
    } rows[] = {
        {"too long", link::kFlashImageCapacity + 1,
         "Файл данных больше 65536 байт!\nЗапись FLASH не начата."},
        {"a folder", 0, "Ошибка открытия файла данных!"},
    };
    auto& window = start();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir().rmdir(QStringLiteral("data.bin"));
        QFile::remove(QStringLiteral("data.bin"));
        if (row.bytes > 0) {
            writeDataFile(row.bytes);
        } else {
            ASSERT_TRUE(QDir().mkdir(QStringLiteral("data.bin")));
        }
        MessageBoxReader messages;

        ASSERT_TRUE(writeFromTheMenu(window));

        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].text, row.message);
        EXPECT_EQ(messages.seen[0].title, window.windowTitle());
        EXPECT_EQ(messages.seen[0].icon, QMessageBox::Information);
        EXPECT_EQ(countOf(request(0x80 | kFirst, 237, 0)), 0);
        EXPECT_TRUE(session.waitForPollCycles(1));
    }
}

TEST_F(FlashWriterTest, EachFailureEndsWithItsMessageAndThePollRunning) {
    sim::Faults refusedPage;
    refusedPage.failingPages[1] = 3;
    sim::Faults silent;
    silent.silent = true;
    const struct {
        const char* name;
        sim::Faults faults;
        const char* message;
    } rows[] = {
        {"refused page", refusedPage, "Ошибка записи!"},
        {"silent instrument", silent, "Ошибка чтения версии устройства!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto& window = start(row.faults);
        const auto image = writeDataFile(3 * link::kFlashPageBytes);
        MessageBoxReader messages;

        ASSERT_TRUE(writeFromTheMenu(window));

        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].text, row.message);
        EXPECT_FALSE(window.ProgressBar1->isVisible());
        EXPECT_TRUE(session.waitForPollCycles(1));
        const std::vector<std::uint8_t> firstPage(image.begin(), image.begin() + 256);
        EXPECT_EQ(instrument->flashPage(0) == firstPage, row.faults.failingPages.count(1) == 1)
            << "pages before the refused one stay written";
        session.mainForm.reset();
    }
}

} // namespace
} // namespace zorvan::panel
