// The graph window's crash-safe recording: while the threshold or the humidity graph runs, each
// plotted point's line goes to an automatic file beside the settings file as it is plotted, in
// the line format of a saved graph.
#include "graphs/graph_file.h"
#include "graphs/graph_window.h"
#include "graphs/recording_file.h"
#include "link/worker_threads.h"
#include "settings/number_format.h"
#include "settings/settings_path.h"
#include "ui/line_job.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvan::graphs {

QString TFormGraphic::automaticFileName() const {
    const QString folder = QFileInfo(settings::settingsFilePath()).absolutePath();
    const QString suffix =
        mode_ == GraphMode::Threshold ? QStringLiteral(" порог.txt") : QStringLiteral(".txt");
    return QDir(folder).filePath(
        QLatin1Char('_') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh-mm")) + suffix);
}

void TFormGraphic::startRecording() {
    // The last run's rewrite at "Стоп" is done before a start within the same minute moves
    // its file aside.
    recording_.reset();
    autoSaveFileName_ = automaticFileName();
    const ui::UiPost post = ui::postTo(this);
    const QString path = autoSaveFileName_;
    recording_ = std::make_shared<RecordingFile>(path, [this, post, path](const QString& error) {
        post([this, path, error] { showFileError(path, error); });
    });
    if (QFile::exists(path)) {
        recording_->rewrite([] { return QByteArray(); });
    }
}

void TFormGraphic::endRecording() {
    if (!recording_) {
        return;
    }
    // Finished off this thread; the program waits for its workers before it ends.
    const std::shared_ptr<RecordingFile> ending = std::move(recording_);
    if (!link::tryStartWorker([ending] { ending->finish(); })) {
        ending->finish();
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
