// The main window's menu, the wiring of menu items and frame buttons to the
// screens, and the help menu.

#include "app/TFMainVesk.h"

#include "app/MainWindowParts.h"
#include "devices/ui/TFQRepObject.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/Compaction.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/SettingsFile.h"
#include "foundation/ui/TAboutBox.h"
#include "foundation/ui/TFGlVal.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFMifare.h"
#include "netlink/ui/TFNetTime.h"
#include "platform/Dialogs.h"
#include "platform/ui/ActionPressesButton.h"
#include "site/ui/TFSvTable.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace MainWindowParts;
using namespace MainWindowTexts;

QAction* TFMainVesk::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const QString& hint) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!hint.isEmpty()) a->setStatusTip(hint);
    menuItems_.insert(name, a);
    return a;
}

// Each menu and each item has its letter (the '&' mark), none twice in the
// bar nor twice in one menu.
void TFMainVesk::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* object = bar->addMenu(QStringLiteral("&Объект"));
    addItem(object, QStringLiteral("MConfObject"), QStringLiteral("&Начать  "),
            QStringLiteral("Выбор объекта или ввод нового объекта"));
    addItem(object, QStringLiteral("MConfDom"), QStringLiteral("&Матрица доступа"),
            QStringLiteral("Матрица доступа к объекту"));
    addItem(object, QStringLiteral("MConfPod"), QStringLiteral("&Подъезды"),
            QStringLiteral("Подъездная структура объекта"));
    addItem(object, QStringLiteral("MConfKvr"), QStringLiteral("&Квартиры подъезда"),
            QStringLiteral("Распределение квартир подъезда"));
    addItem(object, QStringLiteral("MAbonent"), QStringLiteral("&Абоненты"));
    object->addSeparator();
    addItem(object, QStringLiteral("NObPrint"), QStringLiteral("Печать &объекта"));
    addItem(object, QStringLiteral("MServDel"), QStringLiteral("&Удаление и выделение объектов"));

    QMenu* devices = bar->addMenu(QStringLiteral("&Устройства"));
    addItem(devices, QStringLiteral("MPk"), QStringLiteral("&Коммутаторы КМ"),
            QStringLiteral("Конфигурирование КМ"));
    addItem(devices, QStringLiteral("MBv"), QStringLiteral("&Блоки вызова БВ"),
            QStringLiteral("Конфигурирование блоков вызова"));
    addItem(devices, QStringLiteral("MPo"), QStringLiteral("&Пульт поста охраны"),
            QStringLiteral("Конфигурирование пульта поста охраны"));
    devices->addSeparator();
    addItem(devices, QStringLiteral("MpkEdit"), QStringLiteral("&Общие параметры и тракты КМ"));
    addItem(devices, QStringLiteral("MskEdit"),
            QStringLiteral("По&дъездные параметры  для КМ и БВ"));
    addItem(devices, QStringLiteral("MbvEdit"), QStringLiteral("Общие параметры Б&В"));
    addItem(devices, QStringLiteral("MkvEdit"), QStringLiteral("Коды вызова квартир и &трубки"));

    QMenu* keys = bar->addMenu(QStringLiteral("&Ключи"));
    addItem(keys, QStringLiteral("MKey"), QStringLiteral("&Ключи объекта"));
    addItem(keys, QStringLiteral("Mifare1"), QStringLiteral("   Консоль &считывателей ключей"));

    QMenu* files = bar->addMenu(QStringLiteral("&Файлы конфигурации"));
    addItem(files, QStringLiteral("MWriteConf"),
            QStringLiteral("&Создание конфигурационных файлов"));
    addItem(files, QStringLiteral("MReadConf"), QStringLiteral("&Разбор конфигурационных файлов"));
    addItem(files, QStringLiteral("MRedactConf"),
            QStringLiteral("&Просмотр конфигурационных файлов"));

    QMenu* net = bar->addMenu(QStringLiteral("&Сеть"));
    addItem(net, QStringLiteral("MNetDevice"), QStringLiteral("&Сетевые устройства"));
    addItem(net, QStringLiteral("MNetTimeouts"), QStringLiteral("&Настройки сети"));

    QMenu* service = bar->addMenu(QStringLiteral("Се&рвис"));
    addItem(service, QStringLiteral("MGlobal"), QStringLiteral("&Глобальные переменные"));
    addItem(service, QStringLiteral("MTables"), QStringLiteral("&Таблицы"));
    QAction* reopen =
        addItem(service, QStringLiteral("MReOpen"), QStringLiteral("&Обновить таблицы"));
    reopen->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reopen, &QAction::triggered, this, &TFMainVesk::MReOpenClick);
    addItem(service, QStringLiteral("NCompact"), QStringLiteral("Сервисное &сжатие БД"));
    addItem(service, QStringLiteral("MServIni"), QStringLiteral("&Размер окна по умолчанию"));

    buildWindowMenu(bar);

    QMenu* help = bar->addMenu(QStringLiteral("&Помощь"));
    QAction* f1 = addItem(help, QStringLiteral("MHelp0"), QStringLiteral("&Справка"));
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 in an editor window asks the main window for that editor's topic.
    f1->setShortcutContext(Qt::ApplicationShortcut);
    connect(f1, &QAction::triggered, this, &TFMainVesk::MHelp0Click);
    connect(addItem(help, QStringLiteral("MEasy"), QStringLiteral("&Быстро и просто")),
            &QAction::triggered, this, &TFMainVesk::MEasyClick);
    connect(addItem(help, QStringLiteral("MHelp8"), QStringLiteral("&Инструкция")),
            &QAction::triggered, this, &TFMainVesk::MHelp8Click);
    connect(addItem(help, QStringLiteral("MHelp9"), QStringLiteral("&Подсказка")),
            &QAction::triggered, this, &TFMainVesk::MHelp9Click);
    help->addSeparator();
    connect(addItem(help, QStringLiteral("MAbout"), QStringLiteral("&О программе")),
            &QAction::triggered, this, &TFMainVesk::MAboutClick);
}

