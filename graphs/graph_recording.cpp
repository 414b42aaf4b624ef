// The graph window's crash-safe recording: while the threshold or the humidity graph runs, each
// plotted point's line goes to an automatic file beside the settings file as it is plotted, in
// the line format of a saved graph.
#include "graphs/graph_file.h"
#include "graphs/graph_window.h"
#include "graphs/recording_file.h"
#include "graphs/whole_file.h"
#include "settings/number_format.h"
#include "settings/settings_path.h"
#include "ui/line_job.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvan::graphs {

namespace {

// A run's file name is free while neither it nor its backup exists: a later run of the same
// minute never writes into an earlier run's file.
bool nameTaken(const QString& path) {
    return QFile::exists(path) || QFile::exists(backupNameOf(path));
}

QString recordingMessage(RecordingEvent event, const QString& path, const QString& reason) {
    switch (event) {
    case RecordingEvent::Failed:
        return QStringLiteral(
                   "Не удалось записать файл\n%1\n%2\nТочки графика ждут в памяти и будут "
                   "записаны, как только запись снова удастся.")
            .arg(path, reason);
    case RecordingEvent::CaughtUp:
        return QStringLiteral("Запись в файл\n%1\nвозобновлена: в нём все точки графика.")
            .arg(path);
    case RecordingEvent::Dropped:
        return QStringLiteral(
                   "Точки графика, ждущие записи в файл\n%1,\nзаняли 64 МБ памяти: новые "
                   "точки в файл не записываются, пока запись не удастся.")
            .arg(path);
    }
    return {};
}

} // namespace

// The first run of a minute takes the minute's name; a later run of that minute the same name
// with " (2)", " (3)" and so on before the extension.
QString TFormGraphic::automaticFileName() const {
    const QString folder = QFileInfo(settings::settingsFilePath()).absolutePath();
    const QString stem =
        QDir(folder).filePath(QLatin1Char('_') + QDateTime::currentDateTime().toString(
                                                     QStringLiteral("yyyy.MM.dd hh-mm")));
    const QString mode = mode_ == GraphMode::Threshold ? QStringLiteral(" порог") : QString();
    QString path = stem + mode + QStringLiteral(".txt");
    for (int run = 2; nameTaken(path); ++run) {
        path = stem + mode + QStringLiteral(" (%1).txt").arg(run);
    }
    return path;
}

void TFormGraphic::startRecording() {
    // The last run's file is finished off this thread: a start never waits for the disk.
    endRecording();
    autoSaveFileName_ = automaticFileName();
    const ui::UiPost post = ui::postTo(this);
    const QString path = autoSaveFileName_;
    recording_ = std::make_shared<RecordingFile>(
        path, [this, post, path](RecordingEvent event, const QString& reason) {
            post([this, event, text = recordingMessage(event, path, reason)] {
                showRecordingMessage(event, text);
            });
        });
}

void TFormGraphic::endRecording() {
    if (recording_) {
        finishInBackground(std::move(recording_));
    }
}

// Each line pads its time to the width of the first point's, as a graph saved whole does.
void TFormGraphic::recordPointsFrom(qsizetype first) {
    if (!recording_ || first >= Graphic.count()) {
        return;
    }
    const std::vector<SavedColumn> columns = savedColumns();
    std::vector<GraphFileValue> values(columns.size());
    std::string scratch;
    const qsizetype timeWidth = qsizetype(timeFieldOf(0, scratch).size()) + labelUnitLength();
    const char separator = settings::decimalSeparator().toLatin1();
    QByteArray lines;
    for (qsizetype point = first; point < Graphic.count(); ++point) {
        for (std::size_t column = 0; column < columns.size(); ++column) {
            values[column] = {columns[column].series->y(point), columns[column].decimals};
        }
        appendGraphFileLine(lines, timeFieldOf(point, scratch), timeWidth, values, separator);
    }
    recording_->append(lines);
}

} // namespace zorvan::graphs
