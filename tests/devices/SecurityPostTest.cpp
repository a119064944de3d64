// The console record, its hardware fields and its melodies, without a window.

#include "DeviceFixture.h"
#include "devices/ConsoleHardware.h"
#include "devices/ConsoleMelody.h"
#include "devices/Melody.h"
#include "devices/SecurityPost.h"
#include "support/BoundedChild.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace SecurityPostTestUnit {
namespace {

const QDate kToday(2024, 3, 5);

class SecurityPosts : public DeviceFixture {
  protected:
    QVariant Console(const QString& column, qint64 idNet = 1) {
        return Scalar("SELECT " + column + " FROM k_po WHERE id_net=?", {idNet});
    }
    SecurityPostLoad Load(qint64 idNet = 1, bool makeMissingRow = true) {
        return LoadSecurityPost(Db(), idNet, kToday, makeMissingRow);
    }
};

TEST_F(SecurityPosts, ANewConsoleRowIsWrittenOnceWithTheScreensDefaults) {
    Exec("DELETE FROM k_po");
    Exec("UPDATE k_po SET busy=1");  // nothing to change yet
    SecurityPostLoad l = Load();
    ASSERT_TRUE(l.ok) << l.error.toStdString();
    EXPECT_TRUE(l.created);
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=1"));
    EXPECT_EQ(QStringLiteral("Пульт ПО ДАРВО"), Console("sobj1").toString());
    EXPECT_EQ(QStringLiteral("05.03.2024 конф."), Console("sobj2").toString());
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(QStringLiteral("Оператор %1").arg(n), Console(QStringLiteral("sus%1").arg(n)));
    EXPECT_EQ(3, Console("id_mel0").toInt());
    EXPECT_EQ(4, Console("id_mel1").toInt());
    EXPECT_EQ(QStringLiteral("00000000"), Console("mcam").toString());  // CamPO 8
    // The hardware values are the table's, whatever a dialog shows elsewhere.
    EXPECT_EQ(31, Console("busy").toInt());
    EXPECT_EQ(915, Console("npce").toInt());
    EXPECT_EQ(45, Console("frmc").toInt());
    EXPECT_EQ(480, Console("mtdy").toInt());
    EXPECT_EQ(0, Console("kf_pr").toInt());

    Exec("UPDATE k_po SET sobj1='' WHERE id_net=1");
    l = Load();
    EXPECT_FALSE(l.created);
    EXPECT_EQ(QStringLiteral("Пульт ПО ДАРВО"), l.settings.sobj1);  // shown, not stored
    EXPECT_EQ(QString(), Console("sobj1").toString());
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=1"));
}

// Where the file cannot be written, a console without its row shows what the
// row would hold once made, and writes nothing; its first save makes it.
TEST_F(SecurityPosts, AMissingRowIsShownAsMadeAndMadeByItsFirstSave) {
    Exec("DELETE FROM k_po");
    Exec("UPDATE k_dom SET kod_d='123' WHERE id_dom=1");
    const SecurityPostLoad shown = Load(1, false);
    ASSERT_TRUE(shown.ok) << shown.error.toStdString();
    EXPECT_TRUE(shown.loaded);
    EXPECT_FALSE(shown.created);
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_po"));
    EXPECT_EQ(4, shown.settings.frmi);
    EXPECT_EQ(3, shown.settings.idMel0);

    SecurityPostSettings saved = shown.settings;
    QString error;
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &saved, &error)) << error.toStdString();
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=1"));
    EXPECT_EQ(shown.settings, Load(1, false).settings);
    Exec("DELETE FROM k_po");
    const SecurityPostLoad made = Load(1, true);
    EXPECT_TRUE(made.created);
    EXPECT_EQ(shown.settings, made.settings);

    // An object without a console gets no row by a save either.
    EXPECT_FALSE(SaveSecurityPost(Db(), 2, &saved, &error));
    EXPECT_EQ(QStringLiteral("Пульт поста охраны объекта не найден"), error);
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_po WHERE id_net=2"));
}

