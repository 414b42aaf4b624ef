#pragma once

// Pictures of a chart for reports: PNG as the screen shows it, at the screen's pixel ratio, and
// PDF drawn as vectors, so lines stay sharp at any print size.

#include <QFileDialog>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace zorvan::graphs {

enum class PictureKind { Png, Pdf };

// Writes the picture of `chart` as drawn now; empty on success, else the reason it failed.
QString writeChartPicture(QWidget& chart, const QString& path, PictureKind kind);

struct PictureItemHooks {
    // Runs the dialog and gives the chosen file, empty on cancel.
    std::function<QString(QFileDialog&)> runFileDialog;
    // Shown when the picture could not be written: the file and the reason.
    std::function<void(const QString& path, const QString& reason)> reportFailure;
};

// Puts "Сохранить изображение графика" into `menu` before `before` (at the end when null). When
// chosen it asks for a file, PNG or PDF by the dialog's filter, adds that filter's extension to a
// name without it, and writes the picture of `chart`.
QAction* insertPictureItem(QMenu& menu, QAction* before, QWidget& chart, PictureItemHooks hooks);

} // namespace zorvan::graphs
