// The data-entry screens worked from the keyboard in the whole program: each
// screen shown through the menu in the active window, keys sent to whatever
// has the focus, the outcome read from the screen and the database file.

#include "KeyboardRoads.h"

#include "app/TFMainVesk.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigRepository.h"
#include "config/ConfigScreenSettings.h"
#include "config/SwitchFile.h"
#include "config/ui/EditorSwitchTab.h"
#include "config/ui/TFrRedact.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFrKeys.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentGenerator.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/FakeClipboard.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace KeyboardRoadsTestUnit {
namespace {

// A surname typed at once; Ctrl+Enter, then Enter on "Сохранить изменения";
// then "Начать выборку", whose locked groups read gray, "Для ППО" as the flags.
TEST_F(KeyboardRoads, TheResidentsScreen) {
    auto* f = ShowActive<TFrPiople>(14);
    ASSERT_TRUE(f);
    const QString id = FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsString();
    Type(QStringLiteral("петров"));
    EXPECT_EQ(QStringLiteral("петров"), f->EFam->text());
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f->BitSave, Focused());
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("Петров"), Stored("SELECT Fam FROM k_kvr WHERE id_kvr=" + id));
    EXPECT_EQ(f->EFam, Focused());

    f->BitFind->click();
    SaveScreen(*FMainVesk, QStringLiteral("residents_selection_mode"));
    auto drawn = [](const QWidget* w) {
        return w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::WindowText);
    };
    EXPECT_NE(drawn(f->Call), f->Call->palette().color(QPalette::Active, QPalette::WindowText));
    for (const QWidget* w : QList<QWidget*>{f->Panel3, f->C_obr, f->STime, f->CPnp})
        EXPECT_EQ(drawn(f->Call).name(), drawn(w).name()) << w->objectName().toStdString();
}

// A key number typed at once, Enter, Enter: stored; then Ctrl+X on one key.
// The folder field is selected with the mouse but takes no keys; other
// screens give the focus to their first control.
TEST_F(KeyboardRoads, TheKeysScreen) {
    FakeClipboard clipboard;  // over the desktop's, which the program installs
    auto* f = KeysTyped({QStringLiteral("0000001a0001"), QStringLiteral("0000001a0002")});
    ASSERT_TRUE(f);
    ASSERT_EQ(2, f->DBGrid2->model()->rowCount());
    QTest::mouseClick(f->DBGrid2->viewport(), Qt::LeftButton, {},
                      f->DBGrid2->visualRect(f->DBGrid2->model()->index(0, 0)).center());
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("Вырез 1"), f->OtmBlue->text());
    EXPECT_EQ(0, f->DBGrid2->SelectedCount());
    EXPECT_EQ(QStringLiteral("1"), Stored("SELECT COUNT(*) FROM k_key"));

    QTest::mouseDClick(FMainVesk->Path, Qt::LeftButton);
    EXPECT_TRUE(FMainVesk->Path->hasSelectedText());
    EXPECT_EQ(f->DBGrid2, Focused());
    for (int screen : {10, 13, 6}) {
        ShowByMenu(screen);
        EXPECT_TRUE(FMainVesk->FrameOfScreen(screen)->isAncestorOf(Focused())) << screen;
    }
}

// "Сохранить квартиры для КМ" asks with both grids in view.
TEST_F(KeyboardRoads, TheOverwriteQuestionOverTheGrids) {
    auto* f = ShowActive<TFrPod>(3);
    ASSERT_TRUE(f);
    bool gridsShown = false;
    dialogs_.Expect(GenerationTexts::kCaption, GenerationTexts::kOverwrite, DlgAnswer::Cancel)
        .WhenShown([&] { gridsShown = f->PanelGrids->isVisible(); });
    f->BtnSave->click();
    EXPECT_TRUE(gridsShown);
}

