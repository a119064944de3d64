#include "foundation/ui/TFMainVesk.h"

#include "devices/ui/TFQRepObject.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/Compaction.h"
#include "foundation/Globals.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/MatrTable.h"
#include "foundation/NavigationHooks.h"
#include "foundation/SettingsFile.h"
#include "foundation/ui/AppForms.h"
#include "foundation/ui/ScreenFrames.h"
#include "foundation/ui/TAboutBox.h"
#include "foundation/ui/TFGlVal.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/ui/TFMifare.h"
#include "netlink/ui/TFNetTime.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"
#include "site/ui/TFObEdit.h"
#include "site/ui/TFSvTable.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>

TFMainVesk* FMainVesk = nullptr;

namespace {

using namespace MainWindowTexts;

const QString kBoldOff = QStringLiteral("ж");
const QString kBoldOn = QStringLiteral("н");

bool shown(const QWidget* w) {
    return w && !w->isHidden();
}

// Centres the text of the matrix's switch columns.
class CentredDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

void closeVisible(const QList<QWidget*>& forms) {
    for (QWidget* form : forms)
        if (form && form->isVisible()) form->close();
}

// Sensible bounds for a window size read from the settings file.
int saneSize(int value, int fallback) {
    return value >= 200 && value <= 20000 ? value : fallback;
}

}  // namespace

TFMainVesk::TFMainVesk(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FMainVesk"));
    for (const char* key : {"fm", "fp", "fb"}) gridToggles_[QString::fromLatin1(key)] = kBoldOff;
    buildMenu();
    AppForms::RegisterScreenFrames();
    buildPanels();
    FormCreate();
}

TFMainVesk::~TFMainVesk() {
    if (FMainVesk == this) FMainVesk = nullptr;
}

QAction* TFMainVesk::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const QString& hint) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!hint.isEmpty()) a->setStatusTip(hint);
    menuItems_.insert(name, a);
    return a;
}

void TFMainVesk::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* object = bar->addMenu(QStringLiteral("Объект"));
    addItem(object, QStringLiteral("MConfObject"), QStringLiteral("Начать  "),
            QStringLiteral("Выбор объекта или ввод нового объекта"));
    addItem(object, QStringLiteral("MConfDom"), QStringLiteral("Матрица доступа"),
            QStringLiteral("Матрица доступа к объекту"));
    addItem(object, QStringLiteral("MConfPod"), QStringLiteral("Подъезды"),
            QStringLiteral("Подъездная структура объекта"));
    addItem(object, QStringLiteral("MConfKvr"), QStringLiteral("Квартиры подъезда"),
            QStringLiteral("Распределение квартир подъезда"));
    addItem(object, QStringLiteral("MAbonent"), QStringLiteral("Абоненты"));
    object->addSeparator();
    addItem(object, QStringLiteral("NObPrint"), QStringLiteral("Печать объекта"));
    addItem(object, QStringLiteral("MServDel"), QStringLiteral("Удаление и выделение объектов"));

    QMenu* devices = bar->addMenu(QStringLiteral("Устройства"));
    addItem(devices, QStringLiteral("MPk"), QStringLiteral("Коммутаторы КМ"),
            QStringLiteral("Конфигурирование КМ"));
    addItem(devices, QStringLiteral("MBv"), QStringLiteral("Блоки вызова БВ"),
            QStringLiteral("Конфигурирование блоков вызова"));
    addItem(devices, QStringLiteral("MPo"), QStringLiteral("Пульт поста охраны"),
            QStringLiteral("Конфигурирование пульта поста охраны"));
    devices->addSeparator();
    addItem(devices, QStringLiteral("MpkEdit"), QStringLiteral("Общие параметры и тракты КМ"));
    addItem(devices, QStringLiteral("MskEdit"),
            QStringLiteral("Подъездные параметры  для КМ и БВ"));
    addItem(devices, QStringLiteral("MbvEdit"), QStringLiteral("Общие параметры БВ"));
    addItem(devices, QStringLiteral("MkvEdit"), QStringLiteral("Коды вызова квартир и трубки"));

    QMenu* keys = bar->addMenu(QStringLiteral("Ключи"));
    addItem(keys, QStringLiteral("MKey"), QStringLiteral("Ключи объекта"));
    addItem(keys, QStringLiteral("Mifare1"), QStringLiteral("   Консоль считывателей ключей"));

    QMenu* files = bar->addMenu(QStringLiteral("Файлы конфигурации"));
    addItem(files, QStringLiteral("MWriteConf"),
            QStringLiteral("Создание конфигурационных файлов"));
    addItem(files, QStringLiteral("MReadConf"), QStringLiteral("Разбор конфигурационных файлов"));
    addItem(files, QStringLiteral("MRedactConf"),
            QStringLiteral("Просмотр конфигурационных файлов"));

    QMenu* net = bar->addMenu(QStringLiteral("Сеть"));
    addItem(net, QStringLiteral("MNetDevice"), QStringLiteral("Сетевые устройства"));
    addItem(net, QStringLiteral("MNetTimeouts"), QStringLiteral("Настройки сети"));

    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    addItem(service, QStringLiteral("MGlobal"), QStringLiteral("Глобальные переменные"));
    addItem(service, QStringLiteral("MTables"), QStringLiteral("Таблицы"));
    QAction* reopen =
        addItem(service, QStringLiteral("MReOpen"), QStringLiteral("Обновить таблицы"));
    reopen->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reopen, &QAction::triggered, this, &TFMainVesk::MReOpenClick);
    addItem(service, QStringLiteral("NCompact"), QStringLiteral("Сервисное сжатие БД"));
    addItem(service, QStringLiteral("MServIni"), QStringLiteral("Размер окна по умолчанию"));

    QMenu* help = bar->addMenu(QStringLiteral("Помощь"));
    QAction* f1 = addItem(help, QStringLiteral("MHelp0"), QStringLiteral("Справка"));
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 in an editor window asks the main window for that editor's topic.
    f1->setShortcutContext(Qt::ApplicationShortcut);
    connect(f1, &QAction::triggered, this, &TFMainVesk::MHelp0Click);
    connect(addItem(help, QStringLiteral("MEasy"), QStringLiteral("Быстро и просто")),
            &QAction::triggered, this, &TFMainVesk::MEasyClick);
    connect(addItem(help, QStringLiteral("MHelp8"), QStringLiteral("Инструкция")),
            &QAction::triggered, this, &TFMainVesk::MHelp8Click);
    connect(addItem(help, QStringLiteral("MHelp9"), QStringLiteral("Подсказка")),
            &QAction::triggered, this, &TFMainVesk::MHelp9Click);
    help->addSeparator();
    connect(addItem(help, QStringLiteral("MAbout"), QStringLiteral("О программе")),
            &QAction::triggered, this, &TFMainVesk::MAboutClick);
}

