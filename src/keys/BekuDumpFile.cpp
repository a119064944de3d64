#include "keys/BekuDumpFile.h"

#include "foundation/BitAndStr.h"
#include "keys/DumpFileReader.h"

namespace {

constexpr int kHeaderBytes = 32;
constexpr int kWidthByte = 24;
constexpr quint8 kThreeByteKeys = 0x10;
constexpr int kSlots = 7;
constexpr int kPageTail = 2;

const QString kNotAKey = QStringLiteral(" - не ключ ");

class BekuParser {
  public:
    BekuParser(const QByteArray& bytes, bool console, const ProgressFn& progress)
        : bytes_(bytes), console_(console), gauge_(progress, bytes.size()) {}

    BekuDump Run() {
        header();
        bool whole = bytes_.size() >= kHeaderBytes;
        for (int number = 1; whole && pos_ < bytes_.size(); ++number) whole = page(number);
        dump_.complete = whole;
        return dump_;
    }

  private:
    quint8 at(qint64 i) const { return quint8(bytes_.at(i)); }
    qint64 left() const { return bytes_.size() - pos_; }

    // A console line; make gives it, and is called only when there is a
    // console, so that a read for the keys alone builds no text.
    template <class Make>
    void line(const Make& make) {
        if (console_) dump_.console << make();
    }
    // Echoes the next count bytes (as many as there are) and passes them.
    void bytes(int count, bool withHex, const QString& separator = QStringLiteral(" - ")) {
        for (int i = 0; i < count && pos_ < bytes_.size(); ++i, ++pos_) {
            if (console_)
                dump_.console << DumpConsole::ByteLine(pos_, at(pos_), withHex, separator);
            gauge_.At(pos_);
        }
    }

    void header() {
        bytes(kWidthByte, true);
        if (pos_ < bytes_.size()) {
            const quint8 b = at(pos_);
            dump_.keyBytes = (b & kThreeByteKeys) ? 3 : 4;
            bytes(1, true);
            line([&] {
                return QStringLiteral("i:=18, $") + ByteToHex(b) +
                       QStringLiteral(" KolByte.Value:=") + QString::number(dump_.keyBytes);
            });
        }
        bytes(kHeaderBytes - kWidthByte - 1, true);
        if (pos_ == kHeaderBytes) line([&] { return QStringLiteral("конец нулевой страницы "); });
    }

    // One page; false when the file ended inside it.
    bool page(int number) {
        const quint8 mask = at(pos_);
        bytes(1, false);
        line([&] {
            QString maskLine = QStringLiteral("mask: ");
            for (int j = 0; j < 8; ++j)
                maskLine += (mask >> j) & 1 ? QLatin1Char('1') : QLatin1Char('0');
            return maskLine;
        });
        bytes(1, false);
        const int width = dump_.keyBytes;
        for (int j = 1; j <= kSlots; ++j) {
            const bool empty = (mask >> (j - 1)) & 1;
            if (left() < width) {  // a slot cut short is no key
                bytes(width, false, empty ? kNotAKey : QStringLiteral(" - "));
                return false;
            }
            const qint64 start = pos_;
            bytes(width, false, empty ? kNotAKey : QStringLiteral(" - "));
            if (empty) continue;
            const QString key = DumpConsole::SlotKey(bytes_.constData() + start, width);
            dump_.keys << key;
            line([&] {
                return QStringLiteral("ключ j:=") + QString::number(j) + QStringLiteral(" :  ") +
                       key;
            });
        }
        if (left() < kPageTail) {
            bytes(kPageTail, false);
            return false;
        }
        bytes(kPageTail, false);
        line([&] { return QStringLiteral("конец страницы ") + QString::number(number); });
        return true;
    }

    const QByteArray& bytes_;
    bool console_;
    DumpGauge gauge_;
    BekuDump dump_;
    qint64 pos_ = 0;
};

}  // namespace

BekuDump ReadBekuDump(const QByteArray& bytes, bool console, const ProgressFn& progress) {
    return BekuParser(bytes, console, progress).Run();
}
