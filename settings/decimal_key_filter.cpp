#include "settings/decimal_key_filter.h"

#include "settings/number_format.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace zorvan::settings {
namespace {

constexpr QChar kBackspace{u'\b'};

class DecimalKeyFilter final : public QObject {
public:
    DecimalKeyFilter(QLineEdit& edit, Sign sign) : QObject(&edit), edit_(edit), sign_(sign) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.isEmpty() || !typed.front().isPrint()) {
            return false;
        }
        const std::optional<QChar> result =
            typed.size() == 1
                ? decimalKeyResult(typed.front(), edit_.text(), decimalSeparator(), sign_)
                : std::nullopt;
        if (result == typed.front()) {
            return false;
        }
        if (result) {
            edit_.insert(QString(*result));
        }
        return true;
    }

private:
    QLineEdit& edit_;
    Sign sign_;
};

} // namespace

std::optional<QChar> decimalKeyResult(QChar typed, QStringView text, QChar separator, Sign sign) {
    if ((typed >= u'0' && typed <= u'9') || typed == kBackspace) {
        return typed;
    }
    if (typed == u'-' && sign == Sign::Allowed) {
        return typed;
    }
    if ((typed == u'.' || typed == u',') && !text.contains(separator)) {
        return separator;
    }
    return std::nullopt;
}

void filterDecimalKeys(QLineEdit& edit, Sign sign) {
    edit.installEventFilter(new DecimalKeyFilter(edit, sign));
}

} // namespace zorvan::settings
