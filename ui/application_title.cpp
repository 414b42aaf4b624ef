#include "ui/application_title.h"

namespace zorvan::ui {

ApplicationTitle& ApplicationTitle::instance() {
    static ApplicationTitle title;
    return title;
}

void ApplicationTitle::setText(const QString& text) {
    if (text != text_) {
        text_ = text;
        Q_EMIT changed(text_);
    }
}

} // namespace zorvan::ui