// The camera list has as many items as the global parameters form allows:
// a file's count beyond that range is taken at its nearer end, where a list
// of two thousand million items would never have been shown. In a child
// whose memory is bounded, so that such a list fails in seconds.
TEST_F(SecurityPosts, TheCameraListKeepsWithinTheFormsRange) {
    BoundedChild child;
    EXPECT_TRUE(child.Run([this] {
        const struct {
            const char* stored;
            int items;
        } cases[] = {
            {"8", 8},           {"255", 255},        {"256", 255}, {"7", 8},
            {"-2147483648", 8}, {"2147483647", 255}, {"'x'", 8},   {"9223372036854775807", 255}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.stored);
            Exec(QStringLiteral("UPDATE t_global SET CamPO=") + QLatin1String(c.stored));
            EXPECT_EQ(c.items, Load().settings.cameras.size());
            EXPECT_EQ(c.items, CameraCount(Db()));
        }
    })) << child.Output().toStdString();
}

TEST_F(SecurityPosts, AnObjectWithoutAConsoleGetsNoRow) {
    const SecurityPostLoad l = Load(2);
    EXPECT_TRUE(l.ok);
    EXPECT_FALSE(l.loaded);
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_po WHERE id_net=2"));
}

TEST_F(SecurityPosts, SavingAndLoadingKeepEveryFieldInItsPlace) {
    Exec("UPDATE k_po SET sobj1='Строка один', sobj2='Строка два', kf_pr=3 WHERE id_net=1");
    Exec("UPDATE t_global SET CamPO=10");
    Exec("UPDATE k_po SET mcam='101' WHERE id_net=1");
    SecurityPostLoad l = Load();
    ASSERT_EQ(10, l.settings.cameras.size());
    EXPECT_EQ((QList<bool>{true, false, true, false, false, false, false, false, false, false}),
              l.settings.cameras);
    l.settings.dayStart = QTime(7, 30);
    l.settings.cameras[9] = true;
    QString error;
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &l.settings, &error)) << error.toStdString();
    EXPECT_EQ(QStringLiteral("1010000001"), Console("mcam").toString());
    EXPECT_EQ(450, Console("mtdy").toInt());
    EXPECT_EQ(4, Console("kf_pr").toInt());
    l = Load();
    EXPECT_EQ(QStringLiteral("Строка один"), l.settings.sobj1);
    EXPECT_EQ(QStringLiteral("Строка два"), l.settings.sobj2);
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &l.settings, &error));
    EXPECT_EQ(QStringLiteral("Строка один"), Console("sobj1").toString());
    EXPECT_EQ(QStringLiteral("Строка два"), Console("sobj2").toString());
    EXPECT_EQ(QTime(7, 30), Load().settings.dayStart);
}

TEST_F(SecurityPosts, TimesAreWholeMinutesOfOneDay) {
    EXPECT_EQ(450, MinutesOfDay(QTime(7, 30)));
    EXPECT_EQ(1439, MinutesOfDay(QTime(23, 59)));
    EXPECT_EQ(QTime(7, 30), TimeOfMinutes(450));
    EXPECT_EQ(QTime(0, 10), TimeOfMinutes(1450));
    EXPECT_EQ(QTime(23, 59), TimeOfMinutes(-1));
}

TEST_F(SecurityPosts, TheSeparatorComesAfterTheLongestHousePrefix) {
    EXPECT_EQ(3, AdjustSeparatorPosition(2, {"12", "3"}));
    EXPECT_EQ(4, AdjustSeparatorPosition(4, {"12", "3"}));
    EXPECT_EQ(2, AdjustSeparatorPosition(2, {" ", ""}));

    Exec("UPDATE k_dom SET kod_d=' 12 ' WHERE id_dom=1");
    SecurityPostLoad l = Load();
    l.settings.frmi = 2;
    QString error;
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &l.settings, &error));
    EXPECT_EQ(3, l.settings.frmi);
    EXPECT_EQ(3, Console("frmi").toInt());
}