// At the last entrance of the last house (a hotel one, where "Первая позиция"
// is open) the first position is changed and left twice: stored each time,
// and the house, the entrance and its rows stay.
TEST_F(KeyboardRoads, LeavingTheFirstPosition) {
    QSqlQuery(database_.open())
        .exec("UPDATE k_pod SET type_n=1 WHERE id_pod=(SELECT MAX(id_pod) FROM k_pod)");
    auto* f = ShowActive<TFrKvr>(6);
    ASSERT_TRUE(f);
    f->BitDownGrup->click();
    auto shown = [f] {
        return QStringList{f->DBTextHouse->text(), f->DBTextNPod->text(),
                           FDM->Q_DPd->FieldByName(QStringLiteral("id_pod")).AsString(),
                           FDM->Q_Kvp->FieldByName(QStringLiteral("id_pod")).AsString()};
    };
    const QStringList before = shown();
    for (const auto& [key, stored] : {std::pair{Qt::Key_Up, "1"}, std::pair{Qt::Key_Down, "0"}}) {
        f->E_n1->setFocus();
        Press(key);
        Press(Qt::Key_Tab);
        EXPECT_EQ(QString::fromLatin1(stored), Stored("SELECT incr FROM k_net"));
        EXPECT_EQ(before, shown());
    }
}

namespace {

// The report preview the program shows, once it shows.
QPrintPreviewDialog* ShownPreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) return p;
    return nullptr;
}

// The preview's print command and its tool button.
QToolButton* PrintButton(QPrintPreviewDialog* preview) {
    auto* print = preview->findChild<QAction*>(QStringLiteral("PrintAction"));
    auto* bar = preview->findChild<QToolBar*>();
    return print && bar ? qobject_cast<QToolButton*>(bar->widgetForAction(print)) : nullptr;
}

// Answers the print dialog with Cancel once it shows; true when it showed.
class PrintDialogWatch {
  public:
    PrintDialogWatch() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                shown_ = true;
                d->reject();
            }
        });
        timer_.start();
    }
    bool Shown() const { return shown_; }

  private:
    QTimer timer_;
    bool shown_ = false;
};

}  // namespace

// Each command of the bar above the screens has its key (the bar's buttons
// take no focus), and so has the print preview's print command, which Tab
// also reaches. Each key does what its button does, typed wherever the focus
// is on the screen.
TEST_F(KeyboardRoads, EveryCommandOfTheBarHasItsKey) {
    ASSERT_TRUE(ShowActive<TScreenFrame>(9));  // the history holds screens 1 and 9
    QWidget* screenField = Focused();
    ASSERT_TRUE(FMainVesk->FrameOfScreen(9)->isAncestorOf(screenField));
    const int widthBefore = FMainVesk->width();
    std::unique_ptr<PrintDialogWatch> printDialog;
    struct CommandKey {
        const char* command;
        QKeyCombination key;
        std::function<void()> arrange;  // what the command needs, done by the test
        std::function<bool()> done;
    };
    const QList<CommandKey> commands = {
        {"◄ Назад", Qt::ALT | Qt::Key_Left, {}, [] { return FMainVesk->VisibleScreen() == 1; }},
        {"Вперед ►", Qt::ALT | Qt::Key_Right, {}, [] { return FMainVesk->VisibleScreen() == 9; }},
        {"БД", Qt::Key_F12, {}, [] { return FMainVesk->Memo2->isVisible(); }},
        {"↔", Qt::Key_F11, {}, [&] { return FMainVesk->width() != widthBefore; }},
        {"Помощь", Qt::Key_F1,
         [&] { dialogs_.ExpectContaining(MainWindowTexts::kError, HelpTexts::kNotInstalled); },
         [&] { return dialogs_.Pending() == 0; }},
        {"Выход есть!", Qt::CTRL | Qt::Key_Q,
         [&] {
             dialogs_.Expect(MainWindowTexts::kExitCaption, MainWindowTexts::kExitQuestion,
                             DlgAnswer::No);
         },
         [&] { return dialogs_.Pending() == 0 && FMainVesk->isVisible(); }},
        {"В меню",
         Qt::ALT | Qt::Key_Home,
         {},
         [] {
             return FMainVesk->VisibleScreen() == 0 &&
                    FMainVesk->windowTitle() == QStringLiteral("АРМ DUZAVIZOR");
         }},
        {"Печать объекта: печать", Qt::CTRL | Qt::Key_P,
         [&] {
             Menu(QStringLiteral("NObPrint"));
             QPrintPreviewDialog* preview = ShownPreview();
             ASSERT_TRUE(preview);
             preview->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
             EXPECT_TRUE(TabTo(PrintButton(preview), 20)) << "Tab reaches the print command";
             SaveScreen(*preview, QStringLiteral("report_preview_print_focused"));
             printDialog = std::make_unique<PrintDialogWatch>();
         },
         [&] { return printDialog && printDialog->Shown(); }},
    };
    for (const CommandKey& c : commands) {
        SCOPED_TRACE(c.command);
        if (c.arrange) c.arrange();
        Press(c.key.key(), c.key.keyboardModifiers());
        QCoreApplication::processEvents();
        EXPECT_TRUE(c.done());
    }
    if (QPrintPreviewDialog* preview = ShownPreview()) preview->close();
}

