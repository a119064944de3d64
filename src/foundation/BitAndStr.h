#pragma once
// Text and bit conversions shared by every subsystem. Binary texts hold the
// characters '0' and '1', most significant digit first; positions are 1-based.
// Each function is pure, and each edge behaviour is relied on by callers.

#include <QList>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>

QString IntToBin(qint64 n);
// True when every character is '0' or '1' (an empty text too).
bool IsBinaryText(QStringView text);
qint64 BinToInt(const QString& text);
// The same on a part of a longer text, without copying it: decoders read
// every field of a file this way.
qint64 BinToInt(QStringView text);
QString BinToHex(const QString& bits);
QString BinToHexBytes(const QString& bits);
QString ByteToHex(qint64 n);
// The same two digits appended to a text being built.
void AppendByteHex(QString& text, qint64 n);
QString IntToHexBytes(qint64 n);
qint64 HexToInt(const QString& text);
QString HexDigitToBin(QChar c);
QString HexToBin(const QString& text);
QString IntToStrZ(qint64 n, int width);
// A label followed by a decimal number, made in one piece: the decoders
// write a line like this for every field they read.
QString WithNumber(QStringView label, qint64 n);
// The text of each number as one function makes it, made once and shared
// after (copies of a QString share its characters): a damaged section gives a
// decoder thousands of lines of a few labels and small numbers. Keep one per
// text and thread (a function's thread_local).
class NumberTexts {
  public:
    explicit NumberTexts(std::function<QString(qint64)> make) : make_(std::move(make)) {}
    // WithNumber's lines of one label; the label must outlive the object.
    static NumberTexts Lines(QStringView label) {
        return NumberTexts([label](qint64 n) { return WithNumber(label, n); });
    }
    QString operator()(qint64 n);

  private:
    static constexpr qint64 kShared = 4096;  // numbers from here on are made each time
    std::function<QString(qint64)> make_;
    QList<QString> made_;  // by number, from 0
};
// Appends n in decimal, with '0' in front up to width digits, to a text
// being built: lines of a character a byte are made without a copy per part.
void AppendNumber(QString& text, qint64 n, int width = 0);
QString BoolToBit(bool b);
QString PadLeft(const QString& text, QChar fill, int length);
QString PadRight(const QString& text, QChar fill, int length);
QString PrependChars(const QString& text, QChar c, int count);
QString ReverseStr(QStringView text);

// Stored texts are as wide as their columns in characters, as the database
// counts them: a character beyond the Basic Multilingual Plane, two UTF-16
// units, is one, and a cut never leaves half of it.
qsizetype CharCount(QStringView text);
// The first count characters of text.
QString LeftChars(const QString& text, qsizetype count);
// text brought within limit characters as an edit field keeps it: what
// stands just before *cursor (typed or pasted last) goes first, then the
// end; *cursor (in UTF-16 units) follows the cut.
QString FitChars(const QString& text, qsizetype limit, int* cursor);
// Appends the characters of bits last first, to a line being built.
void AppendReversed(QString& text, QStringView bits);
// A label followed by the characters of bits last first, made in one piece:
// the line a decoder writes for a mask it reads.
QString WithReversed(QStringView label, QStringView bits);
quint8 DigitToSegments(int digit);
quint8 SegmentsToDigit(quint8 segments);
QString StepsToTimeText(qint64 n);
qint64 TimeTextToSteps(const QString& text);
qint64 RoundHalfAway(double value);
qint64 RoundDiv(qint64 a, qint64 b);

// Configuration-file state of a switch, call panel or console record.
int KfPrAfterEdit(int state);
int KfPrAfterFileMade(int state);
QChar KfPrMark(int state);
constexpr int kKfPrWritten = 3;  // set directly when a file is written to the device

// Device names from network addresses; consoleAddr is the program's SepDevice.
QString DeviceAddrName(int addr, int consoleAddr);
// Names of the classes set in a 64-character class mask (reversed: index 0 last).
QString DeviceClassList(const QString& mask);
// Name of one device class index, empty where the index has none.
QString DeviceClassName(int index);
