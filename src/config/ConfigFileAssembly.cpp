#include "config/ConfigFileAssembly.h"

#include "config/ConfigHeader.h"
#include "foundation/BitAndStr.h"

#include <QStringList>

namespace {

constexpr int kLengthBits = 16;
constexpr int kKeySection = 5;

QString num(qint64 v) {
    return QString::number(v);
}

// The result line of a file whose sections passed the limit at section i.
QString tooLargeLine(int kind, const QString& filePath, int i) {
    QString line = QStringLiteral("ФАЙЛ  ******** ") + filePath +
                   QStringLiteral(" ОБНУЛЕН на этапе формирования секции ") + num(i) +
                   QStringLiteral(" из-за превышения длины!");
    if (kind != kKindCallPanel) return line;
    line += QLatin1Char(' ');
    if (i == kKeySection)
        line += QStringLiteral(
            "Следует уменьшить количество ключей на квартиру или количество резервных ключей на "
            "квартиры подъезда. ");
    return line;
}

// Every section while they fit; false with the build's status set when not.
bool buildSections(const ConfigFilePlan& plan, const QString& filePath,
                   const ConfigSectionBuilder& buildSection, QStringList& sections,
                   ConfigFileBuild& b) {
    qint64 running = 0;
    const int count = ConfigSectionCount(plan.kind);
    for (int i = 0; i < count; ++i) {
        QString text;
        if (!buildSection(i, text, b.logs)) {
            b.status = ConfigBuildStatus::Failed;
            b.stopSection = i;
            b.resultLine = ConfigFileNotCreatedLine(filePath);
            return false;
        }
        running += text.size();
        if (ConfigSizeExceeded(plan.kind, running, &b.logs.result)) {
            b.logs.summary << QStringLiteral("* Формирование файла прекращено!  *");
            b.status = ConfigBuildStatus::TooLarge;
            b.stopSection = i;
            b.resultLine = tooLargeLine(plan.kind, filePath, i);
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

void reportUnframed(const ConfigFilePlan& plan, int i, qint64 size, qint64 word, ConfigLogs& logs) {
    const QString line = QStringLiteral("Секция ") + num(i) + plan.deviceLabel +
                         QStringLiteral(" не добавлена в файл из-за неверной длины. ") + num(size) +
                         QLatin1Char(' ') + num(word);
    logs.result << line;
    if (plan.kind != kKindCallPanel) {
        logs.summary << line;
        return;
    }
    const QString stop = QStringLiteral("* Слияние секций в файл прекращено! *");
    logs.result << stop;
    logs.summary << stop;
}

// The header, the sections and the end mark as bytes; fileBits counts the
// sections and the end mark. False when a section's length word does not
// match its size: that section is left out (as 00 00) and logged.
bool joinSections(const ConfigFilePlan& plan, const QStringList& sections, QByteArray& bytes,
                  qint64& fileBits, ConfigFileBuild& b) {
    ConfigLogs& logs = b.logs;
    logs.result << QStringLiteral("Слияние в файл");
    bytes = BitStringToBytes(BuildConfigHeader(plan.headerDevice, plan.idNom, plan.sepDevice));
    logs.result << QStringLiteral("Размер заголовка := ") + num(bytes.size());
    bool framed = true;
    for (int i = 0; i < sections.size(); ++i) {
        qint64 size = 0, word = 0;
        if (lengthWordFits(sections[i], size, word)) {
            fileBits += sections[i].size();
            const QByteArray part = BitStringToBytes(sections[i]);
            bytes += part;
            logs.result << QStringLiteral("Размер секции ") + num(i) + plan.deviceLabel +
                               QStringLiteral(" := ") + num(part.size());
            continue;
        }
        reportUnframed(plan, i, size, word, logs);
        bytes += BitStringToBytes(QString(kLengthBits, QLatin1Char('0')));
        if (framed) b.stopSection = i;
        framed = false;
    }
    if (!framed) return false;
    bytes += BitStringToBytes(ConfigEndMark());
    fileBits += kLengthBits;
    logs.result << QStringLiteral("Длина файла:=") + num(RoundDiv(fileBits, 8));
    return true;
}

// A file whose end mark takes it past the limit is still written, with a warning.
void judgeSize(int kind, qint64 fileBits, const QString& filePath, ConfigFileBuild& b) {
    const qint64 limit = ConfigSizeLimitBits(kind);
    if (fileBits <= limit) {
        b.status = ConfigBuildStatus::Built;
        b.resultLine = QStringLiteral("Файл ") + filePath + QStringLiteral(" сохранен.");
        return;
    }
    const QString line = QStringLiteral("Превышение длины на ") +
                         num(RoundDiv(fileBits - limit, 8)) + QStringLiteral(" байт!");
    b.logs.result << line;
    b.logs.summary << line;
    b.status = ConfigBuildStatus::BuiltOverLimit;
    b.resultLine = filePath;
}

}  // namespace

QString ConfigFileNotCreatedLine(const QString& filePath) {
    return QStringLiteral("Файл ") + filePath + QStringLiteral(" НЕ СОЗДАН! Ошибка. ");
}

ConfigFileBuild AssembleConfigFile(const ConfigFilePlan& plan, const QString& filePath,
                                   const ConfigSectionBuilder& buildSection) {
    ConfigFileBuild b;
    QStringList sections;
    if (!buildSections(plan, filePath, buildSection, sections, b)) return b;
    qint64 fileBits = 0;
    QByteArray bytes;
    if (!joinSections(plan, sections, bytes, fileBits, b)) {
        // An unframed file is never handed out: a device would misread it.
        b.status = ConfigBuildStatus::Failed;
        b.resultLine = ConfigFileNotCreatedLine(filePath);
        return b;
    }
    judgeSize(plan.kind, fileBits, filePath, b);
    b.bytes = bytes;
    return b;
}