namespace {

// Where the entrance screen stands: "house/entrance control", the control
// with the focus by its name, marked "?" when it is a field outside the
// panel of the current house or entrance (the one drawn as chosen).
QString EntranceScreenPosition(const TFrPod& f) {
    QWidget* focus = QApplication::focusWidget();
    QString name = focus ? focus->objectName() : QStringLiteral("-");
    for (TRecordGrid* grid : {f.CGridD, f.CGridP}) {
        if (!focus || focus == grid || !grid->isAncestorOf(focus)) continue;
        bool inCurrent = false;
        for (const QString& field : grid->EditableFields())
            inCurrent = inCurrent || grid->Editor(grid->CurrentRow(), field) == focus;
        if (!inCurrent) name += QLatin1Char('?');
    }
    return QStringLiteral("%1/%2 %3").arg(FDM->Q_Dom->RecNo()).arg(FDM->Q_DPd->RecNo()).arg(name);
}

}  // namespace

// Every row of the entrance screen's keyboard table, typed into the window:
// house 1 has entrances 1 and 2, house 2 one entrance; the entrances' name,
// last number and count are open ("Изменять названия подъездов",
// "Изменять количество квартир"). The grids themselves are reached by Tab.
TEST_F(KeyboardRoads, TheEntranceScreenKeys) {
    auto* f = ShowActive<TFrPod>(3);
    ASSERT_TRUE(f);
    f->ChNomPod->click();
    f->ChKolKv->click();
    ASSERT_EQ(
        (QStringList{QStringLiteral("nm_pod"), QStringLiteral("npkvr"), QStringLiteral("v_kvr")}),
        f->CGridP->EditableFields());
    struct KeyRow {
        const char* where;
        QString from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString to;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const QList<KeyRow> table = {
        {"houses grid: Enter", "1/1 CGridD", Qt::Key_Return, none, "1/1 DBEditDom"},
        {"houses grid: PageDown", "1/1 CGridD", Qt::Key_PageDown, none, "1/1 DBEditName"},
        {"houses grid: Down", "1/1 CGridD", Qt::Key_Down, none, "2/1 CGridD"},
        {"house name: Down", "1/1 DBEditDom", Qt::Key_Down, none, "2/1 DBEditDom"},
        {"house name: Up", "2/1 DBEditDom", Qt::Key_Up, none, "1/1 DBEditDom"},
        {"entrance fields: Down", "1/1 D_Epk", Qt::Key_Down, none, "1/2 DBEditName"},
        {"entrance fields: Down past the house", "1/2 D_Epk", Qt::Key_Down, none, "2/1 DBEditName"},
        {"entrance fields: Up", "1/2 D_Epk", Qt::Key_Up, none, "1/1 D_Kkv"},
        {"entrance fields: Up before the house", "2/1 D_Epk", Qt::Key_Up, none, "1/2 D_Kkv"},
        {"entrance fields: Tab", "1/1 D_Kkv", Qt::Key_Tab, none, "1/1 DBEditName"},
        {"entrance fields: Shift+Tab", "1/1 DBEditName", Qt::Key_Backtab, Qt::ShiftModifier,
         "1/1 D_Kkv"},
        {"entrance fields: PageUp", "1/2 D_Epk", Qt::Key_PageUp, none, "1/2 DBEditDom"},
        {"entrances grid: Enter", "1/2 CGridP", Qt::Key_Return, none, "1/2 DBEditName"},
        {"entrances grid: Enter past the last entrance", "1/2 D_Kkv", Qt::Key_Return, none,
         "2/1 DBEditName"},
        {"entrances grid: Shift+Enter on the first entrance", "2/1 DBEditName", Qt::Key_Return,
         Qt::ShiftModifier, "1/2 D_Kkv"},
        {"entrances grid: PageUp", "1/1 CGridP", Qt::Key_PageUp, none, "1/1 CGridD"},
    };
    for (const KeyRow& row : table) {
        SCOPED_TRACE(row.where);
        const int house = row.from.section(QLatin1Char('/'), 0, 0).toInt();
        const int entrance =
            row.from.section(QLatin1Char('/'), 1).section(QLatin1Char(' '), 0, 0).toInt();
        const QString control = row.from.section(QLatin1Char(' '), 1);
        TRecordGrid* grid = control == QLatin1String("CGridD")   ? f->CGridD
                            : control == QLatin1String("CGridP") ? f->CGridP
                                                                 : nullptr;
        // A grid is reached by Tab from the screen's first control; a field
        // of a panel makes its house and entrance current as it takes the focus.
        if (grid) {
            f->RBPod->setFocus();
            ASSERT_TRUE(TabTo(grid)) << control.toStdString();
        }
        FDM->Q_Dom->SetRecNo(house);
        FDM->Q_DPd->SetRecNo(entrance);
        if (!grid) {
            TRecordGrid* panels = control == QLatin1String("DBEditDom") ? f->CGridD : f->CGridP;
            for (const QString& field : panels->EditableFields())
                if (QLineEdit* edit = panels->Editor(panels->CurrentRow(), field);
                    edit && edit->objectName() == control)
                    edit->setFocus();
        }
        ASSERT_EQ(row.from, EntranceScreenPosition(*f));
        Press(row.key, row.modifiers);
        EXPECT_EQ(row.to, EntranceScreenPosition(*f));
    }
    SaveScreen(*FMainVesk, QStringLiteral("entrance_screen_houses_grid_focused"));
}

// A key moved to another apartment without the mouse: two keys typed into
// the first apartment; the screen shown again; Tab to the key list, Ctrl+X
// on the key it stands on, Shift+Tab to the apartments, Down to the
// next apartment, Ctrl+V there.
TEST_F(KeyboardRoads, AKeyMovedToAnotherApartment) {
    FakeClipboard clipboard;  // over the desktop's, which the program installs
    auto* f = KeysTyped({QStringLiteral("0000001b0001"), QStringLiteral("0000001b0002")});
    ASSERT_TRUE(f);
    // The keys were typed in an earlier visit: the screen shows no key chosen.
    ShowByMenu(10);
    ShowByMenu(9);
    auto apartment = [] { return FDM->QForKey->FieldByName(QStringLiteral("id_kvr")).AsString(); };
    const QString from = apartment();

    ASSERT_TRUE(TabTo(f->DBGrid2));
    const QString key = FDM->QKeys->FieldByName(QStringLiteral("un_key")).AsString();
    ASSERT_FALSE(key.isEmpty());
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("Вырез 1"), f->OtmBlue->text());

    ASSERT_TRUE(BacktabTo(f->DBGrid1));
    Press(Qt::Key_Down);
    EXPECT_EQ(f->DBGrid1, Focused());
    const QString to = apartment();
    EXPECT_NE(from, to);
    SaveScreen(*FMainVesk, QStringLiteral("keys_apartment_chosen_by_keyboard"));
    dialogs_.Expect(QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?"),
                    DlgAnswer::Yes);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("Вставл 1"), f->OtmBlue->text());
    EXPECT_EQ(to, Stored("SELECT id_kvr FROM k_key WHERE un_key='" + key + "'"));
}

