#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace {

struct ErrnoReason {
    int err;
    const char16_t* text;
};

// The reasons a file, folder or port operation meets in practice.
constexpr ErrnoReason kReasons[] = {
    {EACCES, u"Нет прав доступа."},
    {EPERM, u"Операция не разрешена."},
    {ENOENT, u"Нет такого файла или папки."},
    {EROFS, u"Файловая система доступна только для чтения."},
    {ENOSPC, u"На диске нет места."},
    {EDQUOT, u"Превышена дисковая квота."},
    {EEXIST, u"Файл уже существует."},
    {ENOTDIR, u"Часть пути не является папкой."},
    {EISDIR, u"Это папка, а не файл."},
    {ENOTEMPTY, u"Папка не пуста."},
    {ENAMETOOLONG, u"Слишком длинное имя файла."},
    {ELOOP, u"Слишком много уровней символических ссылок."},
    {EXDEV, u"Файл нельзя перенести на другую файловую систему."},
    {EBUSY, u"Устройство или файл заняты."},
    {ETXTBSY, u"Файл занят."},
    {EIO, u"Ошибка ввода-вывода."},
    {ENXIO, u"Нет такого устройства или адреса."},
    {ENODEV, u"Нет такого устройства."},
    {EFBIG, u"Файл слишком велик."},
    {EMFILE, u"Открыто слишком много файлов."},
    {ENFILE, u"Открыто слишком много файлов в системе."},
    {ENOMEM, u"Недостаточно памяти."},
    {EAGAIN, u"Ресурс временно недоступен."},
    {EINVAL, u"Недопустимый аргумент."},
    {EBADF, u"Неверный дескриптор файла."},
    {ESPIPE, u"Недопустимое перемещение в файле."},
    {EINTR, u"Операция прервана сигналом."},
    {ETIMEDOUT, u"Время ожидания истекло."},
    {ENOSYS, u"Функция не поддерживается."},
    {EOPNOTSUPP, u"Операция не поддерживается."},
};

bool endsSentence(const QString& text) {
    return text.endsWith(u'.') || text.endsWith(u'!') || text.endsWith(u'?');
}

QString asSentence(QString text) {
    text = text.trimmed();
    if (text.isEmpty()) return text;
    text[0] = text[0].toUpper();
    return endsSentence(text) ? text : text + u'.';
}

}  // namespace

QString SystemReason(int err) {
    for (const ErrnoReason& r : kReasons)
        if (r.err == err) return QString::fromUtf16(r.text);
    return QStringLiteral("Системная ошибка %1.").arg(err);
}

QString SystemReason(const QString& systemText) {
    const QString text = systemText.trimmed();
    for (const ErrnoReason& r : kReasons)
        if (text.compare(QString::fromLocal8Bit(std::strerror(r.err)), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(r.text);
    return asSentence(text);
}

QString WithReason(const QString& sentence, const QString& reason) {
    const QString head = asSentence(sentence);
    if (reason.trimmed().isEmpty()) return head;
    return head.isEmpty() ? asSentence(reason) : head + u' ' + asSentence(reason);
}
