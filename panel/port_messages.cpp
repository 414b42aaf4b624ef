#include "panel/port_messages.h"

namespace zorvan::panel {

namespace {

const QString kNoPoll = QStringLiteral("\nОпрос не осуществляется.");

QString quoted(const std::string& name) {
    return QLatin1Char('"') + QString::fromStdString(name) + QLatin1Char('"');
}

} // namespace

PortMessage portMessage(const link::PortFailure& failure) {
    using link::PortFailureKind;
    const QString cannotOpen = QStringLiteral("Не могу открыть ") + quoted(failure.portName);
    switch (failure.kind) {
    case PortFailureKind::NoName:
        return {QStringLiteral("COM-порт не задан."), 14, 52, 40};
    case PortFailureKind::NotFound:
        return {cannotOpen + QStringLiteral(",\nтакого порта не существует.") + kNoPoll, 10, 37,
                55};
    case PortFailureKind::Busy:
        return {cannotOpen + QStringLiteral(",\nпорт занят.") + kNoPoll, 10, 37, 55};
    case PortFailureKind::OtherError:
        return {cannotOpen + QStringLiteral(",\nкод ошибки: %1.").arg(failure.systemCode) + kNoPoll,
                10, 38, 54};
    case PortFailureKind::SetupFailed:
        return {QStringLiteral("Необходимые параметры\nпорта") + quoted(failure.portName) +
                    QStringLiteral("\nне установлены"),
                12, 36, 56};
    }
    return {};
}

} // namespace zorvan::panel