TScreenFrame* TFMainVesk::makeFrame(int screen) {
    TScreenFrame* frame = ScreenFrames::Make(screen);
    frames_.append(frame);
    return frame;
}

void TFMainVesk::buildPanels() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);

    auto makeButton = [central](const QString& name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    ButEnd = makeButton(QStringLiteral("ButEnd"), QStringLiteral("В меню"),
                        QStringLiteral("Перейти в меню программы"));
    BitBack = makeButton(QStringLiteral("BitBack"), QStringLiteral("◄ Назад"),
                         QStringLiteral("Предыдущий экран"));
    BitForward = makeButton(QStringLiteral("BitForward"), QStringLiteral("Вперед ►"),
                            QStringLiteral("Следующий экран"));
    ButHelp = makeButton(QStringLiteral("ButHelp"), QStringLiteral("Помощь"),
                         QStringLiteral("Справка по текущему экрану"));
    BitScreen = makeButton(QStringLiteral("BitScreen"), QStringLiteral("↔"),
                           QStringLiteral("Ширина окна по экрану"));
    BitBtn1 = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("БД"),
                         QStringLiteral("Строка подключения к БД"));
    ButExit = makeButton(QStringLiteral("ButExit"), QStringLiteral("Выход есть!"),
                         QStringLiteral("Выход из программы"));
    BitBack->setEnabled(false);
    BitForward->setEnabled(false);
    BitScreen->setFixedWidth(40);
    BitBtn1->setFixedWidth(40);
    Path = new QLineEdit(central);
    Path->setObjectName(QStringLiteral("Path"));
    Path->setReadOnly(true);
    Path->setStatusTip(QStringLiteral("Папка базы данных"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(ButEnd);
    tools->addWidget(BitBack);
    tools->addWidget(BitForward);
    tools->addWidget(ButHelp);
    tools->addWidget(BitScreen);
    tools->addSpacing(12);
    tools->addWidget(new QLabel(QStringLiteral("БД:"), central));
    tools->addWidget(Path, 1);
    tools->addWidget(BitBtn1);
    tools->addWidget(ButExit);
    layout->addLayout(tools);

    PanelTop = new QLabel(central);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setAlignment(Qt::AlignCenter);
    PanelTop->setFrameShape(QFrame::Panel);
    PanelTop->setFrameShadow(QFrame::Raised);
    PanelTop->setMinimumHeight(26);
    QFont titleFont = PanelTop->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 2);
    PanelTop->setFont(titleFont);
    PanelTop->setStyleSheet(
        QStringLiteral("QLabel#PanelTop { background: #dfe7f2; color: #102a5c; }"));
    PanelTop->installEventFilter(this);
    layout->addWidget(PanelTop);

    Memo2 = new QPlainTextEdit(central);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setMaximumHeight(70);
    Memo2->hide();
    layout->addWidget(Memo2);

    FrMatr1 = makeFrame(1);
    FrDom1 = makeFrame(2);
    FrPod1 = makeFrame(3);
    FrPk1 = makeFrame(4);
    FrBv1 = makeFrame(5);
    FrKvr1 = makeFrame(6);
    FrPo1 = makeFrame(7);
    FrKeys1 = makeFrame(9);
    // The real keys frame keeps the keys screen's settings and marks.
    if (auto* keys = dynamic_cast<KeysScreenService*>(FrKeys1)) SetKeysScreen(keys);
    FrWrite1 = makeFrame(10);
    FrRead1 = makeFrame(11);
    FrNetDev1 = makeFrame(12);
    FrRedact1 = makeFrame(13);
    FrPiople1 = makeFrame(14);
    auto* host = new QWidget(central);
    host->setObjectName(QStringLiteral("ScreenHost"));
    auto* hostLayout = new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    for (TScreenFrame* frame : frames_) {
        frame->setParent(host);
        hostLayout->addWidget(frame);
    }
    P1_LSt = new QLabel(FrMatr1);
    P1_LSt->setObjectName(QStringLiteral("P1_LSt"));
    P1_LSt->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont stateFont = P1_LSt->font();
    stateFont.setBold(true);
    P1_LSt->setFont(stateFont);
    BitSelect = new QPushButton(QStringLiteral("Выбрать папку с БД"), FrMatr1);
    BitSelect->setObjectName(QStringLiteral("BitSelect"));
    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(P1_LSt, 1);
    stateRow->addWidget(BitSelect);
    static_cast<QVBoxLayout*>(FrMatr1->layout())->insertLayout(0, stateRow);
    layout->addWidget(host, 1);

    BitBack2 = makeButton(QStringLiteral("BitBack2"), QStringLiteral("◄ Назад"),
                          QStringLiteral("Предыдущий экран"));
    BitForward2 = makeButton(QStringLiteral("BitForward2"), QStringLiteral("Вперед ►"),
                             QStringLiteral("Следующий экран"));
    BitBack2->setEnabled(false);
    BitForward2->setEnabled(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BitBack2);
    bottom->addStretch();
    bottom->addWidget(BitForward2);
    layout->addLayout(bottom);

    setCentralWidget(central);
    SBarMain = statusBar();
    SBarMain->setObjectName(QStringLiteral("SBarMain"));

    connect(ButEnd, &QPushButton::clicked, this, &TFMainVesk::ButEndClick);
    connect(BitBack, &QPushButton::clicked, this, &TFMainVesk::BitBackClick);
    connect(BitBack2, &QPushButton::clicked, this, &TFMainVesk::BitBackClick);
    connect(BitForward, &QPushButton::clicked, this, &TFMainVesk::BitForwardClick);
    connect(BitForward2, &QPushButton::clicked, this, &TFMainVesk::BitForwardClick);
    connect(BitScreen, &QPushButton::clicked, this, &TFMainVesk::BitScreenClick);
    connect(BitSelect, &QPushButton::clicked, this, &TFMainVesk::BitSelectClick);
    wireMenu();
    wireFrameButtons();
    connect(ButHelp, &QPushButton::clicked, this, &TFMainVesk::MHelp0Click);
    connect(ButExit, &QPushButton::clicked, this, &TFMainVesk::ExitExecute);
    connect(BitBtn1, &QPushButton::clicked, this, &TFMainVesk::BitBtn1Click);
}