// The matrix changed and saved without the mouse: Tab to the matrix;
// Ctrl+Home, Right, Right to the first entrance's name, one more letter typed
// there; Tab on to "Сохранить", Enter.
TEST_F(KeyboardRoads, TheMatrixSaved) {
    auto* f = ShowActive<TFrDom>(2);
    ASSERT_TRUE(f);
    ASSERT_EQ(QStringLiteral("закрыто"), Stored("SELECT st_net FROM k_net"));
    ASSERT_TRUE(TabTo(f->DBGrid3));
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Right);
    Press(Qt::Key_Right);
    Type(QStringLiteral("A"));
    EXPECT_EQ(QStringLiteral("закр+ввод"), Stored("SELECT st_net FROM k_net"));
    ASSERT_TRUE(TabTo(f->BtnSave));
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("сохранено"), Stored("SELECT st_net FROM k_net"));
    EXPECT_EQ(QStringLiteral("Л-01A"), Stored("SELECT nm_pod FROM m_pk WHERE n_pk=1"));
}

// The editor's switch file changed and saved without the mouse: Tab to the
// open button, Enter, the file chosen; Tab to the handset tone time, Up;
// Tab to "Сохранить КМ", Enter, Yes. The file holds the new time.
TEST_F(KeyboardRoads, TheEditorsFileSaved) {
    std::optional<SwitchFileInput> device;
    ASSERT_TRUE(ConfigRepository(database_.open()).ReadSwitchFileInput(IdNet(), 1, device) &&
                device);
    const QString file = database_.programDir().file(QStringLiteral("files/ckm01.bin"));
    database_.programDir().writeFile(QStringLiteral("files/ckm01.bin"),
                                     BuildSwitchFile(*device, file).bytes);
    const qint64 time = LoadEditorFile(file, LoadConfigScreenSettings()).pk.blocking.pto;

    auto* f = ShowActive<TFrRedact>(13);
    ASSERT_TRUE(f);
    ASSERT_TRUE(TabTo(f->ButBit));
    dialogs_.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), file);
    Press(Qt::Key_Return);
    ASSERT_TRUE(TabTo(f->TabCPK1->PTTO));
    Press(Qt::Key_Up);
    ASSERT_TRUE(TabTo(f->TabCPK1->BitSaveKm));
    dialogs_.Expect(QStringLiteral("Запрос на сохранение"),
                    QStringLiteral("Сохранить файл конфигурации?"), DlgAnswer::Yes);
    Press(Qt::Key_Return);
    EXPECT_EQ(time + 1, LoadEditorFile(file, LoadConfigScreenSettings()).pk.blocking.pto);
}