// The commands of the bar above the screens, each with its key: the bar's
// buttons take no focus, so that Tab stays within the screen. "Помощь" is
// the help menu's F1.
void TFMainVesk::buildWindowMenu(QMenuBar* bar) {
    QMenu* window = bar->addMenu(QStringLiteral("Ок&но"));
    auto command = [&](const char* name, const QString& caption, const QKeySequence& key) {
        addItem(window, QString::fromLatin1(name), caption)->setShortcut(key);
    };
    command("MToMenu", QStringLiteral("Перейти в &меню программы"), Qt::ALT | Qt::Key_Home);
    command("MBack", QStringLiteral("&Предыдущий экран"), Qt::ALT | Qt::Key_Left);
    command("MForward", QStringLiteral("&Следующий экран"), Qt::ALT | Qt::Key_Right);
    command("MScreenWidth", QStringLiteral("&Ширина окна по экрану"), Qt::Key_F11);
    command("MConnection", QStringLiteral("Строка подключения к &БД"), Qt::Key_F12);
    window->addSeparator();
    command("MExit", QStringLiteral("&Выход из программы"), Qt::CTRL | Qt::Key_Q);
}

// Each command of the window menu presses its button of the bar.
void TFMainVesk::wireWindowMenu() {
    const QList<QPair<const char*, QPushButton*>> buttons = {
        {"MToMenu", ButEnd},         {"MBack", BitBack},       {"MForward", BitForward},
        {"MScreenWidth", BitScreen}, {"MConnection", BitBtn1}, {"MExit", ButExit},
    };
    for (const auto& [name, button] : buttons)
        ActionPressesButton(MenuItem(QString::fromLatin1(name)), button);
}

