#pragma once
// The packet log file of sniffer mode: one line per packet, a time stamp, the
// direction ('>' sent, '<' received) and the packet's 60 hexadecimal digits.
// Every line is flushed at once, so a crash loses nothing written before it.

#include <QDateTime>
#include <QFile>
#include <QString>

class NetSnifferLog {
  public:
    // The file a log name stands for: a blank name is LOG/log1.log under the
    // program folder, a relative one lies under the program folder.
    static QString ResolvePath(const QString& fileName);
    static QString DefaultPath();

    // Opens the file (and its folder), appending or rewriting; false when it
    // cannot be opened.
    bool Open(const QString& fileName, bool append);
    void Close();
    bool IsOpen() const { return file_.isOpen(); }
    QString FileName() const { return file_.fileName(); }

    // False when the line could not be written.
    bool Write(QChar direction, const QString& hexLine, const QDateTime& when);
    static QString FormatLine(QChar direction, const QString& hexLine, const QDateTime& when);

  private:
    QFile file_;
};
