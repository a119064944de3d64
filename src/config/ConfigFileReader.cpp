#include "config/ConfigFileReader.h"

#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "platform/Dialogs.h"

#include <QFile>

namespace {

constexpr int kScreenPeekBytes = 30;

quint8 byteAt(QByteArrayView data, qsizetype i) {
    return i < data.size() ? quint8(data[i]) : 0;
}

void refuseTooLarge() {
    Dialogs::Message(QStringLiteral("Отказ"),
                     QStringLiteral("Файл слишком велик для конфигурационного файла."),
                     DlgButtons::Ok, DlgIcon::None);
}

// The sections' part of the file: from the date word of a recognised header, else all.
QByteArrayView bodyOf(QByteArrayView data, const ConfigHeaderMark& mark) {
    const qsizetype start = mark.recognised ? kConfigDateWordOffset : 0;
    return start < data.size() ? data.sliced(start) : QByteArrayView();
}

// Reads at most limit bytes; false on an open or read error.
ConfigReadStatus readBounded(const QString& fileName, qint64 limit, QByteArray& data,
                             qint64* fileSize) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return ConfigReadStatus::OpenFailed;
    if (fileSize) *fileSize = file.size();
    data = file.read(limit);
    if (file.error() != QFileDevice::NoError) return ConfigReadStatus::ReadFailed;
    return ConfigReadStatus::Ok;
}

}  // namespace

QString ConfigReadErrorText(ConfigReadStatus status, const QString& fileName) {
    switch (status) {
        case ConfigReadStatus::OpenFailed:
            return QStringLiteral("Не удалось открыть файл ") + fileName;
        case ConfigReadStatus::ReadFailed:
            return QStringLiteral("Ошибка чтения файла ") + fileName;
        default:
            return QString();
    }
}

ConfigReadStatus ReadConfigBytes(QByteArrayView data, ConfigReadOutput& out, QStringList* messages,
                                 QStringList* headerLines, int sepDevice) {
    out.Clear();
    if (data.size() >= kConfigFileSizeLimit) {
        refuseTooLarge();
        return ConfigReadStatus::TooLarge;
    }
    const ConfigHeaderMark mark = RecogniseConfigHeader(data);
    const quint8 first = byteAt(data, 0);
    out.deviceByte = BitField(first, 8);
    out.deviceNumber = mark.deviceNumber;
    if (messages) {
        if (mark.namesDevice) messages->append(DeviceAddrName(first & 0x7F, sepDevice));
        if (!mark.producer.isEmpty()) messages->append(mark.producer);
    }
    if (headerLines) {
        const int listed = mark.recognised ? kConfigDateWordOffset : 1;
        for (int i = 0; i < listed; ++i) headerLines->append(ByteToHex(byteAt(data, i)));
    }
    out.image = ImageFromBytes(bodyOf(data, mark));
    return ConfigReadStatus::Ok;
}

ConfigReadStatus ReadConfigFile(const QString& fileName, ConfigReadOutput& out,
                                QStringList* messages, QStringList* headerLines, int sepDevice) {
    out.Clear();
    QByteArray data;
    qint64 size = 0;
    // One byte past the limit is enough to tell a file that grew while we read it.
    const ConfigReadStatus st = readBounded(fileName, kConfigFileSizeLimit, data, &size);
    if (st != ConfigReadStatus::Ok) return st;
    if (size >= kConfigFileSizeLimit) {
        refuseTooLarge();
        return ConfigReadStatus::TooLarge;
    }
    return ReadConfigBytes(data, out, messages, headerLines, sepDevice);
}

ConfigReadStatus ReadConfigFile(const QString& fileName, ConfigReadOutput& out,
                                QStringList* messages, QStringList* headerLines) {
    return ReadConfigFile(fileName, out, messages, headerLines, Globals().SepDevice);
}

ConfigReadStatus ReadConfigBytesForScreen(QByteArrayView data, const QString& fileName,
                                          ScreenReadOutput& out, QStringList* detail,
                                          QStringList* steps, int sepDevice) {
    out.Clear();
    if (steps) steps->append(QStringLiteral("Чтение файла ") + fileName);
    if (detail)
        *detail << QStringLiteral("* * * * * * * * * * * * * * * * * * *")
                << QStringLiteral("Считывание... ") << QString();
    const ConfigHeaderMark mark =
        RecogniseScreenHeader(data.first(qMin<qsizetype>(data.size(), kScreenPeekBytes)));
    if (detail) {
        if (mark.namesDevice) detail->append(DeviceAddrName(byteAt(data, 0) & 0x7F, sepDevice));
        if (!mark.producer.isEmpty()) detail->append(mark.producer);
    }
    const QByteArrayView body = bodyOf(data, mark);
    if (body.size() >= kScreenReadLimit) {
        if (steps) steps->append(QStringLiteral("Превышение допустимой длины КФ."));
        return ConfigReadStatus::TooLarge;
    }
    out.jDev = mark.deviceNumber;
    out.image = ImageFromBytes(body);
    if (detail) *detail << fileName << QStringLiteral("Разбор CNF");
    QString trailerText;
    out.trailerResult = CheckConfigTrailer(out.image, trailerText);
    if (detail) detail->append(trailerText);
    return ConfigReadStatus::Ok;
}

ConfigReadStatus ReadConfigForScreen(const QString& fileName, ScreenReadOutput& out,
                                     QStringList* detail, QStringList* steps, int sepDevice) {
    out.Clear();
    QByteArray data;
    // Enough to reach the limit after the longest header.
    const ConfigReadStatus st =
        readBounded(fileName, kConfigDateWordOffset + kScreenReadLimit, data, nullptr);
    if (st != ConfigReadStatus::Ok) return st;
    return ReadConfigBytesForScreen(data, fileName, out, detail, steps, sepDevice);
}