// ---------------------------------------------------------------- start-up

bool TFMainVesk::OpenDatabase(const QString& folder, QString* reason) {
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    if (!QFileInfo::exists(file)) {
        if (reason) *reason = DbFileTexts::Missing(file);
        return false;
    }
    MainWindowData::Disconnect();
    Memo2->setPlainText(QStringLiteral("Driver=QSQLITE;Connection=ConnectionDB;Data Source=") +
                        file + QLatin1Char(';'));
    if (!MainWindowData::Connect(folder, reason)) return false;
    // It opens, but no edit could be saved and compaction is refused there.
    if (!MayWrite(folder))
        Dialogs::Message(kAttention, ReadOnlyFolderWarning(folder), DlgButtons::Ok,
                         DlgIcon::Warning);
    return true;
}

void TFMainVesk::showOpenFailure(const QString& folder, const QStringList& reasons) {
    Dialogs::Message(kError, OpenFailed(folder, reasons), DlgButtons::Ok, DlgIcon::Error);
}

bool TFMainVesk::databaseOpenOrRefuse() {
    if (MainWindowData::IsOpen()) return true;
    Dialogs::Message(kError, kNoDatabase, DlgButtons::Ok, DlgIcon::Error);
    return false;
}

void TFMainVesk::FormCreate() {
    setWindowTitle(kCaption);
    ArmGlobals& g = Globals();
    g.WidthMain = 800;
    g.HeightMain = 595;
    for (bool& flag : objectPanelFlags_) flag = false;
    resize(g.WidthMain, g.HeightMain);

    IniFile ini;
    QString error;
    if (!SettingsFile::Open(ini, &error))
        std::fprintf(stderr, "arm: settings file %s: %s\n", qPrintable(ini.path()),
                     qPrintable(error));

    const QString savedFolder = SettingsFile::ReadStartup(ini, g.WidthMain, g.HeightMain).bd;
    const MainWindowLogic::DbOpenOutcome db = MainWindowLogic::OpenDatabaseWithFallback(
        savedFolder, AppPaths::DefaultDbDir(),
        [this](const QString& f, QString* reason) { return OpenDatabase(f, reason); });
    if (!db.opened) {
        showOpenFailure(db.folder, db.reasons);
        LeaveScreen();
        return;
    }
    Path->setText(db.folder);

    if (!MainWindowData::LoadGlobals(g)) {
        g.KolTractPK = 8;
        g.MaxDevice = 50;
        g.SepDevice = 63;
        g.Shapka = 5;
        g.Colstp = 2;
        g.nmBVp = QStringLiteral("БВ подъезда ");
        g.nmBVk = QStringLiteral("БВ калитки ");
    }
    const StartupSettings s = SettingsFile::ReadStartup(ini, g.WidthMain, g.HeightMain);
    restoreScreenAndObject(s);
    applyWindowSettings(s);
    KeysScreen().ApplySettings(s.key, MainWindowData::ObjectGateCount() > 0);
    // The database opened on the first object; the matrix table must be the
    // restored object's. A failure is kept for the matrix screen to report.
    OpenMatrTable();
    ShowMatrixState();
}

