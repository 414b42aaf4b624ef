#include "tools/screenshots/scene_pictures.h"

#include "ui/window_picture.h"

#include <QPainter>
#include <QWidget>
#include <cstdio>

namespace zorvan::screenshots {

namespace {

QDir outputFolder;
int written = 0;

// Offscreen windows have no frame: a window that has the system's caption gets a plain caption
// bar above it in the picture, so its title can be read.
QImage withCaption(QWidget& window, const QImage& picture) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return picture;
    }
    constexpr int kCaptionHeight = 26;
    const QSize size = picture.deviceIndependentSize().toSize();
    const qreal ratio = picture.devicePixelRatio();
    QImage framed(QSize(size.width(), size.height() + kCaptionHeight) * ratio,
                  QImage::Format_RGB32);
    framed.setDevicePixelRatio(ratio);
    framed.fill(QColor(60, 64, 72));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, size.width() - 16, kCaptionHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
    painter.drawImage(0, kCaptionHeight, picture);
    return framed;
}

QString pathOf(const QString& name) {
    return outputFolder.filePath(name + QStringLiteral(".png"));
}

} // namespace

bool setOutputFolder(const QString& path) {
    // Absolute: some scenes work in a folder of their own.
    outputFolder = QDir(QDir(path).absolutePath());
    return outputFolder.mkpath(QStringLiteral("."));
}

void save(QWidget& window, const QString& name) {
    if (savePicture(withCaption(window, ui::renderWindowPicture(window)), name)) {
        std::printf("%s\n", qPrintable(pathOf(name)));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(pathOf(name)));
    }
}

bool savePicture(const QImage& picture, const QString& name) {
    if (!picture.save(pathOf(name))) {
        return false;
    }
    ++written;
    return true;
}

int picturesWritten() {
    return written;
}

} // namespace zorvan::screenshots
