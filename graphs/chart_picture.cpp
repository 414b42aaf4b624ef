#include "graphs/chart_picture.h"

#include <QAction>
#include <QFileInfo>
#include <QImageWriter>
#include <QMenu>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QWidget>
#include <algorithm>

namespace zorvan::graphs {

namespace {

// Widget pixels are taken as 1/96 inch, so the page has the chart's size on a screen.
constexpr int kScreenDotsPerInch = 96;
constexpr double kPointsPerInch = 72.0;

const QString kPngFilter = QStringLiteral("Рисунок PNG (*.png)");
const QString kPdfFilter = QStringLiteral("Документ PDF (*.pdf)");

QString suffixOf(PictureKind kind) {
    return kind == PictureKind::Pdf ? QStringLiteral("pdf") : QStringLiteral("png");
}

QString writePng(QWidget& chart, const QString& path) {
    // grab() paints at the widget's device pixel ratio: the picture is what the screen shows.
    const QPixmap picture = chart.grab();
    QImageWriter writer(path, "png");
    return writer.write(picture.toImage()) ? QString() : writer.errorString();
}

QString writePdf(QWidget& chart, const QString& path) {
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("Zorvan 4X, 8X"));
    writer.setResolution(kScreenDotsPerInch);
    const QSizeF points = QSizeF(chart.size()) * (kPointsPerInch / kScreenDotsPerInch);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    QPainter painter;
    if (!painter.begin(&writer)) {
        return QStringLiteral("Файл не удалось создать.");
    }
    const double scale = writer.width() / double(std::max(1, chart.width()));
    painter.scale(scale, scale);
    // Rendering through the PDF painter keeps the chart's lines and texts as vectors.
    chart.render(&painter);
    return painter.end() ? QString() : QStringLiteral("Файл не удалось записать.");
}

void configurePictureDialog(QFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kPngFilter, kPdfFilter});
    dialog.setDefaultSuffix(suffixOf(PictureKind::Png));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         dialog.setDefaultSuffix(
                             suffixOf(filter == kPdfFilter ? PictureKind::Pdf : PictureKind::Png));
                     });
}

} // namespace

QString writeChartPicture(QWidget& chart, const QString& path, PictureKind kind) {
    return kind == PictureKind::Pdf ? writePdf(chart, path) : writePng(chart, path);
}

QAction* insertPictureItem(QMenu& menu, QAction* before, QWidget& chart, PictureItemHooks hooks) {
    auto* item = new QAction(QIcon::fromTheme(QStringLiteral("image-x-generic")),
                             QStringLiteral("Сохранить изображение графика"), &menu);
    menu.insertAction(before, item);
    // One dialog for the menu's life, so it opens in the folder chosen last.
    auto* dialog = new QFileDialog(&menu);
    configurePictureDialog(*dialog);
    QObject::connect(item, &QAction::triggered, &menu, [dialog, &chart, hooks] {
        QString path = hooks.runFileDialog(*dialog);
        if (path.isEmpty()) {
            return;
        }
        const PictureKind kind =
            dialog->selectedNameFilter() == kPdfFilter ? PictureKind::Pdf : PictureKind::Png;
        if (QFileInfo(path).suffix().compare(suffixOf(kind), Qt::CaseInsensitive) != 0) {
            path += QLatin1Char('.') + suffixOf(kind);
        }
        if (const QString reason = writeChartPicture(chart, path, kind); !reason.isEmpty()) {
            hooks.reportFailure(path, reason);
        }
    });
    return item;
}

} // namespace zorvan::graphs
