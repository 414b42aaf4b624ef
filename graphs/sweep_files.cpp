// The sweep window's chart menu: saving the current scan to a curve file, showing a file in its
// place, laying files over it in seven colours, and clearing curves.
#include "chart/plot_view.h"
#include "graphs/chart_picture.h"
#include "graphs/folder_caption.h"
#include "graphs/graph_file_dialogs.h"
#include "graphs/sweep_window.h"
#include "graphs/whole_file.h"
#include "settings/settings_variables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zorvan::graphs {

namespace {

struct OverlayLook {
    QColor colour;
    const char16_t* word;
};

// Overlay 1 .. 7.
const std::array<OverlayLook, kOverlayCount> kOverlays{{
    {QColor(0, 255, 255), u"гол."},
    {QColor(149, 43, 255), u"фиол."},
    {QColor(0, 0, 255), u"син."},
    {QColor(0, 128, 0), u"зел."},
    {QColor(255, 128, 0), u"оранж."},
    {QColor(128, 64, 0), u"коричн."},
    {QColor(0, 0, 0), u"чёрн."},
}};

const QColor kScanColour(Qt::red);

QString colourWord(int overlay) {
    return QString::fromUtf16(kOverlays[overlay].word);
}

// A curve's title from its file: the name without folder and without its last extension.
QString curveTitle(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

// Whatever the file's order: the curve keeps its points by ascending voltage, equal voltages in
// file order, and appending sorted points costs nothing per point.
void fillCurve(chart::LineSeries& curve, std::vector<CurvePoint> points, const QColor& colour) {
    std::stable_sort(points.begin(), points.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.volts < b.volts; });
    for (const CurvePoint& point : points) {
        curve.insertInXOrder(point.volts, point.percent, 0.0, colour);
    }
}

// Within this many pixels of the current scan's line the pointer asks for help.
constexpr double kLineReach = 4.0;

double distanceToSegment(QPointF point, QPointF from, QPointF to) {
    const QPointF along = to - from;
    const double length = QPointF::dotProduct(along, along);
    const double share =
        length > 0.0 ? std::clamp(QPointF::dotProduct(point - from, along) / length, 0.0, 1.0)
                     : 0.0;
    const QPointF nearest = from + share * along;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

// Whether `pixel` lies on the drawn line of `curve`, whose points are in X order.
bool onLine(const chart::LineSeries& curve, const chart::PlotView& view, QPointF pixel) {
    const qsizetype count = curve.count();
    if (count == 0) {
        return false;
    }
    const auto at = [&](qsizetype i) {
        return QPointF(view.pixelX(curve.x(i)), view.pixelY(curve.y(i)));
    };
    // The first point right of the pointer; the segments around it are the only candidates.
    const double volts = view.valueX(pixel.x() + kLineReach);
    qsizetype right = 0;
    qsizetype end = count;
    while (right < end) {
        const qsizetype middle = right + (end - right) / 2;
        if (curve.x(middle) <= volts) {
            right = middle + 1;
        } else {
            end = middle;
        }
    }
    const double leftVolts = view.valueX(pixel.x() - kLineReach);
    for (qsizetype i = std::min(right, count - 1); i >= 0; --i) {
        const QPointF from = at(std::max<qsizetype>(i - 1, 0));
        if (distanceToSegment(pixel, from, at(i)) <= kLineReach) {
            return true;
        }
        if (curve.x(i) < leftVolts) {
            break;
        }
    }
    return false;
}

void takeOutOfLegend(chart::LineSeries& curve) {
    curve.clear();
    curve.setShowInLegend(false);
}

} // namespace

void TfmGraphicAChH::createPopupMenu() {
    GraphPopupMenu = new QMenu(this);
    NSaveDataGraph =
        GraphPopupMenu->addAction(QIcon::fromTheme(QStringLiteral("document-save")),
                                  QStringLiteral("Сохранить в файле данные из графика"));
    QAction* N1 = GraphPopupMenu->addSeparator();
    NLoadDataGraph =
        GraphPopupMenu->addAction(QIcon::fromTheme(QStringLiteral("document-open")),
                                  QStringLiteral("Отобразить на графике данные из файла"));
    for (int i = kOverlayCount - 1; i >= 0; --i) {
        NLoadDataGraphDop[i] = GraphPopupMenu->addAction(
            QStringLiteral("Отобразить на дополнительном графике данные из файла (%1 цвет)")
                .arg(colourWord(i)));
    }
    GraphPopupMenu->addSeparator();
    NClearDataGraph = GraphPopupMenu->addAction(QIcon::fromTheme(QStringLiteral("edit-clear")),
                                                QStringLiteral("Очистить график"));
    for (int i = kOverlayCount - 1; i >= 0; --i) {
        NClearDataGraphDop[i] = GraphPopupMenu->addAction(
            QStringLiteral("Очистить дополнительный график (%1 цвет)").arg(colourWord(i)));
    }
    NClearAllDataGraphDop =
        GraphPopupMenu->addAction(QStringLiteral("Очистить все дополнительные графики"));
    NClearAllDataGraph = GraphPopupMenu->addAction(QIcon::fromTheme(QStringLiteral("edit-delete")),
                                                   QStringLiteral("Очистить все графики"));
    for (int i = 0; i < kOverlayCount; ++i) {
        QPixmap swatch(12, 12);
        swatch.fill(kOverlays[i].colour);
        GraphicDop[i]->setColour(kOverlays[i].colour);
        NLoadDataGraphDop[i]->setIcon(swatch);
        NClearDataGraphDop[i]->setIcon(swatch);
        connect(NLoadDataGraphDop[i], &QAction::triggered, this,
                [this, i] { NLoadDataGraphDopClick(i + 1); });
        connect(NClearDataGraphDop[i], &QAction::triggered, this,
                [this, i] { NClearDataGraphDopClick(i + 1); });
    }
    connect(NSaveDataGraph, &QAction::triggered, this, [this] { NSaveDataGraphClick(); });
    connect(NLoadDataGraph, &QAction::triggered, this, [this] { NLoadDataGraphClick(); });
    connect(NClearDataGraph, &QAction::triggered, this, [this] { NClearDataGraphClick(); });
    connect(NClearAllDataGraphDop, &QAction::triggered, this,
            [this] { NClearAllDataGraphDopClick(); });
    connect(NClearAllDataGraph, &QAction::triggered, this, [this] { NClearAllDataGraphClick(); });
    // The save and load items come back once the menu a right click opened has closed.
    connect(GraphPopupMenu, &QMenu::aboutToHide, this, [this] { showFileItems(); });
    NSaveGraphPicture = insertPictureItem(
        *GraphPopupMenu, N1, *Chart1,
        {[this](QFileDialog& dialog) { return runFileDialog(dialog); },
         [this](const QString& path, const QString& reason) { reportWriteFailure(path, reason); }});
    setClearItemsVisible({});
    Chart1->setPopupMenu(GraphPopupMenu);

    GraphTXTOpenDialog = new QFileDialog(this);
    configureTextFileDialog(*GraphTXTOpenDialog, QFileDialog::AcceptOpen);
    GraphTXTSaveDialog = new QFileDialog(this);
    configureTextFileDialog(*GraphTXTSaveDialog, QFileDialog::AcceptSave);
    // Choosing a file to save into is the decision to replace it; the dialog does not ask again.
    GraphTXTSaveDialog->setOption(QFileDialog::DontConfirmOverwrite);
}

void TfmGraphicAChH::NSaveDataGraphClick() {
    if (Graphic.count() == 0) {
        return;
    }
    const QString path = runFileDialog(*GraphTXTSaveDialog);
    if (path.isEmpty()) {
        return;
    }
    std::vector<CurvePoint> points;
    points.reserve(static_cast<std::size_t>(Graphic.count()));
    for (qsizetype i = 0; i < Graphic.count(); ++i) {
        points.push_back({Graphic.x(i), Graphic.y(i)});
    }
    if (const QString reason = writeWhole(path, curveFileBytes(points)); !reason.isEmpty()) {
        reportWriteFailure(path, reason);
        return;
    }
    showFolderInCaption(path);
    Graphic.setTitle(curveTitle(path));
    Graphic.setShowInLegend(true);
}

void TfmGraphicAChH::NLoadDataGraphClick() {
    const auto path = chooseCurveFile();
    if (!path) {
        return;
    }
    auto points = readChosenFile(*path);
    if (!points) {
        return;
    }
    Chart1->setCursor(Qt::WaitCursor);
    Graphic.clear();
    Graphic.setTitle(curveTitle(*path));
    Graphic.setShowInLegend(true);
    showFolderInCaption(*path);
    fillCurve(Graphic, std::move(*points), kScanColour);
    applyVerticalRange();
    Chart1->unsetCursor();
}

void TfmGraphicAChH::NLoadDataGraphDopClick(int n) {
    const auto path = chooseCurveFile();
    if (!path) {
        return;
    }
    auto points = readChosenFile(*path);
    if (!points) {
        return;
    }
    chart::LineSeries& overlay = *GraphicDop[n - 1];
    overlay.clear();
    overlay.setShowInLegend(true);
    overlay.setTitle(curveTitle(*path));
    showFolderInCaption(*path);
    fillCurve(overlay, std::move(*points), kOverlays[n - 1].colour);
    applyVerticalRange();
}

std::optional<QString> TfmGraphicAChH::chooseCurveFile() {
    const QString path = runFileDialog(*GraphTXTOpenDialog);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::vector<CurvePoint>> TfmGraphicAChH::readChosenFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(QMessageBox::Warning,
                    QStringLiteral("Не удалось прочитать файл \"%1\".\n%2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    auto points = readCurveFile(file.readAll());
    if (!points) {
        showMessage(QMessageBox::Warning, kWrongFormat + QLatin1Char('"') +
                                              QDir::toNativeSeparators(path) + QLatin1Char('"'));
    }
    return points;
}

void TfmGraphicAChH::showFolderInCaption(const QString& path) {
    const QString folder =
        ShortenFolderPath(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                          settings::captionPathMaxLength, settings::captionFullFoldersOnly);
    setWindowTitle(baseTitle_ + QStringLiteral("  \"") + folder + QLatin1Char('"'));
}

void TfmGraphicAChH::reportWriteFailure(const QString& path, const QString& reason) {
    showMessage(QMessageBox::Critical, QStringLiteral("Не удалось записать файл \"%1\".\n%2")
                                           .arg(QDir::toNativeSeparators(path), reason));
}

int TfmGraphicAChH::showMessage(QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, windowTitle(), text, buttons, this);
    return runMessageBox(box);
}

void TfmGraphicAChH::NClearDataGraphClick() {
    for (chart::LineSeries* scan : {&Graphic, &GraphicPreviousScan, &GraphicPrePreviousScan}) {
        takeOutOfLegend(*scan);
    }
    applyVerticalRange();
}

void TfmGraphicAChH::NClearDataGraphDopClick(int n) {
    takeOutOfLegend(*GraphicDop[n - 1]);
    applyVerticalRange();
}

void TfmGraphicAChH::NClearAllDataGraphDopClick() {
    for (chart::LineSeries* overlay : GraphicDop) {
        takeOutOfLegend(*overlay);
    }
    applyVerticalRange();
}

void TfmGraphicAChH::NClearAllDataGraphClick() {
    for (chart::LineSeries* overlay : GraphicDop) {
        takeOutOfLegend(*overlay);
    }
    NClearDataGraphClick();
}

void TfmGraphicAChH::Chart1MouseDown(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && Graphic.count() == 0) {
        NSaveDataGraph->setVisible(false);
    }
}

void TfmGraphicAChH::Chart1MouseMove(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::RightButton)) {
        NSaveDataGraph->setVisible(false);
        NLoadDataGraph->setVisible(false);
    }
    const chart::PlotView view{Chart1->plotArea(), Chart1->visibleXRange(),
                               Chart1->visibleYRange()};
    if (onLine(Graphic, view, event->position())) {
        Chart1->setCursor(Qt::WhatsThisCursor);
    } else if (Chart1->cursor().shape() == Qt::WhatsThisCursor) {
        Chart1->unsetCursor();
    }
}

void TfmGraphicAChH::Chart1MouseUp() {
    // The chart opens its menu right after this; the items it hid stay hidden until that menu
    // closes, or come back at once when no menu opened.
    QTimer::singleShot(0, this, [this] {
        if (!GraphPopupMenu->isVisible()) {
            showFileItems();
        }
    });
}

void TfmGraphicAChH::showFileItems() {
    NSaveDataGraph->setVisible(true);
    NLoadDataGraph->setVisible(true);
}

} // namespace zorvan::graphs