void TFMainVesk::restoreScreenAndObject(const StartupSettings& s) {
    if (MainWindowData::ObjectListEmpty()) {
        ShowScreen(MainWindowLogic::StartScreen(s.nf, true));
        return;
    }
    MainWindowData::LocateObjectOrFirst(s.objectId);
    MenuItem(QStringLiteral("MPo"))->setEnabled(MainWindowData::ObjectHasConsole());
    rememberedObjectRecNo_ = MainWindowData::CurrentObjectRecNo();
    LeaveScreen();
    try {
        ShowScreen(s.nf);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "arm: screen %d: %s\n", s.nf, e.what());
        Dialogs::Message(kError, kLoadError, DlgButtons::Ok, DlgIcon::Error);
    }
}

void TFMainVesk::applyWindowSettings(const StartupSettings& s) {
    ArmGlobals& g = Globals();
    resize(saneSize(s.sw, g.WidthMain), saneSize(s.sh, g.HeightMain));
    fitOnScreen();
    gridToggles_[QStringLiteral("fm")] = s.fm == kBoldOff ? kBoldOff : kBoldOn;
    gridToggles_[QStringLiteral("fp")] = s.fp == kBoldOff ? kBoldOff : kBoldOn;
    gridToggles_[QStringLiteral("fb")] = s.fb == kBoldOff ? kBoldOff : kBoldOn;
    if (s.mx == QStringLiteral("max"))
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~Qt::WindowMaximized);
    g.WidthMain = width();
    g.HeightMain = height();
}

// ---------------------------------------------------------------- screens

TScreenFrame* TFMainVesk::FrameOfScreen(int screen) const {
    const Screens::ScreenInfo* info = Screens::Find(screen);
    if (!info || info->frame.isEmpty()) return nullptr;
    for (TScreenFrame* frame : frames_)
        if (frame->objectName() == info->frame) return frame;
    return nullptr;
}

int TFMainVesk::VisibleScreen() const {
    return MainWindowLogic::ExitScreenNumber(
        [this](int screen) { return shown(FrameOfScreen(screen)); });
}

