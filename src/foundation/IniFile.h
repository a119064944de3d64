#pragma once
// A small INI file: sections and keys keep the order in which they were first
// read or written, so a file comes back out in the order the program writes it.
// The program writes its INI files in UTF-8; a line that is not valid UTF-8
// comes from the old Windows program and is read as Windows-1251.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class IniFile {
  public:
    IniFile() = default;
    explicit IniFile(const QString& path) : path_(path) {}

    const QString& path() const { return path_; }

    // Reads path(); a missing file gives an empty INI and true, an unreadable
    // one false. Malformed lines are skipped.
    bool Load(QString* error = nullptr);
    // Writes durably (DurableFile): a failed write or a power cut never
    // leaves a half-written file in place of a good one.
    bool Save(QString* error = nullptr) const;

    void Parse(const QString& text);
    // The text of a file's bytes, each line on its own: UTF-8, or Windows-1251
    // when the line is not UTF-8. One stray byte changes only its own line.
    static QString DecodeText(const QByteArray& bytes);
    QString ToText() const;

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList Sections() const;
    QStringList Keys(const QString& section) const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Integer value; def when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // "0" is false and any other number true; def when missing or not a number.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    void EraseSection(const QString& section);
    void Clear() { sections_.clear(); }

  private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section* find(const QString& section) const;
    Section& findOrAdd(const QString& section);

    QString path_;
    QList<Section> sections_;
};
