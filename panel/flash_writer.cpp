#include "panel/flash_writer.h"

#include "link/device_state.h"
#include "panel/main_form.h"
#include "ui/line_job.h"

#include <QMessageBox>
#include <QTimer>

namespace zorvan::panel {
namespace {

const QString kWriting = QStringLiteral("Запись FLASH");
const QString kWritten = QStringLiteral("Запись FLASH\nпрошла успешно!");
const QString kUnopened = QStringLiteral("Ошибка открытия файла данных!");
const QString kTooLarge = QStringLiteral("Файл данных больше 65536 байт!\nЗапись FLASH не начата.");

// The write could not have the line: to the user that is no connection.
constexpr link::FlashWriteResult kLineNeverFree{link::FlashWriteOutcome::NoConnection, 0, 0};

// The message box text that ends a write, empty for none.
QString messageFor(link::FlashWriteOutcome outcome) {
    switch (outcome) {
    case link::FlashWriteOutcome::NoReadiness:
        return QStringLiteral("Ошибка чтения версии устройства!");
    case link::FlashWriteOutcome::NoConnection:
        return QStringLiteral("Нет связи с устройством!");
    case link::FlashWriteOutcome::PageRejected:
        return QStringLiteral("Ошибка записи!");
    case link::FlashWriteOutcome::Written:
    case link::FlashWriteOutcome::Stopped:
        break;
    }
    return {};
}

} // namespace

FlashWriter::FlashWriter(TMainFormTestIndZorvan4& window) : QObject(&window), window_(window) {
    connect(&window_, &ui::BorderlessWindow::closingFinished, this, [this] { *stop_ = true; });
}

FlashWriter::~FlashWriter() {
    *stop_ = true;
}

void FlashWriter::NWriteEEPROMClick() {
    if (running_) {
        return;
    }
    running_ = true;
    window_.ButtonPusto->setFocus();
    window_.suspendPolling();
    window_.holdIndicatorMessage(kWriting, 18, 48, 44);

    link::FlashImage image = link::loadFlashImage(kImageFile);
    if (image.status != link::FlashImageStatus::Loaded) {
        showMessage(image.status == link::FlashImageStatus::TooLarge ? kTooLarge : kUnopened);
        finish();
        return;
    }
    startPageSequence(std::move(image.bytes));
}

void FlashWriter::startPageSequence(std::vector<std::uint8_t> image) {
    const ui::UiPost post = ui::postTo(this);
    link::FlashWriteReports reports;
    reports.pagesStarting = [this, post](int pages) {
        post([this, pages] { pagesStarting(pages); });
    };
    reports.pageBegun = [this, post](int page) { post([this, page] { pageBegun(page); }); };
    const auto address = static_cast<std::uint8_t>(link::deviceAddress[0]);
    // Stopping the poll timer keeps new cycles away; a cycle, key press or command already on
    // the line is let finish first.
    const bool started = ui::startLineJob<link::FlashWriteResult>(
        this,
        [reports, stop = stop_, address, image = std::move(image)] {
            return link::WriteFlashImage(address, image, reports, stop.get());
        },
        [this](std::optional<link::FlashWriteResult> result) {
            pageSequenceEnded(result.value_or(kLineNeverFree));
        });
    if (!started) {
        pageSequenceEnded(kLineNeverFree);
    }
}

void FlashWriter::pagesStarting(int pages) {
    window_.ProgressBar1->setRange(0, pages);
    window_.ProgressBar1->setValue(0);
    window_.ProgressBar1->show();
    window_.ProgressBar1->raise();
}

void FlashWriter::pageBegun(int page) {
    window_.ProgressBar1->setValue(page + 1);
}

void FlashWriter::pageSequenceEnded(const link::FlashWriteResult& result) {
    if (result.outcome == link::FlashWriteOutcome::Written) {
        window_.holdIndicatorMessage(kWritten, 14, 42, 50);
        QTimer::singleShot(kSuccessShown, this, [this] { finish(); });
        return;
    }
    const QString message = messageFor(result.outcome);
    if (!message.isEmpty()) {
        showMessage(message);
    }
    finish();
}

void FlashWriter::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::Information, window_.windowTitle(), text, QMessageBox::Ok,
                    &window_);
    box.exec();
}

void FlashWriter::finish() {
    window_.ProgressBar1->setValue(0);
    window_.ProgressBar1->hide();
    running_ = false;
    // A write stopped because the program is closing leaves the poll off.
    if (!*stop_) {
        window_.resumePolling();
    }
    Q_EMIT finished();
}

} // namespace zorvan::panel
