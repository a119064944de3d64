#include "config/ConfigReadScreen.h"

#include "config/CallCodeSection.h"
#include "config/ConfigImage.h"
#include "config/ConsoleSections.h"
#include "config/DayNightSection.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/SwitchSections.h"
#include "config/TBvParams.h"
#include "config/TPkParams.h"
#include "config/TPoParams.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

#include <QFile>

namespace {

constexpr int kBlockBytes = 32;

QString lengthLine(qint64 bits) {
    return QStringLiteral("Dlina:=") + QString::number(bits);
}

// The read-screen lines of section n of a switch file.
QStringList switchSection(int n, const QString& text) {
    switch (n) {
        case 0:
            return DecodePkSection0(text);
        case 2:
            return DecodePkSection2(text);
        case 3:
            return DecodePkSection3(text);
        case 4:
            return DecodePkSection4(text);
        case 5:
            return DecodePkSection5(text);
        case 6:
            return DecodePkSection6(text);
        default:
            return DecodePkSection7(text);
    }
}

// The read-screen lines of section n of the console file; total carries the
// apartment count section 2 announces to the sections after it.
QStringList consoleSection(int n, const QString& text, int sepDevice, int& total) {
    switch (n) {
        case 0:
            return DecodePoSection0(text);
        case 2:
            return DecodePoSection2(text, sepDevice, &total);
        case 3:
            return DecodeCallCodes(text, total);
        case 4:
            return DecodeFlagMasks(text, total);
        case 5:
            return DecodePoSection5(text, total);
        default:
            return DecodePoSection6(text);
    }
}

// The read-screen lines of section n of a call-panel file; total as for the console.
QStringList panelSection(int n, const QString& text, int sepDevice, int& total) {
    switch (n) {
        case 0:
            return DecodeBvSection0(text);
        case 2:
            return DecodeBvSection2(text, sepDevice, &total);
        case 3:
            return DecodeCallCodes(text, total);
        case 4:
            return DecodeFlagMasks(text, total);
        case 5:
            return DecodeBvSection5(text);
        case 6:
            return DecodeBvSection6(text);
        default:
            return DecodeBvSection7(text);
    }
}

QStringList decodeSection(int kind, int n, const QString& text, int sepDevice, int& total) {
    switch (kind) {
        case kKindSwitch:
            return switchSection(n, text);
        case kKindCallPanel:
            return panelSection(n, text, sepDevice, total);
        case kKindConsole:
            return consoleSection(n, text, sepDevice, total);
        default:
            return {};
    }
}

// Section 1 of a switch or call-panel file names the database it came from.
void checkIdentification(int kind, const QString& section1, ReadScreenParse& p) {
    if (kind == kKindConsole) return;  // taken, but not decoded
    if (DecodeIdentSection(section1).idNet < 0)
        p.steps << QStringLiteral("Данный файл создан в c другой ДБ.");
}

// The end of a dump line: ":  ", the byte's eight bits, " - " and "$" with
// its two hexadecimal digits.
void appendDumpedByte(QString& line, quint8 b) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // Made in a buffer and appended at once: a dump has a line a byte.
    char text[] = ":  76543210 - $HL";
    for (int bit = 7; bit >= 0; --bit) text[10 - bit] = (b >> bit) & 1 ? '1' : '0';
    text[sizeof text - 3] = kHex[b >> 4];
    text[sizeof text - 2] = kHex[b & 0xF];
    line += QLatin1String(text, qsizetype(sizeof text - 1));
}

constexpr int kDumpLineLength = 48;  // room for the longest line, so it is made in one piece

}  // namespace

int ReadScreenKind(int jDev, qint64 section0Bits, const ConfigScreenSettings& s) {
    if (jDev < 0) return ConfigKindByLength(section0Bits, s.sizes);
    return ConfigKindByDeviceNumber(jDev, s.maxDevice, s.sepDevice);
}

QStringList ImageByteFields(const QString& image) {
    QStringList fields;
    fields.reserve(image.size() / 8);
    for (qsizetype end = image.size(); end >= 8; end -= 8) fields << image.mid(end - 8, 8);
    return fields;
}

