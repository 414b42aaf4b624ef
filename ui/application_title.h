#pragma once

// The name the panels are titled with: "Zorvan 4X, 8X" until instrument 1 tells its kind, then
// that kind ("Zorvan 43"). It is kept apart from Qt's application display name on purpose: Qt
// appends a set display name to the title of every other window ("Настройки - Zorvan 43").

#include <QObject>
#include <QString>

namespace zorvan::ui {

class ApplicationTitle : public QObject {
    Q_OBJECT

public:
    static ApplicationTitle& instance();

    const QString& text() const { return text_; }
    void setText(const QString& text);

Q_SIGNALS:
    void changed(const QString& text);

private:
    QString text_ = QStringLiteral("Zorvan 4X, 8X");
};

inline const QString& applicationTitle() {
    return ApplicationTitle::instance().text();
}

} // namespace zorvan::ui
