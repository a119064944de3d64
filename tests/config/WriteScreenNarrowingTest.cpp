// Stored values wider than their field, written by the write screen into the
// switch, call-panel and console files: each file byte is the one the device
// format gives (the low bits; the console's parameters are capped), and the
// result log has one line naming the device, the column, the stored value
// and the value written.

#include "config/ConfigHeader.h"
#include "config/ConsoleSections.h"
#include "config/DayNightSection.h"
#include "config/FieldFit.h"
#include "config/PanelEntranceSection.h"
#include "config/TPkParams.h"

#include "SectionBytes.h"
#include "WriteScreenFixture.h"

#include <limits>

namespace WriteScreenNarrowingTestUnit {
namespace {

using namespace cfgtest;

namespace {

constexpr int kHeader = -1;  // the byte is in the file's header, not in a section

struct NarrowCase {
    const char* name;
    QStringList sql;
    int address;      // the device written: 1 КМ01, 63 the console, 65 БВ01
    int section;      // kHeader, or the section whose payload holds the field
    int offset;       // the field's first byte in that payload (or header)
    QByteArray want;  // the bytes there, under mask
    QString line;     // its line in the result log
    int mask = 0xFF;  // the bits of each byte the field holds
};

const QString kCallMelody = QStringLiteral("Стандарт вызова Darvo");
const QString kVisitorMelody = QStringLiteral("Вызов от посетителя");

QString setColumn(const char* column, qint64 value) {
    return QStringLiteral("UPDATE t_ke SET %1 = %2 WHERE id_ke = 1").arg(column).arg(value);
}

const NarrowCase kCases[] = {
    // clang-format off
    // ---- the switch file
    {"t_cm", {setColumn("t_cm", 65836)}, 1, 0, 0, Bytes({0x2C, 0x01}),
     "КМ01: значение t_cm = 65836 больше 65535, записано 300."},
    {"t_cl", {setColumn("t_cl", 256)}, 1, 0, 2, Bytes({0}),
     "КМ01: значение t_cl = 256 больше 255, записано 0."},
    {"t_dl", {setColumn("t_dl", 257)}, 1, 0, 3, Bytes({1}),
     "КМ01: значение t_dl = 257 больше 255, записано 1."},
    {"t_vc", {setColumn("t_vc", 300)}, 1, 0, 4, Bytes({44}),
     "КМ01: значение t_vc = 300 больше 255, записано 44."},
    {"n_xl", {"UPDATE k_pk SET n_xl = 65536 WHERE n_net = 1"}, 1, 0, 9, Bytes({0, 0}),
     "КМ01: значение n_xl = 65536 больше 65535, записано 0."},
    {"t_st", {setColumn("t_st", 256)}, 1, 0, 12, Bytes({0}),
     "КМ01: значение t_st = 256 больше 255, записано 0."},
    {"acp1", {setColumn("acp1", -1)}, 1, 0, 13, Bytes({0xFF}),
     "КМ01: значение acp1 = -1 меньше 0, записано 255."},
    {"acp2", {setColumn("acp2", 256)}, 1, 0, 14, Bytes({0}),
     "КМ01: значение acp2 = 256 больше 255, записано 0."},
    {"acp3", {setColumn("acp3", 256)}, 1, 0, 15, Bytes({0}),
     "КМ01: значение acp3 = 256 больше 255, записано 0."},
    {"acp4", {setColumn("acp4", 256)}, 1, 0, 16, Bytes({0}),
     "КМ01: значение acp4 = 256 больше 255, записано 0."},
    {"t_dx", {setColumn("t_dx", 256)}, 1, 0, 17, Bytes({0}),
     "КМ01: значение t_dx = 256 больше 255, записано 0."},
    {"t_mo", {setColumn("t_mo", 256)}, 1, 0, 18, Bytes({0}),
     "КМ01: значение t_mo = 256 больше 255, записано 0."},
    {"t_bo", {setColumn("t_bo", 256)}, 1, 0, 19, Bytes({0}),
     "КМ01: значение t_bo = 256 больше 255, записано 0."},
    {"t_wt", {setColumn("t_wt", 256)}, 1, 0, 20, Bytes({0}),
     "КМ01: значение t_wt = 256 больше 255, записано 0."},
    {"id_pk", {"UPDATE k_pk SET id_pk = 4294967297 WHERE n_net = 1",
               "UPDATE m_pk SET id_pk = 4294967297 WHERE n_net = 1"}, 1, 1, 6, Bytes({1, 0, 0, 0}),
     "КМ01: значение id_pk = 4294967297 больше 4294967295, записано 1."},
    {"id_nom in the header", {"UPDATE k_net SET id_nom = 16777221"}, 1, kHeader, 9, Bytes({5, 0, 0}),
     "КМ01: значение id_nom (заголовок) = 16777221 больше 16777215, записано 5."},
    {"note duration", {"UPDATE t_bp SET leng = 256 WHERE id_mel = 1 AND nom = 1"}, 1, 4, 1, Bytes({0}),
     "КМ01: значение leng (мелодия \"" + kCallMelody + "\", нота 1) = 256 больше 255, записано 0."},
    {"note pitch", {"UPDATE t_bp SET gerc = 300 WHERE id_mel = 1 AND nom = 1"}, 1, 4, 2, Bytes({44}),
     "КМ01: значение gerc (мелодия \"" + kCallMelody + "\", нота 1) = 300 больше 255, записано 44."},
    {"t_po", {setColumn("t_po", 256)}, 1, 6, 0, Bytes({0}),
     "КМ01: значение t_po = 256 больше 255, записано 0."},
    {"edge", {setColumn("edge", 17)}, 1, 6, 1, Bytes({1}),
     "КМ01: значение edge = 17 больше 15, записано 1.", 0x0F},
    {"rsrv of the switch", {"UPDATE k_pk SET rsrv = 18 WHERE n_net = 1"}, 1, 6, 1, Bytes({0x20}),
     "КМ01: значение rsrv = 18 больше 15, записано 2.", 0xF0},
    {"t_ed", {setColumn("t_ed", 256)}, 1, 6, 2, Bytes({0}),
     "КМ01: значение t_ed = 256 больше 255, записано 0."},
    {"t_de", {setColumn("t_de", 256)}, 1, 6, 3, Bytes({0}),
     "КМ01: значение t_de = 256 больше 255, записано 0."},
    {"n_vid", {"UPDATE k_pk SET n_vid = 257 WHERE n_net = 1"}, 1, 7, 0, Bytes({0}),
     "КМ01: значение n_vid = 257 больше 256, записано 0."},
    // ---- the call-panel file
    {"sl", {"UPDATE k_bv SET sl = 16 WHERE n_net = 65"}, 65, 0, 0, Bytes({0}),
     "БВ01: значение sl = 16 больше 15, записано 0.", 0x0F},
    {"ot", {"UPDATE k_bv SET ot = 17 WHERE n_net = 65"}, 65, 0, 0, Bytes({0}),
     "БВ01: значение ot = 17 больше 16, записано 0.", 0xF0},
    {"kfilt", {"UPDATE k_bv SET kfilt = 256 WHERE n_net = 65"}, 65, 0, 2, Bytes({0}),
     "БВ01: значение kfilt = 256 больше 255, записано 0."},
    {"blato", {"UPDATE k_bv SET blato = 300 WHERE n_net = 65"}, 65, 0, 3, Bytes({44}),
     "БВ01: значение blato = 300 больше 255, записано 44."},
    {"negative blato", {"UPDATE k_bv SET blato = -1 WHERE n_net = 65"}, 65, 0, 3, Bytes({31}),
     "БВ01: значение blato = -1 меньше 0, записано 31."},
    {"adrcs", {"UPDATE k_bv SET adrpk = (SELECT id_pk FROM k_pk WHERE n_net = 1), adrcs = 65537"
               " WHERE n_net = 65"}, 65, 0, 4, Bytes({0, 0}),
     "БВ01: значение adrcs = 65536 больше 65535, записано 0."},
    {"bv_type", {"UPDATE k_bv SET bv_type = 17 WHERE n_net = 65"}, 65, 1, 1, Bytes({0x10}),
     "БВ01: значение bv_type = 17 больше 15, записано 1.", 0xF0},
    {"ah", {"UPDATE k_pk SET ah = 256 WHERE n_net = 1"}, 65, 2, 11, Bytes({0}),
     "БВ01: значение ah (КМ01) = 256 больше 255, записано 0."},
    {"a negative key quota", {"UPDATE k_net SET v_key = -1"}, 65, 5, 2, Bytes({0, 0}),
     "БВ01: значение v_key = -1 меньше 0, записано 0."},
    {"rsrv of the panel", {"UPDATE k_bv SET rsrv = 256 WHERE n_net = 65"}, 65, 7, 2, Bytes({0}),
     "БВ01: значение rsrv = 256 больше 255, записано 0."},
    // ---- the console file: its parameters are capped, not wrapped
    {"klvl", {"UPDATE k_po SET klvl = 20"}, 63, 0, 0, Bytes({15}),
     "ППО00: значение klvl = 20 больше 15, записано 15.", 0x0F},
    {"ncam", {"UPDATE k_po SET ncam = -5"}, 63, 0, 6, Bytes({0}),
     "ППО00: значение ncam = -5 меньше 0, записано 0."},
    {"busy", {"UPDATE k_po SET busy = 65536"}, 63, 0, 8, Bytes({0xFF, 0xFF}),
     "ППО00: значение busy = 65536 больше 65535, записано 65535."},
    {"frmc", {"UPDATE k_po SET frmc = 300"}, 63, 0, 22, Bytes({0xFF}),
     "ППО00: значение frmc = 300 больше 255, записано 255."},
    {"console note", {"UPDATE t_bp SET noot = 20 WHERE id_mel = 3 AND nom = 1"}, 63, 0, 29, Bytes({15}),
     "ППО00: значение noot (мелодия \"" + kVisitorMelody + "\", нота 1) = 20 больше 15, записано 15.",
     0x0F},
    {"n_net of the console", {"UPDATE k_po SET n_net = 65536"}, 63, 1, 0, Bytes({0, 0}),
     "ППО00: значение n_net = 65536 больше 4095, записано 0."},
    // clang-format on
};

void PrintTo(const NarrowCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteNarrowing : public WriteScreenFixture, public ::testing::WithParamInterface<NarrowCase> {
  protected:
    QString FileName(int address) const {
        if (address == 63) return QStringLiteral("cpo00.bin");
        if (address >= 64) return QStringLiteral("cbv%1.bin").arg(address - 64, 2, 10, QChar('0'));
        return QStringLiteral("ckm%1.bin").arg(address, 2, 10, QChar('0'));
    }
};

TEST_P(WriteNarrowing, TheFileHoldsTheFormatsBytesAndTheLogTellsTheValue) {
    const NarrowCase& c = GetParam();
    for (const QString& sql : c.sql) Sql(sql);
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(c.address)});
    ASSERT_EQ(s->LastPass().size(), 1);
    const WriteDeviceResult& device = s->LastPass().first();
    ASSERT_TRUE(device.fileMade) << device.lines.join(" | ").toStdString();

