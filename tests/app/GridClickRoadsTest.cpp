// The commands of the grids worked from the keyboard in the whole program:
// what a click or a double click on a row, or a click on a column's title,
// does, done by its key in the active window; the outcome read from the
// screen, the sound and the database file.

#include "KeyboardRoads.h"

#include "app/TFMainVesk.h"
#include "devices/Melody.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFrPo.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFrKeys.h"
#include "netlink/ui/TFrNetDev.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFskEdit.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>

#include <functional>

namespace GridClickRoadsTestUnit {
namespace {

// The key list sorted without the mouse: three keys typed (A, B, C by their
// numbers), their labels and marks then set so that each order of the three
// is another one. Tab to the list; on each column F3 does what a click on its
// title does, ascending then descending. The list's value holds the one row
// chosen when F3 comes after another key, 1 as the number's ascending order,
// so on the number F3 turns the order first, as a title click does. The tool
// tip over the list names the key.
TEST_F(KeyboardRoads, TheKeyListSortedByF3) {
    const QStringList numbers = {QStringLiteral("0000001C0001"), QStringLiteral("0000001C0002"),
                                 QStringLiteral("0000001C0003")};
    auto* f = KeysTyped(numbers);
    ASSERT_TRUE(f);
    const QString tip = ToolTipOver(f->DBGrid2);
    EXPECT_TRUE(tip.contains(QStringLiteral("F3"))) << tip.toStdString();
    const QStringList labels = {QStringLiteral("а"), QStringLiteral("в"), QStringLiteral("б")};
    const QStringList marks = {QStringLiteral("АРМ 2"), QStringLiteral("АРМ 1"),
                               QStringLiteral("АРМ 3")};
    for (int i = 0; i < 3; ++i) {
        QSqlQuery set(database_.open());
        set.prepare(QStringLiteral("UPDATE k_key SET s_met=?, status=? WHERE un_key=?"));
        set.addBindValue(labels[i]);
        set.addBindValue(marks[i]);
        set.addBindValue(numbers[i]);
        ASSERT_TRUE(set.exec());
    }
    auto order = [f, &numbers] {
        QString letters;
        const QAbstractItemModel* list = f->DBGrid2->model();
        for (int r = 0; r < list->rowCount(); ++r)
            letters += QChar(char16_t(u'A' + numbers.indexOf(list->index(r, 0).data().toString())));
        return letters;
    };
    ASSERT_TRUE(TabTo(f->DBGrid2));
    const struct {
        Qt::Key move;
        const char* ascending;
        const char* descending;
    } columns[] = {{Qt::Key_Right, "ACB", "BCA"},  // "Метка ключа"
                   {Qt::Key_Right, "BAC", "CAB"},  // "Статус"
                   {Qt::Key_Home, "ABC", "CBA"}};  // "Уникальный №"
    for (const auto& column : columns) {
        SCOPED_TRACE(column.ascending);
        Press(column.move);
        const bool number = column.move == Qt::Key_Home;
        Press(Qt::Key_F3);
        EXPECT_EQ(QLatin1String(number ? column.descending : column.ascending), order());
        EXPECT_EQ(f->DBGrid2, Focused());
        Press(Qt::Key_F3);
        EXPECT_EQ(QLatin1String(number ? column.ascending : column.descending), order());
        if (column.move == Qt::Key_Right)
            SaveScreen(*f->DBGrid2, QStringLiteral("keys_list_sorted_by_f3_on_%1")
                                        .arg(f->DBGrid2->currentIndex().column()));
    }
}

// A console melody composed without the mouse: "Выбрать и определить мелодию"
// on the console screen by Tab and Space; in the melody form the engineer's
// own melody (the last one); Tab to the tone picker, Down to cell 3, Space:
// its tone sounds (16 000 000 / (107 × 1024) Hz for 5 × 32 ms) and nothing is
// stored; Enter: a note; "Длительность" raised to 8, cell 4, Enter: another;
// Tab to the notes, Ctrl+Home, Enter: the first note's length goes back into
// "Длительность". The picker's tool tip names Space.
TEST_F(KeyboardRoads, AConsoleMelodyComposedFromTheKeyboard) {
    QSqlQuery(database_.open())
        .exec(
            "INSERT INTO t_mel (id_mel, name, forr, l_edit) VALUES (90, 'Своя', 'посетитель', 0)");
    auto* f = ShowActive<TFrPo>(7);
    ASSERT_TRUE(f);
    ASSERT_TRUE(OpenedByKeyboard(f->BitMel, FMelP));
    ASSERT_TRUE(OwnMelodyChosen(FMelP->DBGm, Qt::Key_End, FDM->Q_MelP));
    ASSERT_TRUE(TabTo(FMelP->GNoot));
    EXPECT_TRUE(ToolTipOver(FMelP->GNoot).contains(QStringLiteral("Пробел")));
    Press(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i) Press(Qt::Key_Down);
    {
        RecordingTones tones;
        Press(Qt::Key_Space);
        EXPECT_EQ(QStringList{QStringLiteral("146/160")}, tones.Heard());
        EXPECT_EQ(QString(), StoredRows("SELECT nom FROM t_bp WHERE id_mel=90"));
    }
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("1 5 106 3"),
              StoredRows("SELECT nom, leng, gerc, noot FROM t_bp WHERE id_mel=90 ORDER BY nom"));
    ASSERT_TRUE(TabTo(FMelP->Dol));
    for (int i = 0; i < 3; ++i) Press(Qt::Key_Up);
    ASSERT_TRUE(BacktabTo(FMelP->GNoot));
    Press(Qt::Key_Down);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QStringLiteral("1 5 106 3\n2 8 120 4"),
              StoredRows("SELECT nom, leng, gerc, noot FROM t_bp WHERE id_mel=90 ORDER BY nom"));
    ASSERT_TRUE(BacktabTo(FMelP->DBGb));
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Return);
    EXPECT_EQ(5, FMelP->Dol->value());
    SaveScreen(*FMelP, QStringLiteral("console_melody_by_keyboard"));
    FMelP->close();
}

