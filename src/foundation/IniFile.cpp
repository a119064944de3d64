#include "foundation/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "platform/Cp1251.h"
#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"

namespace {
// Section and key names compare without regard to case, as INI readers do.
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString decodeIniLine(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(line);
    // The old Windows program wrote its files in Windows-1251.
    return utf8.hasError() ? FromCp1251(line) : text;
}
}  // namespace

bool IniFile::Load(QString* error) {
    sections_.clear();
    QFile f(path_);
    if (!f.exists()) return true;
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = SystemReason(f.errorString());
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    Parse(DecodeText(bytes));
    return true;
}

bool IniFile::Save(QString* error) const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    return DurableFile::Write(path_, ToText().toUtf8(), error);
}

QString IniFile::DecodeText(const QByteArray& bytes) {
    // A UTF-8 character never holds a line break, so lines split cleanly.
    const QList<QByteArray> lines = bytes.split('\n');
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += decodeIniLine(lines[i]);
    }
    return text;
}

void IniFile::Parse(const QString& text) {
    sections_.clear();
    Section* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            if (close < 0) continue;
            current = &findOrAdd(line.mid(1, close - 1).trimmed());
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || !current) continue;
        const QString key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;
        WriteString(current->name, key, line.mid(eq + 1).trimmed());
    }
}

QString IniFile::ToText() const {
    QString out;
    for (const Section& s : sections_) {
        out += QLatin1Char('[') + s.name + QStringLiteral("]\n");
        for (const Entry& e : s.entries)
            out += e.key + QLatin1Char('=') + e.value + QLatin1Char('\n');
        out += QLatin1Char('\n');
    }
    return out;
}

const IniFile::Section* IniFile::find(const QString& section) const {
    for (const Section& s : sections_)
        if (sameName(s.name, section)) return &s;
    return nullptr;
}

IniFile::Section& IniFile::findOrAdd(const QString& section) {
    for (Section& s : sections_)
        if (sameName(s.name, section)) return s;
    sections_.append(Section{section, {}});
    return sections_.last();
}

bool IniFile::SectionExists(const QString& section) const {
    return find(section) != nullptr;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const {
    const Section* s = find(section);
    if (!s) return false;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key)) return true;
    return false;
}

QStringList IniFile::Sections() const {
    QStringList names;
    for (const Section& s : sections_) names << s.name;
    return names;
}

QStringList IniFile::Keys(const QString& section) const {
    QStringList keys;
    if (const Section* s = find(section))
        for (const Entry& e : s->entries) keys << e.key;
    return keys;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    if (const Section* s = find(section))
        for (const Entry& e : s->entries)
            if (sameName(e.key, key)) return e.value;
    return def;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int v = ReadString(section, key, QString()).toInt(&ok);
    return ok ? v : def;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    bool ok = false;
    const int v = ReadString(section, key, QString()).toInt(&ok);
    return ok ? v != 0 : def;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // A line break inside a value would split it into a second line on the
    // next read; keep the value on its line.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Section& s = findOrAdd(section);
    for (Entry& e : s.entries)
        if (sameName(e.key, key)) {
            e.value = clean;
            return;
        }
    s.entries.append(Entry{key, clean});
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::EraseSection(const QString& section) {
    for (qsizetype i = 0; i < sections_.size(); ++i)
        if (sameName(sections_[i].name, section)) {
            sections_.removeAt(i);
            return;
        }
}