TEST_F(SecurityPosts, MelodiesLeftAtZeroTakeTheStandardOnesByName) {
    SecurityPostLoad l = Load();
    l.settings.idMel0 = 0;
    l.settings.idMel1 = 4;
    Exec("UPDATE t_mel SET name='Другая' WHERE id_mel=3");
    QString error;
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &l.settings, &error));
    EXPECT_EQ(0, Console("id_mel0").toInt());
    EXPECT_EQ(kMelodyNotDefined, ConsoleMelodyName(Db(), 0));
    EXPECT_EQ(QStringLiteral("Вызов от абонента"), ConsoleMelodyName(Db(), 4));
    EXPECT_EQ(kMelodyNotDefined, ConsoleMelodyName(Db(), 1));  // a switch melody

    Exec("UPDATE t_mel SET name='Вызов от посетителя' WHERE id_mel=3");
    l.settings.idMel0 = 0;
    ASSERT_TRUE(SaveSecurityPost(Db(), 1, &l.settings, &error));
    EXPECT_EQ(3, Console("id_mel0").toInt());
}

TEST_F(SecurityPosts, RewritingTheCallBackAsksThenMarksEveryDevice) {
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_bv=1");
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_bv=2");
    Exec("UPDATE k_po SET kf_pr=5");
    Exec("UPDATE k_kvr SET m_obr=1 WHERE id_kvr IN (1, 2)");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("ВНИМАНИЕ"),
                   QStringLiteral("Переписать всем квартирам обратный вызов?"), DlgAnswer::No);
    EXPECT_EQ(DeviceChange::Declined, RewriteCallBack(Db(), 1, true));
    EXPECT_EQ(2, Int("SELECT COUNT(*) FROM k_kvr WHERE m_obr=1"));

    dialogs.Expect(QStringLiteral("ВНИМАНИЕ"),
                   QStringLiteral("Переписать всем квартирам обратный вызов?"), DlgAnswer::Yes);
    int maximum = 0;
    EXPECT_EQ(DeviceChange::Done,
              RewriteCallBack(Db(), 1, true, [&](int, int m, bool) { maximum = m; }));
    EXPECT_EQ(123 + 4 + 1, maximum);
    EXPECT_EQ(123, Int("SELECT COUNT(*) FROM k_kvr WHERE id_net=1 AND m_obr=1"));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_kvr WHERE id_net=2 AND m_obr=1"));
    EXPECT_EQ(2, Int("SELECT kf_pr FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(4, Int("SELECT kf_pr FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(0, Int("SELECT kf_pr FROM k_bv WHERE id_bv=3"));
    EXPECT_EQ(4, Console("kf_pr").toInt());

    dialogs.Expect(QStringLiteral("ВНИМАНИЕ"),
                   QStringLiteral("Переписать всем квартирам перенаправление вызова?"),
                   DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, RewriteRedirect(Db(), 1, true));
    EXPECT_EQ(123, Int("SELECT COUNT(*) FROM k_kvr WHERE id_net=1 AND l_pnp=1"));
}

TEST_F(SecurityPosts, TheCommonCallCodeRefusesAnEmptyOrTakenCode) {
    Exec("UPDATE k_bv SET kf_pr=1");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Код вызова не может быть пустым!!"));
    EXPECT_EQ(DeviceChange::Refused, SaveCommonCallCode(Db(), 1, "  "));
    dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Данный код вызова занят!"));
    EXPECT_EQ(DeviceChange::Refused, SaveCommonCallCode(Db(), 1, "41"));
    EXPECT_EQ(QStringLiteral("0"), Scalar("SELECT p_kvr FROM k_net WHERE id_net=1"));
    EXPECT_EQ(1, Int("SELECT kf_pr FROM k_bv WHERE id_bv=1"));

    // A handset's code is no apartment's: the console's own code may be saved again.
    EXPECT_EQ(DeviceChange::Done, SaveCommonCallCode(Db(), 1, "0"));
    EXPECT_EQ(DeviceChange::Done, SaveCommonCallCode(Db(), 1, " 500 "));
    EXPECT_EQ(QStringLiteral("500"), Scalar("SELECT p_kvr FROM k_net WHERE id_net=1"));
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_kvr WHERE st_kvr='СПО' AND p_kvr='500'"));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_kvr WHERE st_kvr<>'СПО' AND p_kvr='500'"));
    EXPECT_EQ(2, Int("SELECT kf_pr FROM k_bv WHERE id_bv=1"));
}

