#pragma once
// The configuration image: a device configuration file held in memory as a text
// of '0' and '1', one character per bit. Builders prepend fields, so the first
// field built stands at the end of the text; decoders cut fields off the end in
// the order they were built. Bytes appear only at the file boundary.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

// Device kinds as the readers number them; the read screen's radio index is kind - 1.
enum ConfigDeviceKind : int {
    kKindUnknown = 0,
    kKindSwitch = 1,
    kKindCallPanel = 2,
    kKindConsole = 3,
};

// ---- Fields -------------------------------------------------------------------

// A field of the given width holding the low bits of value; a negative value is all zeros.
QString BitField(qint64 value, int width);
// An all-ones field: the empty-slot and end mark.
QString EmptySlot(int width);
// Puts a field in front of the text (the build direction).
void PrependField(QString& text, qint64 value, int width);
// Cuts the last width characters off the text and returns their value. A text
// shorter than the width gives what it has (an empty text reads as 0).
qint64 CutField(QString& text, int width);

// The payload bits of a mask given item 1 first, cut or '0'-filled to length
// items: item 1 becomes the last character (payload bit 0); only '1' is a set
// bit. MaskPayload(m) keeps the mask's own length.
QString MaskPayload(const QString& mask, qsizetype length);
QString MaskPayload(const QString& mask);

// A payload built in the order of its bits, bit 0 first: for payloads of many
// fields, where prepending field after field would copy the text every time.
class BitsLowFirst {
  public:
    // A field of the given width, its least significant bit first; bits
    // above the 64 of the value are 0.
    void Add(qint64 value, int width);
    // A field of width ones, of any width.
    void AddOnes(int width);
    qsizetype Size() const { return bits_.size(); }
    // The payload as a bit text (bit 0 last).
    QString Text() const;

  private:
    QString bits_;
};

// ---- Sections -----------------------------------------------------------------

// The length word that ends every section, and the end mark after the last.
constexpr int kSectionLengthBits = 16;

// Closes a section: pads the payload (in place) to whole bytes and returns
// payload + version byte + 16-bit length word. An empty payload gives sixteen '0'.
// A length of 65535 or more is logged as an error and stored as 0. The size line
// goes into log when it is given.
QString WrapSection(QString& payload, int sectionNumber, int version, QStringList* log);

// Takes the last section off a read image into sectionText (payload + version
// byte) and returns its size in bits. A length word that would reach past the
// start of the image (the FF FF end mark among others) leaves the image as it
// is, clears sectionText and returns 0; a zero length word is consumed and also
// returns 0.
qint64 TakeSection(QString& image, QString& sectionText);

struct ConfigSection {
    qint64 bits = 0;  // size as TakeSection returned it
    QString text;     // payload + version byte
};
// Takes sections off the image, first section first, until a length word no
// longer fits. Empty sections are kept in the list with 0 bits.
QList<ConfigSection> TakeAllSections(QString& image);

// Whether the length word of a section text counts exactly the bytes that
// follow it in the file (version byte and payload). A payload too long for
// the word leaves 0 in it, and a device would misread the rest of the file.
// bytes and word get the two numbers for the log.
bool SectionLengthMatches(const QString& section, qint64* bytes = nullptr, qint64* word = nullptr);

// The heading an encoder writes into the detailed log before a section
// ("----...---- КМ сек 0"), and the one a read-screen decoder starts with.
QString ConfigWriteHeading(const QString& title);
QString ConfigReadHeading(const QString& title);

// ---- Byte boundary ------------------------------------------------------------

// The bytes the byte writer produces for a bit text: whole bytes from the end of
// the text, then the 1 to 7 leftover characters at its start as the low bits of
// one more byte. bitCount gets the bits written, rounded up to whole bytes.
QByteArray BitStringToBytes(const QString& text, qint64* bitCount = nullptr);
// Writes a bit text to an open file; false when the device refused the bytes.
bool WriteBitString(QIODevice& out, const QString& text, qint64* bitCount = nullptr);
// The byte reader: every byte read goes IN FRONT of the image, so a text written
// by one call of the byte writer reads back unchanged.
void PrependBytesToImage(QString& image, QByteArrayView bytes);
QString ImageFromBytes(QByteArrayView bytes);

// The 16-bit end mark after the last section.
QString ConfigEndMark();
// A whole file: the header text, the section texts in order, then FF FF.
QByteArray ConfigFileBytes(const QString& headerText, const QStringList& sectionTexts);

// ---- Walking a file received as hexadecimal text -------------------------------

// Walks the section lengths of a file given as two hexadecimal digits a byte,
// from byte index onward, counting sections. Returns 1 when the last step walked
// a section and the text ends before the next length word can be examined, -1 at
// the FF FF end mark, 0 when nothing was walked. index and count stay where the
// walk stopped, so a caller that receives more text calls again. A negative
// index walks nothing.
int CountHexSections(const QString& hex, int& index, int& count);

// ---- Size limits --------------------------------------------------------------

// Limit of the section texts of one file (framing included, header not), in bits.
qint64 ConfigSizeLimitBits(int kind);
// Number of sections the workstation writes for a kind (0 for an unknown kind).
int ConfigSectionCount(int kind);
// True when the running size passes the kind's limit; then the stop lines go into log.
bool ConfigSizeExceeded(int kind, qint64 runningBits, QStringList* log);
// The lines that report a file grown past its limit by excessBits.
QStringList ConfigSizeStopLines(qint64 excessBits);