// A switch melody composed without the mouse: the switch editor from the
// menu, "Выбрать и определить мелодию" by Tab and Space; the engineer's own
// melody (the first by name); Tab to the notes to choose from, the second one,
// Space: it is added; the third one, Enter: it replaces the melody's note.
// Shift+Space sounds the note as a click on its cell does, for "Длительность"
// × 32 ms: on "Нота" its frequency, on "Значение" the tone of its value, on
// "Октава" nothing; it adds no note. The grid's tool tip names Shift+Space.
TEST_F(KeyboardRoads, ASwitchMelodyComposedFromTheKeyboard) {
    QSqlQuery(database_.open())
        .exec("INSERT INTO t_mel (id_mel, name, forr, l_edit) VALUES (91, 'Своя', 'вызов', 0)");
    ASSERT_TRUE(ShowActive<TScreenFrame>(4));
    Menu(QStringLiteral("MpkEdit"));
    ASSERT_TRUE(FpkEdit->isVisible());
    ASSERT_TRUE(Activate(FpkEdit));
    ASSERT_TRUE(OpenedByKeyboard(FpkEdit->BitMel, FMelF));
    ASSERT_TRUE(OwnMelodyChosen(FMelF->DBGm, Qt::Key_Home, FDM->Q_Mel));
    ASSERT_TRUE(TabTo(FMelF->DBGrid1));
    auto tone = [] { return FMelF->NotKeys->FieldByName(QStringLiteral("Valn")).AsString(); };
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Down);
    const QString second = tone();
    Press(Qt::Key_Space);
    EXPECT_EQ(QStringLiteral("1 7 ") + second,
              StoredRows("SELECT nom, leng, gerc FROM t_bp WHERE id_mel=91 ORDER BY nom"));
    Press(Qt::Key_Down);
    const QString third = tone();
    ASSERT_NE(second, third);
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("1 7 ") + third,
              StoredRows("SELECT nom, leng, gerc FROM t_bp WHERE id_mel=91 ORDER BY nom"));

    EXPECT_TRUE(ToolTipOver(FMelF->DBGrid1).contains(QStringLiteral("Shift+Пробел")));
    auto field = [](const char* name) {
        return FMelF->NotKeys->FieldByName(QLatin1String(name)).AsInt();
    };
    const QString ms = QStringLiteral("/%1").arg(7 * 32);
    RecordingTones tones;
    Press(Qt::Key_Home);  // "Октава"
    Press(Qt::Key_Space, Qt::ShiftModifier);
    Press(Qt::Key_Right);  // "Нота"
    Press(Qt::Key_Space, Qt::ShiftModifier);
    Press(Qt::Key_Right);  // "Значение"
    Press(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ((QStringList{QString::number(field("Gerc")) + ms,
                           QString::number(ToneHz(field("Valn"))) + ms}),
              tones.Heard());
    EXPECT_EQ(QStringLiteral("1 7 ") + third,
              StoredRows("SELECT nom, leng, gerc FROM t_bp WHERE id_mel=91 ORDER BY nom"));
    FMelF->close();
    FpkEdit->close();
}