TEST_F(SecurityPosts, TheConsoleSerialNumberTakesTheLongFormOnly) {
    QString shown;
    EXPECT_EQ(DeviceChange::Done, LeaveConsoleSerialField(Db(), 1, "123456789", &shown));
    EXPECT_EQ(QStringLiteral("A123456789"), shown);
    EXPECT_EQ(QStringLiteral("A123456789"), Console("sn_po").toString());
    EXPECT_EQ(DeviceChange::Refused, LeaveConsoleSerialField(Db(), 1, "123456", &shown));
    EXPECT_EQ(QStringLiteral("A123456789"), shown);

    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Поле очищено"), QStringLiteral("Стереть SN?"), DlgAnswer::No);
    EXPECT_EQ(DeviceChange::Declined, LeaveConsoleSerialField(Db(), 1, "", &shown));
    EXPECT_EQ(QStringLiteral("A123456789"), shown);
    dialogs.Expect(QStringLiteral("Поле очищено"), QStringLiteral("Стереть SN?"), DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, LeaveConsoleSerialField(Db(), 1, "", &shown));
    EXPECT_EQ(QString(), Console("sn_po").toString());
    EXPECT_EQ(0, Console("kf_pr").toInt());
}

// ---------------------------------------------------------------- hardware

TEST_F(SecurityPosts, TheSeparatorGlyphsStandForTheirCodes) {
    const QList<int>& codes = SeparatorGlyphCodes();
    ASSERT_EQ(39, codes.size());
    EXPECT_EQ(1, codes.first());
    EXPECT_EQ(170, codes.last());    // the label "к"
    EXPECT_EQ(37, GlyphOfCode(45));  // Image39
    EXPECT_EQ(-1, GlyphOfCode(11));
    EXPECT_EQ(45, SeparatorCode(QVariant()));
    EXPECT_EQ(45, SeparatorCode(QStringLiteral("x")));
    EXPECT_EQ(99, SeparatorCode(99));
}

TEST_F(SecurityPosts, TheSaveWithoutTheCodeWritesOnlyWhatChanged) {
    Exec("UPDATE k_po SET kf_pr=1, frmc=NULL");
    ConsoleHardware hw;
    bool found = false;
    QString error;
    ASSERT_TRUE(ReadConsoleHardware(Db(), 1, &hw, &found, &error));
    EXPECT_EQ(45, hw.frmc);
    hw.busy = 1000;  // protected: ignored without the code
    ConsoleHardwareWrite w = SaveUnprotectedHardware(Db(), 1, hw);
    EXPECT_TRUE(w.written);  // the missing separator code is stored
    EXPECT_EQ(45, Console("frmc").toInt());
    EXPECT_EQ(31, Console("busy").toInt());
    EXPECT_EQ(2, Console("kf_pr").toInt());
    Exec("UPDATE k_po SET kf_pr=3");
    EXPECT_FALSE(SaveUnprotectedHardware(Db(), 1, hw).written);
    EXPECT_EQ(3, Console("kf_pr").toInt());
    hw.lrez = true;
    EXPECT_TRUE(SaveUnprotectedHardware(Db(), 1, hw).written);
    EXPECT_EQ(1, Console("lrez").toInt());
    EXPECT_EQ(4, Console("kf_pr").toInt());

    hw.lrez = false;
    hw.frmc = 170;
    w = WriteHardwareFields(Db(), 1, hw);
    EXPECT_TRUE(w.written);
    EXPECT_EQ(0, Console("lrez").toInt());
    EXPECT_EQ(1000, Console("busy").toInt());
    EXPECT_EQ(170, Console("frmc").toInt());

    EXPECT_FALSE(WriteHardwareFields(Db(), 2, hw).written);  // no console row
    EXPECT_FALSE(ReadConsoleHardware(Db(), 2, &hw, &found, &error));
    EXPECT_FALSE(found);
}

// ---------------------------------------------------------------- melodies

