#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform cannot shape windows and says so on every mask change; the
// masks themselves are still kept by the widgets, which is what the tests look at.
void dropMaskWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("does not support setting window masks"))) {
        return;
    }
    defaultHandler(type, context, text);
}

} // namespace

// The window tests need a QApplication; they always run on the offscreen platform so
// they behave the same on a desktop, in CI and over ssh.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(dropMaskWarnings);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