void TFMainVesk::setHistoryButtons() {
    BitBack->setEnabled(history_.BackEnabled());
    BitBack2->setEnabled(history_.BackEnabled());
    BitForward->setEnabled(history_.ForwardEnabled());
    BitForward2->setEnabled(history_.ForwardEnabled());
}

void TFMainVesk::PushScreen(int screen) {
    history_.Push(screen);
    setHistoryButtons();
}

void TFMainVesk::BitBackClick() {
    if (const std::optional<int> screen = history_.Back()) ShowScreen(*screen);
    setHistoryButtons();
}

void TFMainVesk::BitForwardClick() {
    if (const std::optional<int> screen = history_.Forward()) ShowScreen(*screen);
    setHistoryButtons();
}

void TFMainVesk::returnToPreviousScreen() {
    BitBackClick();
}

void TFMainVesk::LeaveScreen() {
    if (MainWindowData::IsOpen() && !MainWindowData::ObjectListEmpty()) {
        if (shown(FrMatr1)) {
            MenuItem(QStringLiteral("MPo"))->setEnabled(MainWindowData::ObjectHasConsole());
            CloseEditorsOnObjectChange();
            Hooks().CloseObjectEditPanel();
        }
        if (shown(FrDom1) && ScreenRules::MatrixBeingEdited(MainWindowData::ObjectState()) &&
            Dialogs::Message(ScreenTexts::kQuestion, ScreenTexts::kSaveMatrix, DlgButtons::YesNo,
                             DlgIcon::Question) == DlgAnswer::Yes)
            Hooks().SaveMatrix();
    }
    for (TScreenFrame* frame : frames_) frame->hide();
    PanelTop->clear();
}

void TFMainVesk::ShowMatrixState() {
    if (MainWindowData::ObjectListEmpty()) return;
    P1_LSt->setText(ScreenRules::MatrixStateSentence(MainWindowData::ObjectState(),
                                                     MainWindowData::HasSwitchRecords(),
                                                     MainWindowData::HasApartments()));
}

QList<QWidget*> TFMainVesk::objectEditors() const {
    return {FpkEdit, FskEdit, FbvEdit, FkvEdit};
}

void TFMainVesk::CloseEditorsOnObjectChange() {
    if (MainWindowData::CurrentObjectRecNo() == rememberedObjectRecNo_) return;
    CloseObjectEditors();
}

void TFMainVesk::CloseObjectEditors() {
    closeVisible(objectEditors());
}

void TFMainVesk::ShowScreen(int screen) {
    switch (screen) {
        case 0:
            ButEndClick();
            break;
        case 1:
            MConfObjectClick();
            break;
        case 2:
            MConfDomClick();
            break;
        case 3:
            MConfPodClick();
            break;
        case 4:
            MPkClick();
            break;
        case 5:
            MBvClick();
            break;
        case 6:
            MConfKvrClick();
            break;
        case 7:
            MPoClick();
            break;
        case 8:
            MServDelClick();
            break;
        case 9:
            MKeyClick();
            break;
        case 10:
            MWriteConfClick();
            break;
        case 11:
            MReadConfClick();
            break;
        case 12:
            MNetDeviceClick();
            break;
        case 13:
            MRedactConfClick();
            break;
        case 14:
            MAbonentClick();
            break;
        default:
            break;
    }
}

bool TFMainVesk::screenMayOpen(int screen, bool withResidents) {
    if (!databaseOpenOrRefuse()) return false;
    if (shown(FrameOfScreen(screen))) return false;
    ScreenRules::ObjectFacts facts = MainWindowData::ReadObjectFacts(withResidents);
    facts.newObjectEntry = NewObjectEntry();
    facts.residentSearch = Hooks().ResidentSearchActive();
    if (const auto refusal = ScreenRules::CheckBeforeOpening(screen, facts)) {
        if (!refusal->text.isEmpty())
            Dialogs::Message(refusal->caption, refusal->text, DlgButtons::Ok, refusal->icon);
        return false;
    }
    return true;
}

void TFMainVesk::openScreen(int screen, bool withResidents) {
    if (!screenMayOpen(screen, withResidents)) return;
    PushScreen(screen);
    LeaveScreen();
    showFrame(screen);
}

void TFMainVesk::showFrame(int screen) {
    FrameOfScreen(screen)->PrepareScreen(Path->text());
    showPreparedFrame(screen);
}

void TFMainVesk::showPreparedFrame(int screen) {
    TScreenFrame* frame = FrameOfScreen(screen);
    PanelTop->setText(Screens::Find(screen)->title);
    frame->show();
    ButEnd->setEnabled(true);
}

