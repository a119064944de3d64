#pragma once
// The card reader's lines: the reader prints one text line per card read,
// ending with CR (an LF may follow), the card's 4-byte number as 8
// hexadecimal digits in square brackets, least significant byte first. The
// bytes arrive in pieces of any size; the assembler puts them together,
// hands over every complete line in order and takes the card number out.

#include <QByteArray>
#include <QList>
#include <QString>

// What one piece of reader bytes gives: lines for the readers' log, each
// with the card number it carried (empty when none is to be entered).
struct RfidReaderOutput {
    QString log;
    QString number;
};

class RfidLineAssembler {
  public:
    // A line never ends without CR; a reader that sends no CR is cut here.
    static constexpr int kMaxLineLength = 256;

    QList<RfidReaderOutput> Feed(const QByteArray& bytes);
    // Forgets the line received so far.
    void Clear();
    QString PendingLine() const { return line_; }

  private:
    void completeLine(QList<RfidReaderOutput>& out);
    void cutLine(QList<RfidReaderOutput>& out);

    QString line_;   // text since the last complete line
    int count_ = 0;  // bytes received for it
};

// The card number of a complete line (with its CR): the 8 characters after
// the first "[", upper-cased, must all be hexadecimal digits; their byte
// pairs in reverse order, left-padded with '0' to 12 digits. Empty otherwise.
QString RfidCardNumber(const QString& line);