void TFMainVesk::wireMenu() {
    const QList<QPair<const char*, void (TFMainVesk::*)()>> screens = {
        {"MConfObject", &TFMainVesk::MConfObjectClick},
        {"MConfDom", &TFMainVesk::MConfDomClick},
        {"MConfPod", &TFMainVesk::MConfPodClick},
        {"MPk", &TFMainVesk::MPkClick},
        {"MBv", &TFMainVesk::MBvClick},
        {"MConfKvr", &TFMainVesk::MConfKvrClick},
        {"MPo", &TFMainVesk::MPoClick},
        {"MServDel", &TFMainVesk::MServDelClick},
        {"MKey", &TFMainVesk::MKeyClick},
        {"MWriteConf", &TFMainVesk::MWriteConfClick},
        {"MReadConf", &TFMainVesk::MReadConfClick},
        {"MNetDevice", &TFMainVesk::MNetDeviceClick},
        {"MRedactConf", &TFMainVesk::MRedactConfClick},
        {"MAbonent", &TFMainVesk::MAbonentClick},
        {"MServIni", &TFMainVesk::MServIniClick},
        {"MGlobal", &TFMainVesk::MGlobalClick},
    };
    for (const auto& [name, handler] : screens)
        connect(MenuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);

    connect(MenuItem(QStringLiteral("MpkEdit")), &QAction::triggered, this,
            [this] { ShowEditor(FpkEdit); });
    connect(MenuItem(QStringLiteral("MskEdit")), &QAction::triggered, this,
            [this] { ShowEditor(FskEdit); });
    connect(MenuItem(QStringLiteral("MbvEdit")), &QAction::triggered, this,
            [this] { ShowEditor(FbvEdit); });
    connect(MenuItem(QStringLiteral("MkvEdit")), &QAction::triggered, this,
            [this] { ShowEditor(FkvEdit); });

    connect(MenuItem(QStringLiteral("Mifare1")), &QAction::triggered, this, [] {
        if (FMifare) FMifare->show();
    });
    connect(MenuItem(QStringLiteral("MNetTimeouts")), &QAction::triggered, this, [this] {
        FrNetDev1->PrepareScreen(Path->text());
        if (FNetTime) FNetTime->show();
    });
    connect(MenuItem(QStringLiteral("MTables")), &QAction::triggered, this, [] {
        if (FSvTable) FSvTable->show();
    });
    connect(MenuItem(QStringLiteral("NObPrint")), &QAction::triggered, this, [this] {
        if (databaseOpenOrRefuse() && objectListOrRefuse()) PreviewObjectReport(this);
    });
    connect(MenuItem(QStringLiteral("NCompact")), &QAction::triggered, this, [] {
        if (FDM && MainWindowData::IsOpen()) NCompactClick(*FDM, ProgressGauge());
    });
}

