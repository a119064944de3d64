#include "netlink/EComPort.h"

#include "platform/Dialogs.h"

QString ComFaultText(ComFault fault) {
    switch (fault) {
        case ComFault::NoSuchPort:
            return QStringLiteral("Попытка открыть несуществующий COM-порт");
        case ComFault::PortBusy:
            return QStringLiteral("Порт занят другой программой");
        case ComFault::WriteFailed:
            return QStringLiteral("Ошибка записи в порт");
        case ComFault::ReadFailed:
            return QStringLiteral("Ошибка чтения из порта");
        case ComFault::BadAsyncRecord:
            return QStringLiteral("Недопустимый параметр Async");
        case ComFault::PurgeFailed:
            return QStringLiteral("Ошибка функции PurgeComm");
        case ComFault::AsyncStatusFailed:
            return QStringLiteral("Не удалось получить статус асинхронной операции");
        case ComFault::LineSettingsFailed:
            return QStringLiteral("Ошибка функции SetCommState");
        case ComFault::TimeoutsFailed:
            return QStringLiteral("Ошибка функции SetCommTimeouts");
        case ComFault::BufferSizesFailed:
            return QStringLiteral("Ошибка функции SetupComm");
        case ComFault::InputStateFailed:
            return QStringLiteral("Ошибка функции ClearCommError");
        case ComFault::ModemStatusFailed:
            return QStringLiteral("Ошибка функции GetCommModemStatus");
        case ComFault::LineControlFailed:
            return QStringLiteral("Ошибка функции EscapeCommFunction");
        case ComFault::PropertyWhileOpen:
            return QStringLiteral("Нельзя менять свойство, пока порт открыт");
    }
    return QString();
}

EComPort::EComPort(ComFault fault)
    : std::runtime_error(ComFaultText(fault).toStdString()), fault_(fault) {}

bool RunTellingPortFault(const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const EComPort& e) {
        Dialogs::Error(QStringLiteral("Ошибка"), e.Message());
    }
    return false;
}