namespace {

// The menu bar with the texts the screens name, menu by menu.
const QList<std::pair<QString, QStringList>> kMenuBar = {
    {"Объект",
     {"Начать  ", "Матрица доступа", "Подъезды", "Квартиры подъезда", "Абоненты", "Печать объекта",
      "Удаление и выделение объектов"}},
    {"Устройства",
     {"Коммутаторы КМ", "Блоки вызова БВ", "Пульт поста охраны", "Общие параметры и тракты КМ",
      "Подъездные параметры  для КМ и БВ", "Общие параметры БВ", "Коды вызова квартир и трубки"}},
    {"Ключи", {"Ключи объекта", "   Консоль считывателей ключей"}},
    {"Файлы конфигурации",
     {"Создание конфигурационных файлов", "Разбор конфигурационных файлов",
      "Просмотр конфигурационных файлов"}},
    {"Сеть", {"Сетевые устройства", "Настройки сети"}},
    {"Сервис",
     {"Глобальные переменные", "Таблицы", "Обновить таблицы", "Сервисное сжатие БД",
      "Размер окна по умолчанию"}},
    {"Окно",
     {"Перейти в меню программы", "Предыдущий экран", "Следующий экран", "Ширина окна по экрану",
      "Строка подключения к БД", "Выход из программы"}},
    {"Помощь", {"Справка", "Быстро и просто", "Инструкция", "Подсказка", "О программе"}},
};

// A menu text as it shows: without its letter's mark.
QString Shown(const QString& text) {
    return QString(text).remove(QLatin1Char('&'));
}

// The letter a text marks, in upper case; none where it marks none or more.
QChar LetterOf(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    if (at < 0 || at + 1 >= text.size() || text.indexOf(QLatin1Char('&'), at + 1) >= 0) return {};
    return text[at + 1].isLetter() ? text[at + 1].toUpper() : QChar();
}

QList<QAction*> Items(const QMenu* menu) {
    QList<QAction*> items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) items << a;
    return items;
}