// Enter on a grid's current row does what a double click on it does, where
// a double click had no key: on the keys screen the apartments (the residents
// screen on that apartment), the entrances of the common keys (the entrance's
// parameters) and the apartments of a lost key (the residents' list put on
// that apartment); on the network screen the configured devices, whose click
// runs the same command, listed by "Обновить" of their menu (the
// commissioning button named for the switch).
// The grids that had their keys keep them.
TEST_F(KeyboardRoads, EnterDoesWhatADoubleClickDoes) {
    auto* keys = ShowActive<TFrKeys>(9);
    ASSERT_TRUE(keys);
    auto apartment = [] { return FDM->QForKey->FieldByName(QStringLiteral("id_kvr")).AsString(); };
    auto residentsOn = [] { return FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsString(); };
    struct EnterRoad {
        const char* grid;
        QRadioButton* mode;
        QWidget* list;
        bool onAnApartment;
        std::function<bool()> done;
    };
    const QList<EnterRoad> roads = {
        {"apartments", keys->RB_KvrKey, keys->DBGrid1, true,
         [] { return FMainVesk->VisibleScreen() == 14; }},
        {"entrances", keys->RB_ObsKey, keys->DBGrid3, false, [] { return FskEdit->isVisible(); }},
        {"apartments of a lost key", keys->RBTer, keys->DBGrid5, true,
         [] { return FMainVesk->VisibleScreen() == 9; }},
    };
    for (const EnterRoad& road : roads) {
        SCOPED_TRACE(road.grid);
        road.mode->click();
        ASSERT_TRUE(TabTo(road.list));
        // On another apartment than the residents' list stands on.
        Press(Qt::Key_Down);
        for (int i = 0; i < 3 && road.onAnApartment && apartment() == residentsOn(); ++i)
            Press(Qt::Key_Down);
        const QString chosen = apartment();
        ASSERT_FALSE(road.onAnApartment && chosen == residentsOn());
        ASSERT_FALSE(FskEdit->isVisible());
        Press(Qt::Key_Return);
        EXPECT_TRUE(road.done());
        if (road.onAnApartment) {
            EXPECT_EQ(chosen, residentsOn());
        }
        FskEdit->close();
        ShowByMenu(9);
        ASSERT_TRUE(Activate(FMainVesk));
    }

    ShowByMenu(12);
    auto* net = qobject_cast<TFrNetDev*>(FMainVesk->FrameOfScreen(12));
    ASSERT_TRUE(net);
    ASSERT_TRUE(TabTo(net->ListHdev));
    // "Обновить" from the list's menu: the object's devices listed.
    Press(Qt::Key_F10, Qt::ShiftModifier);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    auto onASwitch = [net] {
        const QListWidgetItem* item = net->ListHdev->currentItem();
        return item && item->text().contains(QStringLiteral("КМ"));
    };
    for (int i = 0; i < 8 && !onASwitch(); ++i) Press(Qt::Key_Down);
    ASSERT_TRUE(onASwitch());
    const QString line = net->ListHdev->currentItem()->text();
    ASSERT_NE(QStringLiteral("ВСЕ оперрации для ") + line.mid(1, 4), net->BitSN->text());
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("ВСЕ оперрации для ") + line.mid(1, 4), net->BitSN->text());

    // The switches' and call panels' grids keep theirs: Enter, and Space on
    // the call panels, show the row's editor.
    const struct {
        int screen;
        Qt::Key key;
        QWidget* editor;
    } editors[] = {
        {4, Qt::Key_Return, FpkEdit}, {5, Qt::Key_Return, FbvEdit}, {5, Qt::Key_Space, FbvEdit}};
    for (const auto& road : editors) {
        SCOPED_TRACE(road.screen);
        ShowByMenu(road.screen);
        ASSERT_TRUE(Activate(FMainVesk));
        auto* grid = FMainVesk->FrameOfScreen(road.screen)
                         ->findChild<QAbstractItemView*>(QStringLiteral("DBGrid1"));
        ASSERT_TRUE(grid && TabTo(grid));
        ASSERT_FALSE(road.editor->isVisible());
        Press(road.key);
        EXPECT_TRUE(road.editor->isVisible());
        road.editor->close();
    }
}

// Enter on the object list does what a click on an object does: the object
// is loaded into the edit panel (its name, the headline of a change), and the
// screen stays the object screen.
TEST_F(KeyboardRoads, EnterOnTheObjectListLoadsTheObject) {
    auto* f = ShowActive<TFrMatr>(1);
    ASSERT_TRUE(f);
    const QString ident = FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString();
    ASSERT_FALSE(ident.isEmpty());
    ASSERT_NE(ident, f->P1_ENew->text());
    ASSERT_TRUE(TabTo(f->DBGrid1));
    Press(Qt::Key_Return);
    EXPECT_EQ(ident, f->P1_ENew->text());
    EXPECT_EQ(QStringLiteral("Вы производите корректировку существующего объекта ") + ident +
                  QLatin1Char('.'),
              f->P1_LInf->text());
    EXPECT_EQ(2, f->Screen().EditMark());
    EXPECT_EQ(1, FMainVesk->VisibleScreen());
}
}  // namespace
}  // namespace GridClickRoadsTestUnit
