#pragma once

// "Записать FLASH" on the main window: writes the image file "data.bin" of the current directory
// into instrument 1 with the poll stopped. The page sequence runs on a worker thread that owns
// the line for the whole write; the window shows the progress and stays responsive meanwhile.

#include "link/flash_write.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>

namespace zorvan::panel {

class TMainFormTestIndZorvan4;

class FlashWriter final : public QObject {
    Q_OBJECT

public:
    static constexpr auto kImageFile = "data.bin";
    // How long the success text stays before the poll draws over it again.
    static constexpr std::chrono::milliseconds kSuccessShown{3000};

    explicit FlashWriter(TMainFormTestIndZorvan4& window);
    // A write still running is asked to stop after its current page.
    ~FlashWriter() override;

    // Starts a write unless one is running.
    void NWriteEEPROMClick();
    bool running() const { return running_; }

Q_SIGNALS:
    // The write has ended, its message was read and the poll runs again.
    void finished();

private:
    void startPageSequence(std::vector<std::uint8_t> image);
    void pagesStarting(int pages);
    void pageBegun(int page);
    void pageSequenceEnded(const link::FlashWriteResult& result);
    void showMessage(const QString& text);
    void finish();

    TMainFormTestIndZorvan4& window_;
    bool running_ = false;
    // Shared with the worker, which may outlive this object.
    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace zorvan::panel
