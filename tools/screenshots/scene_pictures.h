#pragma once

// Where the screenshots go and how a window or a grabbed image becomes a PNG file there.

#include <QDir>
#include <QImage>
#include <QString>

class QWidget;

namespace zorvan::screenshots {

// Makes the folder; false when it cannot be made.
bool setOutputFolder(const QString& path);

// The window as it is drawn now, under `name`.png; its path is printed.
void save(QWidget& window, const QString& name);
// Any other picture, under `name`.png; false when it could not be written.
bool savePicture(const QImage& picture, const QString& name);

int picturesWritten();

} // namespace zorvan::screenshots