void TFMainVesk::ButEndClick() {
    LeaveScreen();
    PushScreen(0);
    setWindowTitle(kMenuCaption);
    ButEnd->setEnabled(false);
}

void TFMainVesk::MConfObjectClick() {
    if (!databaseOpenOrRefuse()) return;
    if (shown(FrMatr1)) return;
    if (MainWindowData::ObjectListEmpty())
        for (TScreenFrame* frame : frames_) frame->hide();
    WaitCursor wait;
    PushScreen(1);
    LeaveScreen();
    // The object list is refreshed before the state line reads the object.
    FrMatr1->PrepareScreen(Path->text());
    objectPanelFlags_[0] = objectPanelFlags_[1] = false;
    ShowMatrixState();
    showPreparedFrame(1);
}

void TFMainVesk::MConfDomClick() {
    if (!screenMayOpen(2)) return;
    PushScreen(2);
    LeaveScreen();
    Hooks().ReopenMatrix();
    if (ScreenRules::MatrixNeedsRebuild(MainWindowData::ObjectState())) Hooks().RebuildMatrTable();
    showFrame(2);
    FormResize();
}

void TFMainVesk::MConfPodClick() {
    if (!screenMayOpen(3)) return;
    if (MainWindowData::CurrentHouseEntrances() == 0 &&
        MainWindowData::CurrentHousePlannedEntrances() > 0)
        Hooks().CreateEntrancesFromMatrix();
    if (MainWindowData::CurrentHouseEntrances() == 0) {
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kMatrixNotFormed, DlgButtons::Ok,
                         DlgIcon::Error);
        return;
    }
    PushScreen(3);
    LeaveScreen();
    MainWindowData::NormaliseFlagMasks();
    showFrame(3);
}

void TFMainVesk::openDeviceScreen(int screen) {
    if (!screenMayOpen(screen)) return;
    PushScreen(screen);
    const int switchRecord = MainWindowData::SwitchListRecNo();
    if (const auto refusal = ScreenRules::CheckDevicesReady(MainWindowData::ObjectState())) {
        Dialogs::Message(refusal->caption, refusal->text, DlgButtons::Ok, refusal->icon);
        return;
    }
    const bool switches = screen == 4;
    const bool haveRecords =
        switches ? MainWindowData::HasSwitchRecords() : MainWindowData::HasCallPanelRecords();
    if (!haveRecords) {
        const QString question =
            switches ? ScreenTexts::kCreateSwitches : ScreenTexts::kCreateCallPanels;
        if (Dialogs::Message(ScreenTexts::kQuestion, question, DlgButtons::YesNo,
                             DlgIcon::Question) != DlgAnswer::Yes) {
            if (switches)
                returnToPreviousScreen();
            else
                MConfPodClick();
            return;
        }
        WaitCursor wait;
        if (switches)
            Hooks().CreateSwitchRecords();
        else
            Hooks().CreateCallPanelRecords();
    } else if (ScreenRules::DevicesNeedSync(MainWindowData::ObjectState())) {
        WaitCursor wait;
        if (Hooks().SyncDeviceRecords().missingApartment)
            Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kMissingApartments, DlgButtons::Ok,
                             DlgIcon::Error);
    }
    if (switches) MainWindowData::AdvanceConsoleFileState();
    MainWindowData::RestoreSwitchListRecNo(switchRecord);
    LeaveScreen();
    showFrame(screen);
}

void TFMainVesk::MPkClick() {
    openDeviceScreen(4);
}

void TFMainVesk::MBvClick() {
    openDeviceScreen(5);
}

void TFMainVesk::MConfKvrClick() {
    if (!screenMayOpen(6)) return;
    if (MainWindowData::AnyEntranceWithoutApartments())
        Dialogs::ShowMessage(ScreenTexts::kEntranceWithoutApartments);
    if (!Hooks().CheckApartmentNumbering()) {
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kNumberingFailed, DlgButtons::Ok,
                         DlgIcon::Error);
        return;
    }
    if (!Hooks().CheckApartmentCounts())
        Dialogs::Message(ScreenTexts::kRefused, ScreenTexts::kCountsDiffer, DlgButtons::Ok,
                         DlgIcon::Error);
    PushScreen(6);
    LeaveScreen();
    showFrame(6);
}

void TFMainVesk::MPoClick() {
    openScreen(7);
}

void TFMainVesk::MServDelClick() {
    if (!MainWindowData::IsOpen() || MainWindowData::ObjectListEmpty()) return;
    const int record = MainWindowData::CurrentObjectRecNo();
    const int count = MainWindowData::ObjectCount();
    LeaveScreen();
    PushScreen(8);
    if (FObEdit) FObEdit->exec();
    if (MainWindowData::ObjectCount() == count) MainWindowData::SelectObjectRecNo(record);
}