void TFMainVesk::wireFrameButtons() {
    // Back and next go to fixed screens; some depend on the object's console.
    auto route = [this](QPushButton* button, std::function<int()> target) {
        if (!target) {
            button->hide();
            return;
        }
        connect(button, &QPushButton::clicked, this, [this, target] { ShowScreen(target()); });
    };
    auto to = [](int screen) { return std::function<int()>([screen] { return screen; }); };
    auto consoleOr = [](int withConsole, int without) {
        return std::function<int()>([withConsole, without] {
            return MainWindowData::ObjectHasConsole() ? withConsole : without;
        });
    };
    const std::function<int()> none;
    route(FrMatr1->BitPrev, none);
    connect(FrMatr1->BitNext, &QPushButton::clicked, this, [this] {
        Hooks().CloseObjectEditPanel();
        MConfDomClick();
    });
    route(FrDom1->BitPrev, to(1));
    route(FrDom1->BitNext, to(3));
    route(FrPod1->BitPrev, to(2));
    route(FrPod1->BitNext, to(6));
    route(FrKvr1->BitPrev, to(3));
    route(FrKvr1->BitNext, consoleOr(7, 4));
    if (auto* residents = FrKvr1->findChild<QPushButton*>(QStringLiteral("BitPpl")))
        route(residents, to(14));
    route(FrPo1->BitPrev, to(6));
    route(FrPo1->BitNext, to(4));
    route(FrPk1->BitPrev, consoleOr(7, 6));
    route(FrPk1->BitNext, to(5));
    route(FrBv1->BitPrev, to(4));
    route(FrBv1->BitNext, to(9));
    route(FrKeys1->BitPrev, to(5));
    route(FrKeys1->BitNext, to(10));
    // "Абоненты": the frame puts the residents on its apartment first.
    if (auto* residents = FrKeys1->findChild<QPushButton*>(QStringLiteral("BitRead")))
        route(residents, to(14));
    // The read screen's own buttons lead to the write screen and the editor.
    if (auto* write = FrRead1->findChild<QPushButton*>(QStringLiteral("ButWrite")))
        route(write, to(10));
    if (auto* editor = FrRead1->findChild<QPushButton*>(QStringLiteral("ButRedact")))
        route(editor, to(13));
    route(FrWrite1->BitPrev, to(9));
    route(FrWrite1->BitNext, to(12));
    // The write screen's own buttons lead to the read screen and the editor.
    if (auto* read = FrWrite1->findChild<QPushButton*>(QStringLiteral("ButRead1")))
        route(read, to(11));
    if (auto* editor = FrWrite1->findChild<QPushButton*>(QStringLiteral("ButRedact1")))
        route(editor, to(13));
    route(FrNetDev1->BitPrev, to(10));
    route(FrNetDev1->BitNext, none);
    for (TScreenFrame* frame : {FrRead1, FrRedact1, FrPiople1}) {
        route(frame->BitPrev, none);
        route(frame->BitNext, none);
    }
    // "Перейти к ключам": the keys screen on its apartment keys.
    if (auto* keys = FrPiople1->findChild<QPushButton*>(QStringLiteral("BitKey")))
        connect(keys, &QPushButton::clicked, this, [this] {
            MKeyClick();
            auto* apartmentKeys = FrKeys1->findChild<QRadioButton*>(QStringLiteral("RB_KvrKey"));
            if (VisibleScreen() == 9 && apartmentKeys) apartmentKeys->click();
        });
}

bool TFMainVesk::objectListOrRefuse() {
    if (!MainWindowData::ObjectListEmpty()) return true;
    Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kNoObject, DlgButtons::Ok,
                     DlgIcon::Error);
    return false;
}

void TFMainVesk::ShowEditor(QWidget* editor) {
    if (!databaseOpenOrRefuse() || !objectListOrRefuse() || !editor) return;
    editor->show();
    editor->raise();
}

void TFMainVesk::MGlobalClick() {
    if (!databaseOpenOrRefuse()) return;
    if (FGlVal) {
        FGlVal->show();
        FGlVal->raise();
    }
}

void TFMainVesk::ExitExecute() {
    if (Dialogs::Message(kExitCaption, kExitQuestion, DlgButtons::YesNoCancel, DlgIcon::Question) ==
        DlgAnswer::Yes)
        close();
}

void TFMainVesk::MHelp0Click() {
    const QWidget* active = QApplication::activeWindow();
    const QString activeName = active && active != this ? active->objectName() : QString();
    AppHelp().ShowTopic(MainWindowLogic::MainHelpTopic(activeName, VisibleScreen()));
}

void TFMainVesk::MEasyClick() {
    AppHelp().ShowTopic(2);
}

void TFMainVesk::MHelp8Click() {
    IniFile ini;
    SettingsFile::Open(ini);
    Manual::Show(ini);
}

void TFMainVesk::MHelp9Click() {
    Dialogs::Message(QStringLiteral("Помощь"),
                     QStringLiteral("Подсказки по заполнению Вы можете подсмотреть внизу окна в "
                                    "строке состояния."),
                     DlgButtons::Ok, DlgIcon::Warning);
}

void TFMainVesk::MAboutClick() {
    if (!AboutBox) return;
    AboutBox->open();
    AboutBox->activateWindow();
}
