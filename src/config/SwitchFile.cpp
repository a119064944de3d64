#include "config/SwitchFile.h"

#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/SwitchSections.h"
#include "config/TPkParams.h"
#include "foundation/BitAndStr.h"

#include <QStringList>

namespace {

constexpr int kSections = 8;
constexpr int kLengthBits = 16;

// Builds section i of the switch into text; false when the file cannot be made.
// videoMask carries the mask section 3 builds over to section 7.
bool encodeSection(int i, const SwitchFileInput& in, QString& videoMask, QString& text,
                   ConfigLogs& logs) {
    switch (i) {
        case 0:
            return EncodePkSection0(in.paramSet, in.device, text, logs);
        case 1:
            text = EncodePkSection1(in.object, in.device, logs);
            return true;
        case 2:
            text = EncodePkSection2(in.tractPanels, in.sepDevice, logs);
            return true;
        case 3:
            text = EncodePkSection3(in.apartments, videoMask, logs);
            return true;
        case 4:
            text = EncodePkSection4(in.callMelody, in.ringBackMelody, logs);
            return true;
        case 5:
            text = EncodePkSection5(logs);
            return true;
        case 6:
            text = EncodePkSection6(in.paramSet, in.device, in.apartments, logs);
            return true;
        default:
            text = EncodePkSection7(in.device, videoMask, logs);
            return true;
    }
}

// Sections 0..7 while they fit; false with the build's status set when not.
bool buildSections(const SwitchFileInput& in, const QString& filePath, QStringList& sections,
                   ConfigFileBuild& b) {
    qint64 running = 0;
    QString videoMask;
    for (int i = 0; i < kSections; ++i) {
        QString text;
        if (!encodeSection(i, in, videoMask, text, b.logs)) {
            b.status = ConfigBuildStatus::Failed;
            b.stopSection = i;
            b.resultLine = ConfigFileNotCreatedLine(filePath);
            return false;
        }
        running += text.size();
        if (ConfigSizeExceeded(kKindSwitch, running, &b.logs.result)) {
            b.logs.summary << QStringLiteral("* Формирование файла прекращено!  *");
            b.status = ConfigBuildStatus::TooLarge;
            b.stopSection = i;
            b.resultLine = QStringLiteral("ФАЙЛ  ******** ") + filePath +
                           QStringLiteral(" ОБНУЛЕН на этапе формирования секции ") +
                           QString::number(i) + QStringLiteral(" из-за превышения длины!");
            return false;
        }
        sections << text;
    }
    return true;
}

// A section whose length word does not match its size (a payload too long
// for the word) would make the device read the rest of the file wrongly.
bool lengthWordFits(const QString& section, qint64& bytes, qint64& word) {
    const qint64 bits = section.size() - kLengthBits;
    word = BinToInt(section.right(kLengthBits));
    bytes = RoundDiv(bits, 8);
    return word == bytes;
}

// The header, the sections and the end mark as bytes; fileBits counts the
// sections and the end mark. False when a section's length word does not
// match its size: that section is left out (as 00 00) and logged.
bool joinSections(const SwitchFileInput& in, const QStringList& sections, QByteArray& bytes,
                  qint64& fileBits, ConfigFileBuild& b) {
    ConfigLogs& logs = b.logs;
    logs.result << QStringLiteral("Слияние в файл");
    bytes = BitStringToBytes(BuildConfigHeader(in.device.nNet, in.object.idNom, in.sepDevice));
    logs.result << QStringLiteral("Размер заголовка := ") + QString::number(bytes.size());
    const QString label = QStringLiteral(" КМ") + IntToStrZ(in.device.nNet, 2);
    bool framed = true;
    for (int i = 0; i < sections.size(); ++i) {
        qint64 size = 0, word = 0;
        if (lengthWordFits(sections[i], size, word)) {
            fileBits += sections[i].size();
            const QByteArray part = BitStringToBytes(sections[i]);
            bytes += part;
            logs.result << QStringLiteral("Размер секции ") + QString::number(i) + label +
                               QStringLiteral(" := ") + QString::number(part.size());
            continue;
        }
        const QString line = QStringLiteral("Секция ") + QString::number(i) + label +
                             QStringLiteral(" не добавлена в файл из-за неверной длины. ") +
                             QString::number(size) + QLatin1Char(' ') + QString::number(word);
        logs.result << line;
        logs.summary << line;
        bytes += BitStringToBytes(QString(kLengthBits, QLatin1Char('0')));
        if (framed) b.stopSection = i;
        framed = false;
    }
    if (!framed) return false;
    bytes += BitStringToBytes(ConfigEndMark());
    fileBits += kLengthBits;
    logs.result << QStringLiteral("Длина файла:=") + QString::number(RoundDiv(fileBits, 8));
    return true;
}

// A file whose end mark takes it past the limit is still written, with a warning.
void judgeSize(qint64 fileBits, const QString& filePath, ConfigFileBuild& b) {
    const qint64 limit = ConfigSizeLimitBits(kKindSwitch);
    if (fileBits <= limit) {
        b.status = ConfigBuildStatus::Built;
        b.resultLine = QStringLiteral("Файл ") + filePath + QStringLiteral(" сохранен.");
        return;
    }
    const QString line = QStringLiteral("Превышение длины на ") +
                         QString::number(RoundDiv(fileBits - limit, 8)) + QStringLiteral(" байт!");
    b.logs.result << line;
    b.logs.summary << line;
    b.status = ConfigBuildStatus::BuiltOverLimit;
    b.resultLine = filePath;
}

}  // namespace

QString ConfigFileNotCreatedLine(const QString& filePath) {
    return QStringLiteral("Файл ") + filePath + QStringLiteral(" НЕ СОЗДАН! Ошибка. ");
}

ConfigFileBuild BuildSwitchFile(const SwitchFileInput& in, const QString& filePath) {
    ConfigFileBuild b;
    if (in.device.typeK.trimmed().isEmpty()) {
        b.status = ConfigBuildStatus::NotSetUp;
        b.resultLine = filePath;
        return b;
    }
    QStringList sections;
    if (!buildSections(in, filePath, sections, b)) return b;
    qint64 fileBits = 0;
    QByteArray bytes;
    if (!joinSections(in, sections, bytes, fileBits, b)) {
        // An unframed file is never handed out: a device would misread it.
        b.status = ConfigBuildStatus::Failed;
        b.resultLine = ConfigFileNotCreatedLine(filePath);
        return b;
    }
    judgeSize(fileBits, filePath, b);
    b.bytes = bytes;
    return b;
}