    const QByteArray file = ReadFile(FileOf(FileName(c.address)));
    const FileParts parts = Split(file);
    const QByteArray where =
        c.section == kHeader ? parts.head : FileBytes(parts.sections.value(c.section)).mid(3);
    ASSERT_GE(where.size(), c.offset + c.want.size());
    for (qsizetype i = 0; i < c.want.size(); ++i)
        EXPECT_EQ(quint8(where[c.offset + i]) & c.mask, quint8(c.want[i]) & c.mask) << i;

    // One line tells it, in the result log and in the pass's list of the device's values.
    EXPECT_EQ(s->Logs().result.count(c.line), 1) << s->Logs().result.join("\n").toStdString();
    ASSERT_EQ(device.narrowed.size(), 1);
    EXPECT_EQ(NarrowedValueLine(device.narrowed.first()), c.line);
}

INSTANTIATE_TEST_SUITE_P(Fields, WriteNarrowing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<NarrowCase>& info) {
                             return "Field" + std::to_string(info.index);
                         });

class WriteValues : public WriteScreenFixture {};

// A file of the fixture's own values tells nothing.
TEST_F(WriteValues, ValuesThatFitTheirFieldsAreNotTold) {
    auto s = NewScreen();
    s->BitCreateClick(AllRows(*s));
    for (const WriteDeviceResult& d : s->LastPass())
        EXPECT_TRUE(d.narrowed.isEmpty()) << d.device.toStdString();
    EXPECT_TRUE(s->Logs().result.filter(QStringLiteral(": значение ")).isEmpty());
}

// A day or night time past the console's widest field is capped at it.
TEST_F(WriteValues, AConsoleTimePastItsFieldIsCappedAndTold) {
    Sql("UPDATE k_kvr SET mtdy = 3000, mtnt = 600 WHERE id_pod = 1 AND p_nom = 1");
    auto s = NewScreen();
    s->BitCreateClick({s->RowOfAddress(63)});
    ASSERT_TRUE(s->LastPass().value(0).fileMade);
    EXPECT_TRUE(s->Logs().result.contains(
        "ППО00: значение mtdy (запись 1 кодов вызова) = 3000 больше 2047, записано 2047."));
    const FileParts parts = Split(ReadFile(FileOf("cpo00.bin")));
    QString text = parts.sections.value(5);
    text.chop(16);  // the length word
    QList<CallCodeRecord> records(1);
    DecodePoCodeTimes(text, records);
    EXPECT_EQ(records[0].dayTime, "34:07");
    EXPECT_EQ(records[0].nightTime, "10:00");
}

// Fields the open or the screens may keep in range, and counts of rows, told
// by the encoders themselves.
TEST(NarrowedByTheEncoders, TheFirstTerminalAndTheApartmentCounts) {
    SwitchRow sw;
    sw.nNet = 1;
    sw.pFc = 256;
    PkParamSetRow set;
    ConfigLogs logs;
    logs.device = "КМ01";
    QString section;
    ASSERT_TRUE(EncodePkSection0(set, sw, section, logs));
    EXPECT_EQ(quint8(Payload(section)[11]), 56);  // the increment modulo 100
    EXPECT_TRUE(logs.result.contains("КМ01: значение p_fc = 256 больше 99, записано 56."));

    PanelEntranceRow e;
    e.nNet = 1;
    e.pFc = 257;
    e.apartments.resize(65537);
    PanelRow panel;
    panel.nNet = 65;
    logs = ConfigLogs();
    logs.device = "БВ01";
    const QByteArray p = Payload(EncodeBvSection2(panel, {e}, 63, logs));
    EXPECT_EQ(p.mid(8, 3), Bytes({1, 0, 56}));  // 65537 apartments, AI of the increment 57
    EXPECT_TRUE(logs.result.contains(
        "БВ01: значение количество квартир (КМ01) = 65537 больше 65535, записано 1."));
    EXPECT_TRUE(logs.result.contains("БВ01: значение p_fc (КМ01) = 257 больше 99, записано 56."));

    ConsoleSwitchRow c;
    c.nNet = 1;
    c.apartments.resize(65536);
    logs = ConfigLogs();
    logs.device = "ППО00";
    const QByteArray q = Payload(EncodePoSection2({c}, false, 63, logs));
    EXPECT_EQ(q.mid(8, 2), Bytes({0, 0}));
    EXPECT_TRUE(logs.result.contains(
        "ППО00: значение количество квартир (КМ01) = 65536 больше 65535, записано 0."));
}

// The helper's arithmetic holds at the ends of a 64-bit value.
TEST(FieldFitHelper, FitsAndTellsEveryStoredValue) {
    struct Row {
        qint64 stored;
        int width;
        FieldFit fit;
        qint64 offset;
        qint64 written;
        bool told;
    };
    const Row rows[] = {
        {255, 8, FieldFit::LowBits, 0, 255, false},
        {-1, 8, FieldFit::LowBits, 0, 255, true},
        {-1, 8, FieldFit::LowBitsOrZero, 0, 0, true},
        {std::numeric_limits<qint64>::min(), 4, FieldFit::LowBitsOrZero, 1, 0, true},
        {std::numeric_limits<qint64>::max(), 16, FieldFit::LowBits, 0, 65535, true},
        {std::numeric_limits<qint64>::max(), 16, FieldFit::Capped, 0, 65535, true},
        {std::numeric_limits<qint64>::min(), 16, FieldFit::Capped, 0, 0, true},
        {16, 4, FieldFit::LowBitsOrZero, 1, 15, false},
        {0, 4, FieldFit::LowBitsOrZero, 1, 0, true},
    };
    for (const Row& r : rows) {
        ConfigLogs logs;
        EXPECT_EQ(FitField(logs, "x", r.stored, r.width, r.fit, r.offset), r.written) << r.stored;
        EXPECT_EQ(logs.narrowed.size(), r.told ? 1 : 0) << r.stored;
        EXPECT_EQ(logs.result.size(), r.told ? 1 : 0) << r.stored;
    }
    ConfigLogs logs;
    FitField(logs, "busy", 65536, 16, FieldFit::Capped);
    EXPECT_EQ(logs.result, QStringList{"Значение busy = 65536 больше 65535, записано 65535."});
}

}  // namespace
}  // namespace
}  // namespace WriteScreenNarrowingTestUnit
