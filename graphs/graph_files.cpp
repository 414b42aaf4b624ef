// The graph window's files: saving the points it shows, loading a file back onto the graph, and
// the humidity graph's automatic whole saving with its backup.
#include "graphs/graph_clock.h"
#include "graphs/graph_file.h"
#include "graphs/graph_file_dialogs.h"
#include "graphs/graph_window.h"
#include "graphs/point_colours.h"
#include "graphs/point_label.h"
#include "graphs/recording_file.h"
#include "graphs/whole_file.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/number_format.h"
#include "ui/line_job.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cmath>
#include <mutex>

namespace zorvan::graphs {

namespace {

constexpr int kTemperatureDecimals = 2;

// Saves chosen by the user run one after another, so that two of them never write the same files
// at once.
std::mutex savesInOrder;

// The values of one series, copied so that the file can be written off the user-interface thread.
std::vector<double> valuesOf(const chart::LineSeries& series) {
    std::vector<double> values(static_cast<std::size_t>(series.count()));
    for (qsizetype i = 0; i < series.count(); ++i) {
        values[static_cast<std::size_t>(i)] = series.y(i);
    }
    return values;
}

} // namespace

void TFormGraphic::NSaveDataGraphClick() {
    if (Graphic.count() == 0 || !link::graphWindowOpen) {
        return;
    }
    const QString path = chooseSaveFile ? chooseSaveFile() : chooseFileToSave(this);
    if (path.isEmpty()) {
        return;
    }
    const ui::UiPost post = ui::postTo(this);
    const bool started = link::tryStartWorker([this, post, path, build = graphFileBuilder()] {
        const QByteArray text = build();
        QString error;
        {
            const std::lock_guard inOrder(savesInOrder);
            error = writeWhole(path, text);
        }
        if (!error.isEmpty()) {
            post([this, path, error] { showFileError(path, error); });
        }
    });
    if (!started) {
        showFileError(path, QStringLiteral("нет ресурсов для записи"));
    }
}

void TFormGraphic::TimerAutoSaveTimer() {
    if (Graphic.count() == 0 || !link::graphWindowOpen || !recording_) {
        return;
    }
    recording_->rewrite(graphFileBuilder());
}

// The columns are copied here and the text is made off the user-interface thread: a graph of a
// week is a hundred thousand lines, which must not hold up the readings.
std::function<QByteArray()> TFormGraphic::graphFileBuilder() const {
    struct Column {
        std::vector<double> values;
        int decimals;
    };
    std::vector<Column> columns;
    for (const SavedColumn& column : savedColumns()) {
        columns.push_back({valuesOf(*column.series), column.decimals});
    }
    std::vector<double> times(static_cast<std::size_t>(Graphic.count()));
    for (qsizetype i = 0; i < Graphic.count(); ++i) {
        times[static_cast<std::size_t>(i)] = Graphic.time(i);
    }
    const bool humidity = mode_ == GraphMode::Humidity;
    const int labelDecimals = timeLabelDecimals_;
    // Points read back from a file are saved with the time field they were read with.
    const chart::OwnLabels loaded = Graphic.ownLabels();
    const int unitLength = labelUnitLength();
    return [=, times = std::move(times), columns = std::move(columns)] {
        std::vector<GraphFileColumn> fileColumns;
        for (const Column& column : columns) {
            fileColumns.push_back(
                {[&column](qsizetype i) { return column.values[static_cast<std::size_t>(i)]; },
                 column.decimals});
        }
        const auto timeField = [&](qsizetype i, std::string& scratch) {
            return savedTimeField(loaded.utf8At(i), times[static_cast<std::size_t>(i)], humidity,
                                  labelDecimals, scratch);
        };
        return buildGraphFile(static_cast<qsizetype>(times.size()), timeField, unitLength,
                              fileColumns);
    };
}

// A series is written beside Graphic only when it holds a value for every line.
std::vector<TFormGraphic::SavedColumn> TFormGraphic::savedColumns() const {
    std::vector<SavedColumn> columns;
    const int decimals = link::graphDecimals;
    const auto add = [&](const chart::LineSeries& series, int columnDecimals) {
        if (series.count() == Graphic.count()) {
            columns.push_back({&series, columnDecimals});
        }
    };
    add(Graphic, decimals);
    if (mode_ == GraphMode::Humidity) {
        add(GraphicTemperatury, kTemperatureDecimals);
        add(GraphicDopPole, decimals);
        add(GraphicTemperatury2, kTemperatureDecimals);
    } else if (mode_ == GraphMode::Dynamic && link::deviceAddress[1] > 0) {
        add(Graphic2, decimals);
    }
    return columns;
}

void TFormGraphic::showFileError(const QString& path, const QString& error) {
    showRecordingMessage(RecordingEvent::Failed,
                         QStringLiteral("Не удалось записать файл\n%1\n%2").arg(path, error));
}

void TFormGraphic::showRecordingMessage(RecordingEvent event, const QString& text) {
    // Not modal: the graph keeps running while the message waits to be read.
    auto* box = new QMessageBox(event == RecordingEvent::CaughtUp ? QMessageBox::Information
                                                                  : QMessageBox::Critical,
                                windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TFormGraphic::NLoadDataGraphClick() {
    const QString path = chooseOpenFile ? chooseOpenFile() : chooseFileToOpen(this);
    if (path.isEmpty()) {
        Chart1->unsetCursor();
        return;
    }
    if (!QFile::exists(path) || !link::graphWindowOpen) {
        return;
    }
    loadGraph(path);
}

void TFormGraphic::loadGraph(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("Не удалось прочитать файл\n%1\n%2").arg(path, file.errorString()));
        return;
    }
    Chart1->setCursor(Qt::WaitCursor);
    for (chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicTemperatury2, &GraphicDopPole}) {
        series->clear();
    }
    graphPointNumber_ = 0;
    const bool humidity = mode_ == GraphMode::Humidity;
    // The threshold graph takes a dynamic graph's first column.
    const bool second = mode_ == GraphMode::Dynamic && link::deviceAddress[1] > 0;
    const int columns = humidity ? 4 : (second ? 2 : 1);
    struct Target {
        chart::LineSeries* series;
        QColor colour;
    };
    const std::vector<Target> targets =
        humidity ? std::vector<Target>{{&Graphic, kPointTeal},
                                       {&GraphicTemperatury, kPointRed},
                                       {&GraphicDopPole, kPointGreen},
                                       {&GraphicTemperatury2, kPointRed}}
                 : std::vector<Target>{{&Graphic, kPointRed}, {&Graphic2, kPointBlue}};
    const double secondsPerUnit = humidity ? 60.0 : 1.0;
    double lastTime = 0.0;
    std::string label;
    readGraphFile(file, columns, [&](const GraphFileLine& line) {
        const std::optional<double> time = line.timeValue;
        labelOfTimeField(line.time, humidity, label);
        // A time that is no number leaves the point's label without one.
        const double seconds = time ? *time * secondsPerUnit : std::nan("");
        if (time) {
            lastTime = seconds;
        }
        for (std::size_t column = 0; column < line.values.size(); ++column) {
            if (const std::optional<double> value = line.values[column]) {
                targets[column].series->appendLabelled(graphPointNumber_, *value, seconds, label,
                                                       targets[column].colour);
            }
        }
        ++graphPointNumber_;
    });
    // Live points continue the loaded labels from where the last line's time ends.
    labelOrigin_ = graphClockSeconds() - lastTime;
    // Shown whole, as after "Стоп", unless a run holds the axis to its span.
    if (!running()) {
        Chart1->bottomAxis().setAutomatic(true);
    }
    scaleVertically(true);
    Chart1->unsetCursor();
}

} // namespace zorvan::graphs