// A letter typed with the modifiers given, the Cyrillic ones too.
void PressLetter(QChar letter, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::sendKeyEvent(QTest::Click, static_cast<QWidget*>(nullptr), Qt::Key(letter.unicode()),
                        QString(letter.toLower()), modifiers);
    QCoreApplication::processEvents();
}

QMenu* OpenMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Whether the bar draws the menu in the highlight colour, over most of its place.
bool DrawnMarked(QMenuBar* bar, QAction* menu) {
    const QImage shot = bar->grab().toImage();
    const qreal scale = shot.devicePixelRatio();
    const QRect place = bar->actionGeometry(menu);
    const QColor mark = bar->palette().color(QPalette::Highlight);
    int marked = 0;
    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left(); x <= place.right(); ++x)
            if (shot.pixelColor(QPoint(int(x * scale), int(y * scale))) == mark) ++marked;
    return marked * 2 > place.width() * place.height();
}

}  // namespace

// Every menu of the bar and every item of a menu has its letter, none twice
// in the bar nor twice in a menu, and the texts show as the screens name
// them. Alt and a menu's letter open it at its first item, and an item's
// letter chooses it; F10 opens the first menu; Alt pressed and let go alone
// marks the first menu, whence Down opens it and Esc goes back where the
// focus was.
TEST_F(KeyboardRoads, TheMenuBarHasItsKeys) {
    ASSERT_TRUE(ShowActive<TScreenFrame>(1));
    QWidget* field = Focused();
    ASSERT_TRUE(FMainVesk->FrameOfScreen(1)->isAncestorOf(field));
    QMenuBar* bar = FMainVesk->menuBar();
    const QList<QAction*> menus = bar->actions();
    ASSERT_EQ(kMenuBar.size(), menus.size());
    QList<QChar> barLetters;
    for (int m = 0; m < menus.size(); ++m) {
        const auto& [title, texts] = kMenuBar[m];
        SCOPED_TRACE(title.toStdString());
        ASSERT_TRUE(menus[m]->menu());
        EXPECT_EQ(title, Shown(menus[m]->text()));
        const QChar letter = LetterOf(menus[m]->text());
        ASSERT_FALSE(letter.isNull()) << menus[m]->text().toStdString();
        EXPECT_FALSE(barLetters.contains(letter)) << QString(letter).toStdString();
        barLetters << letter;
        const QList<QAction*> items = Items(menus[m]->menu());
        QStringList shown;
        QList<QChar> itemLetters;
        for (QAction* item : items) {
            shown << Shown(item->text());
            const QChar itemLetter = LetterOf(item->text());
            EXPECT_FALSE(itemLetter.isNull()) << item->text().toStdString();
            EXPECT_FALSE(itemLetters.contains(itemLetter)) << item->text().toStdString();
            itemLetters << itemLetter;
        }
        EXPECT_EQ(texts, shown);

        PressLetter(letter, Qt::AltModifier);
        EXPECT_EQ(menus[m]->menu(), OpenMenu());
        EXPECT_EQ(items.first(), menus[m]->menu()->activeAction());
        Press(Qt::Key_Escape);
        Press(Qt::Key_Escape);
        EXPECT_FALSE(OpenMenu());
    }

    field->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_F10);
    ASSERT_EQ(menus.first()->menu(), OpenMenu());
    EXPECT_EQ(Items(menus.first()->menu()).first(), menus.first()->menu()->activeAction());
    SaveScreen(*menus.first()->menu(), QStringLiteral("menu_object_opened_by_f10"));
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_EQ(field, Focused());

    EXPECT_FALSE(DrawnMarked(bar, menus.first()));
    Press(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(menus.first(), bar->activeAction());
    EXPECT_EQ(bar, Focused());
    EXPECT_TRUE(DrawnMarked(bar, menus.first()));
    SaveScreen(*FMainVesk, QStringLiteral("menu_bar_marked_by_alt"));
    Press(Qt::Key_Down);
    EXPECT_EQ(menus.first()->menu(), OpenMenu());
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_EQ(field, Focused());

    // "Объект", "Абоненты".
    PressLetter(LetterOf(menus.first()->text()), Qt::AltModifier);
    PressLetter(LetterOf(FMainVesk->MenuItem(QStringLiteral("MAbonent"))->text()));
    EXPECT_EQ(14, FMainVesk->VisibleScreen());
}

