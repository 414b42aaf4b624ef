#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace zorvan::app {

bool installQtTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QStringList folders{QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/translations"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder)) {
            return QCoreApplication::installTranslator(translator);
        }
    }
    delete translator;
    return false;
}

} // namespace zorvan::app