void TFMainVesk::MKeyClick() {
    openScreen(9);
}

void TFMainVesk::MWriteConfClick() {
    openScreen(10);
}

void TFMainVesk::MReadConfClick() {
    openScreen(11);
}

void TFMainVesk::MNetDeviceClick() {
    openScreen(12);
}

void TFMainVesk::MRedactConfClick() {
    openScreen(13);
}

void TFMainVesk::MAbonentClick() {
    openScreen(14, true);
}

// ---------------------------------------------------------------- menu and frame buttons

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
        if (!MainWindowData::IsOpen() || MainWindowData::ObjectListEmpty()) return;
        PreviewObjectReport(this);
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

void TFMainVesk::ShowEditor(QWidget* editor) {
    if (!databaseOpenOrRefuse()) return;
    if (MainWindowData::ObjectListEmpty() || !editor) return;
    editor->show();
    editor->raise();
}

void TFMainVesk::MServIniClick() {
    if (Dialogs::Message(QStringLiteral("Подтверждение"),
                         QStringLiteral("Восстановить внешний вид программы в первоначальное "
                                        "состояние?"),
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return;
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    resize(800, 595);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    Globals().WidthMain = width();
    for (const char* key : {"fm", "fp", "fb"}) gridToggles_[QString::fromLatin1(key)] = kBoldOff;
    if (matrixGrid_) matrixGrid_->setColumnWidth(0, 140);
}

void TFMainVesk::MGlobalClick() {
    if (!databaseOpenOrRefuse()) return;
    if (FGlVal) {
        FGlVal->show();
        FGlVal->raise();
    }
}

void TFMainVesk::BitScreenClick() {
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    if (width() < area.width()) {
        Globals().WidthMain = width();
        resize(area.width(), height());
    } else {
        // Back to the width it had, or to the installation's when that one
        // was the screen's width already.
        int w = Globals().WidthMain;
        if (w >= area.width() || w <= 0) w = MainWindowData::StoredMainWidth();
        if (w <= 0) w = 800;
        resize(w, height());
    }
    // Keep the window on the screen.
    move(MainWindowLogic::KeepWithin(frameGeometry(), area).topLeft());
}

void TFMainVesk::BitSelectClick() {
    const QString chosen =
        Dialogs::ChooseFolder(QStringLiteral("Выберите папку с БД"), Path->text());
    if (chosen.isEmpty()) return;
    const QString folder = AppPaths::NormalizeDir(chosen);
    const QString previous = Path->text();
    QString reason;
    if (OpenDatabase(folder, &reason)) {
        Path->setText(folder);
        if (NetSettings().DatabaseFolder() != folder) NetSettings().ChangeDatabaseFolder(folder);
        rememberedObjectRecNo_ = MainWindowData::CurrentObjectRecNo();
        FrMatr1->PrepareScreen(folder);
        ShowMatrixState();
    } else {
        showOpenFailure(folder, {reason});
        if (!previous.isEmpty()) OpenDatabase(previous);
    }
}

void TFMainVesk::FormResize() {
    if (!shown(FrDom1) || !matrixGrid_ || !matrixGrid_->model()) return;
    QAbstractItemModel* model = matrixGrid_->model();
    const int n = model->columnCount();
    if (n == 0) return;
    const int first =
        MainWindowLogic::MatrixFirstColumnWidth(gridToggles_.value(QStringLiteral("fm")));
    // The design's widths suit a smaller font than ours: a column is never
    // narrower than its widest text or its title.
    auto fitted = [this](int column, int width) {
        const QAbstractItemView* view = matrixGrid_;
        return qMax(width, qMax(view->sizeHintForColumn(column),
                                matrixGrid_->horizontalHeader()->sectionSizeHint(column)));
    };
    matrixGrid_->setColumnWidth(0, fitted(0, first));
    auto fieldName = [model](int column) {
        return model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    const bool nameLast = fieldName(n - 1) == QStringLiteral("nm_bv");
    if (nameLast) matrixGrid_->setColumnWidth(n - 1, fitted(n - 1, first));
    const int w =
        MainWindowLogic::MatrixColumnWidth(matrixGrid_->viewport()->width(), n, first, nameLast);
    for (int c = Globals().Colstp; c < n; ++c) {
        if (!fieldName(c).startsWith(QLatin1Char('p'))) continue;
        matrixGrid_->setColumnWidth(c, fitted(c, w));
        if (!matrixGrid_->itemDelegateForColumn(c))
            matrixGrid_->setItemDelegateForColumn(c, new CentredDelegate(matrixGrid_));
    }
}

// ---------------------------------------------------------------- commands

void TFMainVesk::MReOpenClick() {
    if (MainWindowData::IsOpen() && MainWindowData::ObjectListEmpty()) return;
    const QString folder = Path->text();
    QString reason;
    if (!MainWindowData::IsOpen()) {
        // Without a folder in use there is nothing to reopen (an empty folder
        // would name a file in the working directory).
        if (!ComparesAbove(folder, QStringLiteral(" "))) return;
        if (!OpenDatabase(folder, &reason)) {
            showOpenFailure(folder, {reason});
            return;
        }
    }
    if (!MainWindowData::OpenAllTables(ProgressGauge(), &reason)) {
        // Some datasets are open and some are not: close them all, so that
        // every screen refuses alike until a later F5 opens the folder again.
        MainWindowData::Disconnect();
        LeaveScreen();
        showOpenFailure(folder, {reason});
        return;
    }
    // The matrix table reopens inside OpenAllTables.
    if (shown(FrPiople1)) MainWindowData::OpenResidents();
}

void TFMainVesk::PanelTopDblClick() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TFMainVesk::ApplicationEvents1Hint(const QString& hint) {
    SBarMain->showMessage(hint);
}

void TFMainVesk::BitBtn1Click() {
    Memo2->setVisible(Memo2->isHidden());
}

void TFMainVesk::ExitExecute() {
    if (Dialogs::Message(kExitCaption, kExitQuestion, DlgButtons::YesNoCancel, DlgIcon::Question) ==
        DlgAnswer::Yes)
        close();
}

// ---------------------------------------------------------------- shut-down

void TFMainVesk::stopNetworkForExit() {
    NetSettingsService& net = NetSettings();
    net.StopTimersForExit();
    if (!net.NetworkRunning()) return;
    // The adapter may already be gone; the program ends anyway.
    try {
        net.CloseNetPort(false);
    } catch (...) {
    }
}

void TFMainVesk::writeSettingsOnClose() {
    ClosingSettings s;
    s.maximized = isMaximized();
    if (s.maximized) showNormal();
    const QRect normal = s.maximized ? normalGeometry() : geometry();
    s.sw = normal.width();
    s.sh = normal.height();
    s.fm = gridToggles_.value(QStringLiteral("fm"), kBoldOff);
    s.fp = gridToggles_.value(QStringLiteral("fp"), kBoldOff);
    s.fb = gridToggles_.value(QStringLiteral("fb"), kBoldOff);
    s.net = NetSettings().Settings();
    s.key = KeysScreen().Settings();
    s.objectId = MainWindowData::ObjectListEmpty() ? 0 : MainWindowData::CurrentObjectId();
    s.nf = VisibleScreen();
    s.path = Path->text();

    IniFile ini;
    QString error;
    SettingsFile::Open(ini, &error);
    SettingsFile::WriteClosing(ini, s);
    if (!ini.Save(&error))
        std::fprintf(stderr, "arm: settings file %s not written: %s\n", qPrintable(ini.path()),
                     qPrintable(error));
}

bool TFMainVesk::FormCloseQuery() {
    if (!MainWindowData::IsOpen()) return true;
    // Closing on the keys screen leaves it: changed keys mark their panels.
    if (shown(FrKeys1)) KeysScreen().FrameExit();
    stopNetworkForExit();
    writeSettingsOnClose();
    AppHelp().CloseViewer();
    QCoreApplication::quit();
    return true;
}

void TFMainVesk::FormClose() {
    closeVisible(objectEditors() << FMifare);
    KeysScreen().Btn1WireOffClick();
}

void TFMainVesk::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        FormCloseQuery();
        FormClose();
    }
    event->accept();
}

void TFMainVesk::fitOnScreen() {
    const QScreen* desktop = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!desktop || isMaximized() || isFullScreen()) return;
    const QRect area = desktop->availableGeometry();
    // The frame is known once the window is shown; before, only the inside counts.
    const QSize frame = frameGeometry().size() - size();
    const QSize fitted = MainWindowLogic::FitWindowToScreen(size(), area.size(), frame);
    if (fitted != size()) resize(fitted);
    if (isVisible()) move(MainWindowLogic::KeepWithin(frameGeometry(), area).topLeft());
}

void TFMainVesk::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    fitOnScreen();
}

void TFMainVesk::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TFMainVesk::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ApplicationEvents1Hint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TFMainVesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelTop && event->type() == QEvent::MouseButtonDblClick) {
        PanelTopDblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- help

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