// The residents sorted without the mouse: Tab to "Сортировать", Enter; Tab to
// the list, which marks the one cell it stands on; Right to "Кв.№", Space
// twice (ascending, then descending); Right
// to "Фамилия", Space three times (added, turned, taken out again); the sort
// list is reached by Tab; "Просмотреть", Enter: the list stands in the order
// chosen.
TEST_F(KeyboardRoads, TheResidentsSorted) {
    auto* f = ShowActive<TFrPiople>(14);
    ASSERT_TRUE(f);
    auto sortList = [f] {
        QStringList lines;
        for (int i = 0; i < f->SortView->count(); ++i) lines << f->SortView->item(i)->text();
        return lines;
    };
    const QString byNumber =
        Stored("SELECT n_kvr FROM k_kvr WHERE id_net=" + QString::number(IdNet()) +
               " ORDER BY n_kvr DESC");
    auto firstNumber = [] {
        return FDM->Q_Ppl->Value(0, FDM->Q_Ppl->FieldIndex(QStringLiteral("n_kvr"))).toString();
    };
    ASSERT_NE(byNumber, firstNumber()) << "the list starts elsewhere before the sort";

    ASSERT_TRUE(TabTo(f->SortBeg));
    Press(Qt::Key_Return);
    ASSERT_TRUE(f->Sorting());
    ASSERT_TRUE(TabTo(f->DBGrid1));
    Press(Qt::Key_Home);
    Press(Qt::Key_Right);
    // The cell Space works on is the one marked, not a whole row.
    EXPECT_EQ(QAbstractItemView::SelectItems, f->DBGrid1->selectionBehavior());
    EXPECT_EQ(QModelIndexList{f->DBGrid1->currentIndex()},
              f->DBGrid1->selectionModel()->selectedIndexes());
    Press(Qt::Key_Space);
    EXPECT_EQ(QStringList{"Кв.№ возрастание"}, sortList());
    Press(Qt::Key_Space);
    EXPECT_EQ(QStringList{"Кв.№ убывание"}, sortList());
    Press(Qt::Key_Right);
    Press(Qt::Key_Space);
    EXPECT_EQ((QStringList{"Кв.№ убывание", "Фамилия возрастание"}), sortList());
    Press(Qt::Key_Space);
    Press(Qt::Key_Space);
    EXPECT_EQ(QStringList{"Кв.№ убывание"}, sortList());
    SaveScreen(*FMainVesk, QStringLiteral("residents_sorted_by_keyboard"));
    ASSERT_TRUE(TabTo(f->SortView));
    ASSERT_TRUE(TabTo(f->SortBeg));
    Press(Qt::Key_Return);
    EXPECT_FALSE(f->Sorting());
    EXPECT_EQ(QAbstractItemView::SelectRows, f->DBGrid1->selectionBehavior());
    EXPECT_EQ(byNumber, firstNumber());

    // Outside the sort, Space on a column adds nothing.
    ASSERT_TRUE(TabTo(f->DBGrid1));
    Press(Qt::Key_Space);
    EXPECT_EQ(QStringList{"Кв.№ убывание"}, sortList());
}

