// What the write screen tells about the chosen devices it writes no file for
// and the keys it leaves out of a file: every device of the list, chosen all
// at once, is named in the results with what became of it, and the summary
// after "ИТОГИ" never reads as if every file were made.

#include "site/ObjectDeletion.h"
#include "support/ScriptedDialogs.h"

#include "WriteScreenFixture.h"

#include <QFileInfo>

namespace WriteScreenSkipsTestUnit {

namespace {

using namespace WriteScreenTexts;

struct SkipCase {
    const char* name;
    QStringList sql;            // what makes the case, before the screen opens
    bool deleteObject = false;  // a second copy deletes the object after it opened
    QStringList dialogs;        // caption and text of each box the pass shows
    QString device;             // the device of the case, as the list shows it
    QString line;               // its line in the results
    bool fileMade = false;
};

const QString kInsertSwitch = QStringLiteral(
    "INSERT INTO k_pk (id_pod, id_net, id_ke, id_mvv, id_mot, n_xl, p_fc, n_net, type_k, kf_pr)"
    " VALUES (%1, 1, 1, 1, 2, 41, 1, %2, 'Торвин', 0)");

QString insertSwitch(int idPod, int nNet) {
    return kInsertSwitch.arg(idPod).arg(nNet);
}

const QString kMissingSet =
    QStringLiteral("Общие параметры КМ заданы не полностью, нет значений: t_cm");

const SkipCase kCases[] = {
    {"a switch number the matrix does not hold",
     {insertSwitch(1, 0)},
     false,
     {},
     "КМ00 д.1 под.1",
     "Файл для КМ00 д.1 под.1 НЕ СОЗДАН: сетевого номера 0 нет в матрице объекта."},
    {"a negative switch number",
     {insertSwitch(3, -1)},
     false,
     {},
     "КМ-1 д.2 под.1",
     "Файл для КМ-1 д.2 под.1 НЕ СОЗДАН: сетевой номер -1 вне 0..62."},
    {"a switch number past the screen's tables",
     {insertSwitch(1, 256)},
     false,
     {},
     "КМ256 д.1 под.1",
     "Файл для КМ256 д.1 под.1 НЕ СОЗДАН: сетевой номер 256 вне 0..62."},
    {"a switch number of the panels' addresses",
     {insertSwitch(1, 70)},
     false,
     {},
     "КМ70 д.1 под.1",
     "Файл для КМ70 д.1 под.1 НЕ СОЗДАН: сетевой номер 70 вне 0..62."},
    {"a second switch on an address",
     {insertSwitch(2, 1)},
     false,
     {},
     "КМ01 д.1 под.2",
     "Файл для КМ01 д.1 под.2 НЕ СОЗДАН: сетевой номер 1 занят коммутатором КМ01 д.1 под.1."},
    {"a second call panel on an address, which the list does not show",
     {"INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, l_use)"
      " VALUES (9, 1, 65, 1, 'БВ01 второй', 0, 1)"},
     false,
     {},
     "БВ01 второй",
     "Файл для БВ01 второй НЕ СОЗДАН: сетевой адрес 65 занят блоком вызова БВ01 БВ подъезда."},
    {"the object deleted by a second copy",
     {},
     true,
     {},
     "КМ02 д.1 под.2",
     "Файл для КМ02 д.1 под.2 НЕ СОЗДАН: объект удалён из базы данных."},
    {"a switch without its type",
     {"UPDATE k_pk SET type_k = '' WHERE n_net = 3"},
     false,
     {},
     "КМ03 д.2 под.1",
     "Файл для КМ03 д.2 под.1 НЕ СОЗДАН: не задан тип коммутатора."},
    {"a value the encoder refuses",
     {"INSERT INTO t_ke (id_ke, name, t_cm, t_cl, t_dl, t_vc, t_st, acp1, acp2, acp3, acp4, t_dx,"
      " t_mo, t_bo, t_wt, t_po, edge, t_ed, t_de) SELECT 7, 'без TCM', NULL, t_cl, t_dl, t_vc,"
      " t_st, acp1, acp2, acp3, acp4, t_dx, t_mo, t_bo, t_wt, t_po, edge, t_ed, t_de FROM t_ke"
      " WHERE id_ke = 1",
      "UPDATE k_pk SET id_ke = 7 WHERE n_net = 2"},
     false,
     {"Ошибка", kMissingSet},
     "КМ02 д.1 под.2",
     kMissingSet},
    {"repeated call codes in an entrance",
     {"UPDATE k_pod SET kvv_t = 1 WHERE id_pod = 3"},
     false,
     {kRepeatedCodesCaption, kRepeatedCodes, kRepeatedCodesCaption, kRepeatedCodes},
     "БВ03 БВ подъезда",
     "Файл для БВ03 БВ подъезда НЕ СОЗДАН: двойные или непроверенные коды вызова в доме или "
     "подъезде."},
    {"a key with an empty code in the entrance panel's file",
     {"UPDATE k_key SET bv_key = '' WHERE rowid = (SELECT MIN(rowid) FROM k_key)"},
     false,
     {},
     "БВ01 БВ подъезда",
     "БВ01: не записано в секцию 5 ключей с пустым кодом: 1.",
     true},
    {"the same key in the gate's file",
     {"UPDATE k_key SET bv_key = '  ' WHERE rowid = (SELECT MIN(rowid) FROM k_key)"},
     false,
     {},
     "БВ04 калитка",
     "БВ04: не записано в секцию 5 ключей с пустым кодом: 1.",
     true},
    {"a common key with an empty code",
     {"UPDATE k_key SET bv_key = '' WHERE id_kvr = -1 AND id_pod = 3"},
     false,
     {},
     "БВ03 БВ подъезда",
     "БВ03: не записано в секцию 7 ключей с пустым кодом: 1.",
     true},
    {"a key code that is no key number",
     {"UPDATE k_key SET bv_key = 'КЛЮЧ' WHERE id_kvr = -2"},
     false,
     {},
     "БВ04 калитка",
     "БВ04: не записано в секцию 7 ключей с неверным кодом: 2.",
     true},
};

void PrintTo(const SkipCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteSkips : public WriteScreenFixture, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(WriteSkips, EveryChosenDeviceIsNamedWithWhatBecameOfIt) {
    const SkipCase& c = GetParam();
    for (const QString& sql : c.sql) Sql(sql);
    ScriptedDialogs dialogs;
    for (qsizetype i = 0; i + 1 < c.dialogs.size(); i += 2)
        dialogs.Expect(c.dialogs[i], c.dialogs[i + 1]);
    auto s = NewScreen();
    if (c.deleteObject) {
        QString error;
        ASSERT_TRUE(ObjectDeletion::DeleteObjectRows(SecondConnection(), kIdNet, {}, &error))
            << error.toStdString();
    }
    const QStringList shown = RowTexts(*s);
    s->BitCreateClick(AllRows(*s));

    // Each row of the list has its device in the results once, and a device
    // without a file says so.
    QList<int> rows;
    QStringList named;
    for (const WriteDeviceResult& d : s->LastPass()) {
        rows << d.row;
        named << d.device;
        if (!d.fileMade) {
            EXPECT_FALSE(d.lines.filter("НЕ СОЗДАН").isEmpty()) << d.device.toStdString();
        }
    }
    for (int row = 0; row < shown.size(); ++row)
        EXPECT_EQ(rows.count(row), 1) << shown[row].toStdString();

    const WriteDeviceResult* device = nullptr;
    for (const WriteDeviceResult& d : s->LastPass())
        if (d.device == c.device && d.lines.contains(c.line)) device = &d;
    ASSERT_NE(device, nullptr) << named.join(" | ").toStdString();
    EXPECT_EQ(device->fileMade, c.fileMade);

    // The summary after "ИТОГИ" names the device's line and ends with the count of files not made.
    const QStringList tail = SummaryTail(*s);
    EXPECT_TRUE(tail.contains(c.line));
    const qsizetype without = std::count_if(s->LastPass().cbegin(), s->LastPass().cend(),
                                            [](const WriteDeviceResult& d) { return !d.fileMade; });
    const QString count =
        QStringLiteral("Не создано файлов: %1 из %2.").arg(without).arg(s->LastPass().size());
    EXPECT_EQ(tail.contains(count), without > 0);
    if (without > 0) {
        EXPECT_EQ(tail.last(), count);
    }
    if (c.deleteObject) {
        EXPECT_TRUE(FilesInFolder().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteSkips, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SkipCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace WriteScreenSkipsTestUnit
