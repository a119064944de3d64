#include "keys/MirelDumpFile.h"

#include "config/PanelKeySections.h"
#include "foundation/BitAndStr.h"
#include "keys/DumpFileReader.h"

namespace {

constexpr int kPageBytes = 32;  // the last one ends the page
constexpr qint64 kVariantAddress = 4;
constexpr qint64 kRecordsAddress = 96;
constexpr int kRecordBytes = 26;
constexpr int kRecordHead = 5;
constexpr int kSlotBytes = 3;

class MirelParser {
  public:
    MirelParser(const QByteArray& bytes, bool console, const ProgressFn& progress)
        : bytes_(bytes), console_(console), gauge_(progress, bytes.size()) {}

    MirelDump Run() {
        for (qint64 f = 0; f < bytes_.size(); ++f) {
            gauge_.At(f);
            if (f % kPageBytes == kPageBytes - 1) {
                line([&] {
                    return QStringLiteral("-----------Конец страницы. Адрес ") + QString::number(f);
                });
                continue;
            }
            if (!dataByte(f - f / kPageBytes, quint8(bytes_.at(f)))) break;
        }
        return dump_;
    }

  private:
    // A console line; make gives it, and is called only when there is a
    // console, so that a read for the keys alone builds no text.
    template <class Make>
    void line(const Make& make) {
        if (console_) dump_.console << make();
    }

    // False when reading stops: a variant that is none, or the end of the
    // last record.
    bool dataByte(qint64 address, quint8 byte) {
        if (address >= kRecordsAddress && !recordByte(address, byte)) return false;
        if (address < kRecordsAddress)
            line([&] { return DumpConsole::ByteLine(address, byte, true); });
        if (address == kVariantAddress) return variant(byte);
        return true;
    }

    bool variant(quint8 byte) {
        dump_.apartments = MirelVariantApartments(byte & 0x0F);
        if (dump_.apartments == 0) {
            dump_.badVariant = true;
            line([&] { return DumpConsole::NotThisStructure(); });
            return false;
        }
        line([&] {
            return QStringLiteral("Количество квартир устройства: ") +
                   QString::number(dump_.apartments);
        });
        gauge_.SetMaximum(
            RoundHalfAway((kRecordBytes * dump_.apartments + kRecordsAddress) * 1.03125));
        return true;
    }

    bool recordByte(qint64 address, quint8 byte) {
        const qint64 offset = address - kRecordsAddress;
        const int record = int(offset / kRecordBytes);
        if (record > dump_.apartments) return false;
        const int inRecord = int(offset % kRecordBytes);
        if (offset == 0)
            line([&] {
                return QStringLiteral("- - - - - -Начало данных квартир. ") +
                       QString::number(kRecordsAddress);
            });
        if (inRecord == 0) line([&] { return QStringLiteral("кв № ") + QString::number(record); });
        line([&] { return DumpConsole::ByteLine(address, byte, true); });
        if (inRecord < kRecordHead) return true;
        const int slot = (inRecord - kRecordHead) / kSlotBytes;
        const int inSlot = (inRecord - kRecordHead) % kSlotBytes;
        slot_[inSlot] = char(byte);
        if (inSlot == kSlotBytes - 1) slotDone(record, slot);
        return true;
    }

    void slotDone(int record, int slot) {
        const QString key = DumpConsole::SlotKey(slot_, kSlotBytes);
        line([&] {
            return QStringLiteral("ключ v:=") + QString::number(slot + 1) + QStringLiteral(" :  ") +
                   key;
        });
        if (key != EmptyKeyText()) dump_.rows << MirelKeyRow{key, record};
    }

    const QByteArray& bytes_;
    bool console_;
    DumpGauge gauge_;
    MirelDump dump_;
    char slot_[kSlotBytes] = {};
};

}  // namespace

int MirelVariantApartments(int variant) {
    switch (variant) {
        case 1:
            return 200;
        case 2:
            return 100;
        case 3:
            return 20;
        case 4:
            return 300;
        default:
            return 0;
    }
}

MirelDump ReadMirelDump(const QByteArray& bytes, bool console, const ProgressFn& progress) {
    return MirelParser(bytes, console, progress).Run();
}
