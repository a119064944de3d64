#include "foundation/ui/TFMainVesk.h"

#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/Globals.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/SettingsFile.h"
#include "foundation/ui/TAboutBox.h"
#include "foundation/ui/TFProgress.h"
#include "keys/ui/TFMifare.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
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

// Sensible bounds for a window size read from the settings file.
int saneSize(int value, int fallback) {
    return value >= 200 && value <= 20000 ? value : fallback;
}

}  // namespace

TFMainVesk::TFMainVesk(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FMainVesk"));
    for (const char* key : {"fm", "fp", "fb"}) gridToggles_[QString::fromLatin1(key)] = kBoldOff;
    buildMenu();
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

QWidget* TFMainVesk::makePlaceholderFrame(const QString& name, const QString& title) {
    auto* frame = new QFrame;
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(frame);
    auto* label = new QLabel(title, frame);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    frame->hide();
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

    FrMatr1 = makePlaceholderFrame(QStringLiteral("FrMatr1"), Screens::Find(1)->title);
    FrDom1 = makePlaceholderFrame(QStringLiteral("FrDom1"), Screens::Find(2)->title);
    FrPod1 = makePlaceholderFrame(QStringLiteral("FrPod1"), Screens::Find(3)->title);
    FrPk1 = makePlaceholderFrame(QStringLiteral("FrPk1"), Screens::Find(4)->title);
    FrBv1 = makePlaceholderFrame(QStringLiteral("FrBv1"), Screens::Find(5)->title);
    FrKvr1 = makePlaceholderFrame(QStringLiteral("FrKvr1"), Screens::Find(6)->title);
    FrPo1 = makePlaceholderFrame(QStringLiteral("FrPo1"), Screens::Find(7)->title);
    FrKeys1 = makePlaceholderFrame(QStringLiteral("FrKeys1"), Screens::Find(9)->title);
    FrWrite1 = makePlaceholderFrame(QStringLiteral("FrWrite1"), Screens::Find(10)->title);
    FrRead1 = makePlaceholderFrame(QStringLiteral("FrRead1"), Screens::Find(11)->title);
    FrNetDev1 = makePlaceholderFrame(QStringLiteral("FrNetDev1"), Screens::Find(12)->title);
    FrRedact1 = makePlaceholderFrame(QStringLiteral("FrRedact1"), Screens::Find(13)->title);
    FrPiople1 = makePlaceholderFrame(QStringLiteral("FrPiople1"), Screens::Find(14)->title);
    auto* host = new QWidget(central);
    host->setObjectName(QStringLiteral("ScreenHost"));
    auto* hostLayout = new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* frame : frames_) {
        frame->setParent(host);
        hostLayout->addWidget(frame);
    }
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
    connect(ButHelp, &QPushButton::clicked, this, &TFMainVesk::MHelp0Click);
    connect(ButExit, &QPushButton::clicked, this, &TFMainVesk::ExitExecute);
    connect(BitBtn1, &QPushButton::clicked, this, &TFMainVesk::BitBtn1Click);
}

void TFMainVesk::SetInstanceGuard(SingleInstanceGuard* guard) {
    guard_ = guard;
    if (!guard_) return;
    guard_->FollowCaption(windowTitle());
    connect(this, &QWidget::windowTitleChanged, guard_, &SingleInstanceGuard::FollowCaption);
}

// ---------------------------------------------------------------- start-up

bool TFMainVesk::OpenDatabase(const QString& folder) {
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    if (!QFileInfo::exists(file)) return false;
    MainWindowData::Disconnect();
    Memo2->setPlainText(QStringLiteral("Driver=QSQLITE;Connection=ConnectionDB;Data Source=") +
                        file + QLatin1Char(';'));
    QString reason;
    if (MainWindowData::Connect(folder, &reason)) return true;
    std::fprintf(stderr, "arm: database %s not opened: %s\n", qPrintable(file), qPrintable(reason));
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
        [this](const QString& f) { return OpenDatabase(f); });
    if (!db.opened) {
        Dialogs::Message(kError, OpenFailed(db.folder), DlgButtons::Ok, DlgIcon::Error);
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

QWidget* TFMainVesk::FrameOfScreen(int screen) const {
    const Screens::ScreenInfo* info = Screens::Find(screen);
    if (!info || info->frame.isEmpty()) return nullptr;
    for (QWidget* frame : frames_)
        if (frame->objectName() == info->frame) return frame;
    return nullptr;
}

int TFMainVesk::VisibleScreen() const {
    return MainWindowLogic::ExitScreenNumber(
        [this](int screen) { return shown(FrameOfScreen(screen)); });
}

void TFMainVesk::LeaveScreen() {
    for (QWidget* frame : frames_) frame->hide();
    PanelTop->clear();
}

void TFMainVesk::ShowScreen(int screen) {
    if (screen == 0) {
        ButEndClick();
        return;
    }
    QWidget* frame = FrameOfScreen(screen);
    if (!frame || shown(frame)) return;
    LeaveScreen();
    PanelTop->setText(Screens::Find(screen)->title);
    frame->show();
    ButEnd->setEnabled(true);
    if (frame == FrDom1) FormResize();
}

void TFMainVesk::ButEndClick() {
    LeaveScreen();
    setWindowTitle(kMenuCaption);
    ButEnd->setEnabled(false);
}

void TFMainVesk::FormResize() {
    if (!shown(FrDom1) || !matrixGrid_ || !matrixGrid_->model()) return;
    QAbstractItemModel* model = matrixGrid_->model();
    const int n = model->columnCount();
    if (n == 0) return;
    const int first =
        MainWindowLogic::MatrixFirstColumnWidth(gridToggles_.value(QStringLiteral("fm")));
    matrixGrid_->setColumnWidth(0, first);
    auto fieldName = [model](int column) {
        return model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    const bool nameLast = fieldName(n - 1) == QStringLiteral("nm_bv");
    if (nameLast) matrixGrid_->setColumnWidth(n - 1, first);
    const int w =
        MainWindowLogic::MatrixColumnWidth(matrixGrid_->viewport()->width(), n, first, nameLast);
    for (int c = Globals().Colstp; c < n; ++c) {
        if (!fieldName(c).startsWith(QLatin1Char('p'))) continue;
        matrixGrid_->setColumnWidth(c, w);
        if (!matrixGrid_->itemDelegateForColumn(c))
            matrixGrid_->setItemDelegateForColumn(c, new CentredDelegate(matrixGrid_));
    }
}

// ---------------------------------------------------------------- commands

void TFMainVesk::MReOpenClick() {
    if (MainWindowData::IsOpen() && MainWindowData::ObjectListEmpty()) return;
    if (!MainWindowData::IsOpen() && !OpenDatabase(Path->text())) return;
    QString reason;
    if (!MainWindowData::OpenAllTables(ProgressGauge(), &reason))
        std::fprintf(stderr, "arm: tables not reopened: %s\n", qPrintable(reason));
    if (!MainWindowData::IsOpen()) {
        close();
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
    stopNetworkForExit();
    writeSettingsOnClose();
    AppHelp().CloseViewer();
    QCoreApplication::quit();
    return true;
}

void TFMainVesk::FormClose() {
    for (QWidget* editor : {static_cast<QWidget*>(FpkEdit), static_cast<QWidget*>(FskEdit),
                            static_cast<QWidget*>(FbvEdit), static_cast<QWidget*>(FkvEdit),
                            static_cast<QWidget*>(FMifare)})
        if (editor && editor->isVisible()) editor->close();
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
