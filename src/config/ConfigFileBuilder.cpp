#include "config/ConfigFileBuilder.h"

#include "config/ConfigImage.h"
#include "foundation/BitAndStr.h"

#include <QStringList>

namespace {

// The sections while they fit; false with the build's status set when not.
bool buildSections(const ConfigFileRecipe& recipe, const QString& filePath, QStringList& sections,
                   ConfigFileBuild& b) {
    qint64 running = 0;
    for (int i = 0; i < ConfigSectionCount(recipe.kind); ++i) {
        QString text;
        if (!recipe.encodeSection(i, text, b.logs)) {
            b.status = ConfigBuildStatus::Failed;
            b.stopSection = i;
            b.resultLine = ConfigFileNotCreatedLine(filePath);
            return false;
        }
        running += text.size();
        if (ConfigSizeExceeded(recipe.kind, running, &b.logs.result)) {
            b.logs.summary << QStringLiteral("* Формирование файла прекращено!  *");
            b.status = ConfigBuildStatus::TooLarge;
            b.stopSection = i;
            b.resultLine = recipe.overflowPrefix + filePath +
                           QStringLiteral(" ОБНУЛЕН на этапе формирования секции ") +
                           QString::number(i) + QStringLiteral(" из-за превышения длины!");
            if (recipe.overflowTail) b.resultLine += recipe.overflowTail(i);
            return false;
        }
        sections << text;
    }
    return true;
}

// The header, the sections and the end mark as bytes; fileBits counts the
// sections and the end mark. False when a section's length word does not
// match its size: that section is left out (as 00 00) and logged.
bool joinSections(const ConfigFileRecipe& recipe, const QStringList& sections, QByteArray& bytes,
                  qint64& fileBits, ConfigFileBuild& b) {
    ConfigLogs& logs = b.logs;
    logs.result << QStringLiteral("Слияние в файл");
    bytes = BitStringToBytes(recipe.headerText);
    logs.result << QStringLiteral("Размер заголовка := ") + QString::number(bytes.size());
    bool framed = true;
    for (int i = 0; i < sections.size(); ++i) {
        qint64 size = 0, word = 0;
        if (SectionLengthMatches(sections[i], &size, &word)) {
            fileBits += sections[i].size();
            const QByteArray part = BitStringToBytes(sections[i]);
            bytes += part;
            logs.result << QStringLiteral("Размер секции ") + QString::number(i) +
                               recipe.deviceLabel + QStringLiteral(" := ") +
                               QString::number(part.size());
            continue;
        }
        const QString line = QStringLiteral("Секция ") + QString::number(i) + recipe.deviceLabel +
                             QStringLiteral(" не добавлена в файл из-за неверной длины. ") +
                             QString::number(size) + QLatin1Char(' ') + QString::number(word);
        logs.result << line;
        if (recipe.unframedStopLine.isEmpty()) {
            logs.summary << line;
        } else {
            logs.result << recipe.unframedStopLine;
            logs.summary << recipe.unframedStopLine;
        }
        bytes += BitStringToBytes(QString(kSectionLengthBits, QLatin1Char('0')));
        if (framed) b.stopSection = i;
        framed = false;
    }
    if (!framed) return false;
    bytes += BitStringToBytes(ConfigEndMark());
    fileBits += kSectionLengthBits;
    logs.result << QStringLiteral("Длина файла:=") + QString::number(RoundDiv(fileBits, 8));
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

void TellInResults(ConfigLogs& logs, const QString& line) {
    logs.result << line;
    logs.summary << line;
}

ConfigFileBuild BuildConfigFile(const ConfigFileRecipe& recipe, const QString& filePath) {
    ConfigFileBuild b;
    b.logs.device = recipe.deviceName;
    QStringList sections;
    if (!buildSections(recipe, filePath, sections, b)) return b;
    qint64 fileBits = 0;
    QByteArray bytes;
    if (!joinSections(recipe, sections, bytes, fileBits, b)) {
        // An unframed file is never handed out: a device would misread it.
        b.status = ConfigBuildStatus::Failed;
        b.resultLine = ConfigFileNotCreatedLine(filePath);
        return b;
    }
    judgeSize(recipe.kind, fileBits, filePath, b);
    b.bytes = bytes;
    return b;
}