TEST_F(SecurityPosts, ThePickerHasTenTonesAndAPause) {
    QStringList texts;
    for (int c = 0; c < kConsoleToneCells; ++c) texts << ConsoleToneText(c);
    EXPECT_EQ((QStringList{"0-0", "1-88", "2-94", "3-106", "4-120", "5-134", "6-150", "7-178",
                           "8-198", "9-238"}),
              texts);
    EXPECT_EQ(15625, ToneHz(ConsoleTone(0)));
    EXPECT_EQ(176, ToneHz(ConsoleTone(1)));
    EXPECT_EQ(65, ToneHz(ConsoleTone(9)));
}

TEST_F(SecurityPosts, AFifthNoteIsReplacedNeverAddedAndNewNotesComeLast) {
    Exec("INSERT INTO t_mel (id_mel, name, forr) VALUES (10, 'Своя', 'посетитель')");
    for (int cell : {1, 2, 4}) ASSERT_EQ(DeviceChange::Done, PickConsoleNote(Db(), 10, 0, cell, 6));
    Exec("DELETE FROM t_bp WHERE id_mel=10 AND nom=2");
    ASSERT_EQ(DeviceChange::Done, PickConsoleNote(Db(), 10, 0, 0, 3));
    ASSERT_EQ(DeviceChange::Done, PickConsoleNote(Db(), 10, 0, 9, 6));
    EXPECT_EQ(QStringLiteral("1,3,4,5"),
              Scalar("SELECT group_concat(nom) FROM (SELECT nom FROM t_bp WHERE id_mel=10 "
                     "ORDER BY nom)"));
    ASSERT_EQ(DeviceChange::Done, PickConsoleNote(Db(), 10, 0, 5, 6));
    const qint64 third = Int("SELECT rowid FROM t_bp WHERE id_mel=10 AND nom=3");
    ASSERT_EQ(DeviceChange::Done, PickConsoleNote(Db(), 10, third, 3, 2));
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=10"));
    EXPECT_EQ(QStringLiteral("106 3 2"),
              Scalar("SELECT gerc || ' ' || noot || ' ' || leng FROM t_bp WHERE rowid=?", {third}));

    RecordingTones tones;
    ASSERT_TRUE(PlayMelody(Db(), 10, tones));
    EXPECT_EQ((QStringList{"176/192", "146/64", "pause/96", "65/192", "116/192"}), tones.Heard());

    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Пусто"), QStringLiteral("Мелодия закрыта для редактирования!"));
    EXPECT_EQ(DeviceChange::Refused, PickConsoleNote(Db(), 3, 0, 1, 5));
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=3"));
}

TEST_F(SecurityPosts, AMelodyIsAssignedByItsPurposeAndClosedForGood) {
    Exec("UPDATE k_po SET kf_pr=1, id_mel0=0, id_mel1=0");
    EXPECT_EQ(DeviceChange::Done, AssignConsoleMelody(Db(), 1, 4));
    EXPECT_EQ(4, Console("id_mel1").toInt());
    EXPECT_EQ(0, Console("id_mel0").toInt());
    EXPECT_EQ(2, Console("kf_pr").toInt());
    EXPECT_EQ(DeviceChange::Done, AssignConsoleMelody(Db(), 1, 3));
    EXPECT_EQ(3, Console("id_mel0").toInt());
    EXPECT_EQ(DeviceChange::Refused, AssignConsoleMelody(Db(), 2, 3));  // no console

    Exec("INSERT INTO t_mel (id_mel, name, forr) VALUES (10, 'Своя', 'абонент')");
    ScriptedDialogs dialogs;
    const QString question =
        QStringLiteral("Закрыть мелодию для редактирования? Она останется навсегда неизменной.");
    dialogs.Expect(QStringLiteral("Осторожно!"), question, DlgAnswer::No);
    EXPECT_EQ(DeviceChange::Declined, CloseMelody(Db(), 10));
    EXPECT_FALSE(MelodyClosed(Db(), 10));
    dialogs.Expect(QStringLiteral("Осторожно!"), question, DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, CloseMelody(Db(), 10));
    EXPECT_TRUE(MelodyClosed(Db(), 10));
}
}  // namespace
}  // namespace SecurityPostTestUnit