QStringList UnknownFormatDump(const QString& image) {
    QStringList lines;
    lines.reserve(image.size() / 8);
    int number = 0;
    for (qsizetype end = image.size(); end >= 8; end -= 8) {
        QString line;
        line.reserve(kDumpLineLength);
        line += QLatin1String("bt");
        AppendNumber(line, ++number, 8);
        appendDumpedByte(line, quint8(BinToInt(QStringView(image).mid(end - 8, 8))));
        lines << line;
    }
    return lines;
}

QStringList RawDumpLines(QByteArrayView bytes) {
    QStringList lines;
    lines.reserve(bytes.size() + bytes.size() / kBlockBytes);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % kBlockBytes == 0)
            lines << QStringLiteral("- - - - - - - - - -") + IntToStrZ(i / kBlockBytes, 8);
        QString line;
        line.reserve(kDumpLineLength);
        line += QLatin1String("bt");
        AppendNumber(line, i, 8);
        line += QLatin1String(" $");
        line += PadLeft(IntToHexBytes(i), QLatin1Char('0'), 8);
        appendDumpedByte(line, quint8(bytes[i]));
        lines << line;
    }
    return lines;
}

ReadScreenParse ParseConfigFile(QString image, int jDev, int previousKind,
                                const ConfigScreenSettings& settings) {
    ReadScreenParse p;
    QString section0;
    const qint64 bits0 = TakeSection(image, section0);
    p.kind = ReadScreenKind(jDev, bits0, settings);
    if (p.kind != previousKind) p.detail << QString();
    if (p.kind == kKindUnknown) {
        Dialogs::Message(QStringLiteral("Ошибка"), QStringLiteral("Неопределенный формат файла."),
                         DlgButtons::Ok, DlgIcon::Error);
        p.detail << UnknownFormatDump(image);
        return p;
    }
    QString text;
    TakeSection(image, text);
    checkIdentification(p.kind, text, p);

    int total = 0;
    if (bits0 > 0) p.detail << decodeSection(p.kind, 0, section0, settings.sepDevice, total);
    p.detail << lengthLine(bits0);
    // A section that does not fit stays on the image, and so do all after it.
    for (int n = 2; n <= 6; ++n) {
        const qint64 bits = TakeSection(image, text);
        if (bits > 0) p.detail << decodeSection(p.kind, n, text, settings.sepDevice, total);
        p.detail << lengthLine(bits);
    }
    if (p.kind != kKindConsole && TakeSection(image, text) > 0)
        p.detail << decodeSection(p.kind, 7, text, settings.sepDevice, total);
    return p;
}

ReadScreenResult ReadScreenFile(const QString& fileName, bool raw, int previousKind,
                                const ConfigScreenSettings& settings) {
    ReadScreenResult r;
    r.kind = previousKind;
    if (raw) {
        r.steps << QStringLiteral("Чтение файла ") + fileName;
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            r.status = ConfigReadStatus::OpenFailed;
        } else {
            // A dump is for configuration files; anything longer is cut where
            // the decoding read would give up too.
            const QByteArray bytes = file.read(kScreenReadLimit);
            if (file.error() != QFileDevice::NoError) r.status = ConfigReadStatus::ReadFailed;
            r.detail << RawDumpLines(bytes);
            if (!file.atEnd())
                r.steps << QStringLiteral("Превышение допустимой длины КФ.");
            else
                r.steps << QStringLiteral("Чтение файла без анализа закончено.");
        }
    } else {
        ScreenReadOutput out;
        r.status = ReadConfigForScreen(fileName, out, &r.detail, &r.steps, settings.sepDevice);
        if (r.status == ConfigReadStatus::Ok) {
            r.jDev = out.jDev;
            ReadScreenParse p = ParseConfigFile(out.image, out.jDev, previousKind, settings);
            r.kind = p.kind;
            r.detail << p.detail;
            r.steps << p.steps << QStringLiteral("Чтение файла закончено.");
        }
    }
    if (r.status == ConfigReadStatus::OpenFailed || r.status == ConfigReadStatus::ReadFailed) {
        const QString why = ConfigReadErrorText(r.status, fileName);
        r.steps << why;
        Dialogs::Message(QStringLiteral("Ошибка"), why, DlgButtons::Ok, DlgIcon::Error);
    }
    return r;
}