// The editor's service tab without the mouse: Tab to "Служебная", Space
// shows the tab; Tab to the tab bar, Left to "Служебная", Tab on to the
// panel number of the file's identity; Enter on "Служебная" hides the tab again.
TEST_F(KeyboardRoads, TheEditorsServiceTab) {
    auto* f = ShowActive<TFrRedact>(13);
    ASSERT_TRUE(f);
    const int service = f->PageFile->indexOf(f->Sys);
    ASSERT_GE(service, 0);
    ASSERT_FALSE(f->PageFile->isTabVisible(service));
    ASSERT_TRUE(TabTo(f->StaticText2));
    Press(Qt::Key_Space);
    ASSERT_TRUE(f->PageFile->isTabVisible(service));
    ASSERT_TRUE(TabTo(f->PageFile->tabBar()));
    // It stands before the key pages, which the open page is one of.
    for (int i = 0; i < 8 && f->PageFile->currentIndex() != service; ++i) Press(Qt::Key_Left);
    ASSERT_EQ(service, f->PageFile->currentIndex());
    ASSERT_TRUE(TabTo(f->V_id_bv));
    Type(QStringLiteral("7"));
    EXPECT_EQ(7, f->V_id_bv->value());
    SaveScreen(*FMainVesk, QStringLiteral("editor_service_tab_by_keyboard"));
    ASSERT_TRUE(TabTo(f->StaticText2));
    Press(Qt::Key_Return);
    EXPECT_FALSE(f->PageFile->isTabVisible(service));
}

// The grids' type without the mouse. On the matrix its popup menu, opened
// on the grid by Shift+F10 or the Menu key: "Жирный шрифт", then "Нормальный
// шрифт" (the last two items, reached by Up). On the switch and call panel
// lists the "ж" switch, reached by Tab and pressed by Space.
TEST_F(KeyboardRoads, TheGridsTypeChosen) {
    auto* matrix = ShowActive<TFrDom>(2);
    ASSERT_TRUE(matrix);
    ASSERT_TRUE(TabTo(matrix->DBGrid3));
    Press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(matrix->PopupMenu1, OpenMenu());
    Press(Qt::Key_Up);
    EXPECT_EQ(matrix->N1, matrix->PopupMenu1->activeAction());
    Press(Qt::Key_Return);
    EXPECT_FALSE(OpenMenu());
    EXPECT_EQ(QStringLiteral("н"), matrix->P3_Fs->text());
    EXPECT_TRUE(matrix->DBGrid3->font().bold());
    EXPECT_EQ(matrix->DBGrid3, Focused());
    Press(Qt::Key_Menu);
    ASSERT_EQ(matrix->PopupMenu1, OpenMenu());
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    EXPECT_EQ(matrix->N2, matrix->PopupMenu1->activeAction());
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("ж"), matrix->P3_Fs->text());
    EXPECT_FALSE(matrix->DBGrid3->font().bold());

    for (int screen : {4, 5}) {
        SCOPED_TRACE(screen);
        ShowByMenu(screen);
        QWidget* frame = FMainVesk->FrameOfScreen(screen);
        auto* toggle = frame->findChild<QToolButton*>(QStringLiteral("P3_Fs"));
        auto* grid = frame->findChild<QAbstractItemView*>(QStringLiteral("DBGrid1"));
        ASSERT_TRUE(toggle && grid);
        ASSERT_TRUE(TabTo(toggle));
        Press(Qt::Key_Space);
        EXPECT_EQ(QStringLiteral("н"), toggle->text());
        EXPECT_TRUE(grid->font().bold());
        Press(Qt::Key_Space);
        EXPECT_EQ(QStringLiteral("ж"), toggle->text());
        EXPECT_FALSE(grid->font().bold());
    }
}
}  // namespace
}  // namespace KeyboardRoadsTestUnit
