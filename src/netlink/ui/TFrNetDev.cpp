#include "netlink/ui/TFrNetDev.h"

#include "foundation/ui/TFProgress.h"

#include "foundation/GlobalParams.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/ui/WaitCursor.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetAppUpload.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/SystemErrorText.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <optional>

namespace {

const char* const kTagProperty = "Tag";

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QPushButton(caption, parent), name);
}

QPlainTextEdit* netLogMemo(QWidget* parent, const char* name) {
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setMaximumBlockCount(20000);
    return memo;
}

QListWidget* deviceList(QWidget* parent, const char* name) {
    auto* list = Named(new KeyboardGrid<QListWidget>(parent), name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont mono = list->font();
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    list->setFont(mono);
    return list;
}

}  // namespace

TFrNetDev::TFrNetDev(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrNetDev1"), QString(), parent) {
    QVBoxLayout* content = ContentLayout();
    content->addLayout(buildTopRow());
    auto* middle = new QHBoxLayout;
    middle->addLayout(buildLists(), 5);
    middle->addWidget(buildCommands(), 4);
    content->addLayout(middle, 3);
    content->addWidget(buildLogs(), 1);
    wireControls();
    buildMenus();
    wireCommands();
    RunCommand = [this](int command) { RunDeviceCommand(command); };
    setLinkControls(false);
    // Another object or file, or devices removed: the configured list is
    // read again, and a serial number chosen for one of its lines is not
    // written into the record now at that address.
    DropWorkWhenGroundMoves(this, [this] {
        lockSerialStore();
        listedObject_ = -1;
        ShowFrNetDev();
    });
    // The same while the screen is hidden: it lists its lines again when it
    // is shown next.
    if (FDM) connect(&FDM->Ground(), &DataGround::Moved, this, [this] { listedObject_ = -1; });
}

// ---------------------------------------------------------------- layout

QLayout* TFrNetDev::buildTopRow() {
    auto* row = new QHBoxLayout;
    BitStartNet = button(this, "BitStartNet", QStringLiteral("Запустить сеть"));
    BitStopNet = button(this, "BitStopNet", QStringLiteral("Остановить сеть"));
    LabWait = Named(new QLabel(QStringLiteral("Ждите..."), this), "LabWait");
    LabWait->hide();
    EPassw = Named(new QLineEdit(this), "EPassw");
    EPassw->setMaxLength(3);
    EPassw->setEchoMode(QLineEdit::Password);
    EPassw->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), EPassw));
    EPassw->setFixedWidth(60);
    EIdent = Named(new QLineEdit(this), "EIdent");
    EIdent->setMaxLength(7);
    EIdent->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,7}")), EIdent));
    EIdent->setFixedWidth(90);
    row->addWidget(BitStartNet);
    row->addWidget(BitStopNet);
    row->addWidget(LabWait);
    row->addStretch();
    ButPassYes = button(this, "ButPassYes", QStringLiteral("Показать"));
    VvodObj = button(this, "VvodObj", QStringLiteral("Настройки сети"));
    row->addWidget(VvodObj);
    row->addWidget(new QLabel(QStringLiteral("Пароль"), this));
    row->addWidget(EPassw);
    row->addWidget(ButPassYes);
    row->addWidget(new QLabel(QStringLiteral("ID объекта"), this));
    row->addWidget(EIdent);
    return row;
}

QLayout* TFrNetDev::buildLists() {
    auto* lists = new QHBoxLayout;

    auto* configured = new QGroupBox(QStringLiteral("Листинг объекта"), this);
    auto* left = new QVBoxLayout(configured);
    ListHdev = deviceList(configured, "ListHdev");
    BitSN = button(configured, "BitSN", QStringLiteral("ВСЕ операции для СУ"));
    left->addWidget(ListHdev, 1);
    left->addWidget(BitSN);
    lists->addWidget(configured, 1);

    auto* found = new QGroupBox(QStringLiteral("Листинг устройств"), this);
    auto* right = new QVBoxLayout(found);
    LFind = Named(new QLabel(QStringLiteral("Найденные устройства:"), found), "LFind");
    ListCdev = deviceList(found, "ListCdev");
    auto* polls = new QHBoxLayout;
    BitFindDev = button(found, "BitFindDev", QStringLiteral("Опросить устройства"));
    BitOst = button(found, "BitOst", QStringLiteral("Опросить остальные"));
    polls->addWidget(BitFindDev);
    polls->addWidget(BitOst);
    auto* add = new QHBoxLayout;
    CBDev = Named(new QComboBox(found), "CBDev");
    CBDev->addItems(DeviceChoiceItems());
    CBDev->setMaxVisibleItems(20);
    DevDob = button(found, "DevDob", QStringLiteral("Добавить"));
    add->addWidget(CBDev, 1);
    add->addWidget(DevDob);
    right->addWidget(LFind);
    right->addWidget(ListCdev, 1);
    right->addLayout(polls);
    right->addLayout(add);
    lists->addWidget(found, 1);
    return lists;
}

QWidget* TFrNetDev::buildCommands() {
    auto* commands = new QGroupBox(QStringLiteral("Операции"), this);
    auto* column = new QVBoxLayout(commands);
    ListCmRead = Named(new KeyboardGrid<QListWidget>(commands), "ListCmRead");
    ListCmRead->setWordWrap(true);
    ListCmRead->addItems(NetCommandCaptions());
    auto* run = new QHBoxLayout;
    BitAct = button(commands, "BitAct", QStringLiteral("Выполнить"));
    BitAct->setEnabled(false);
    BitFalse = button(commands, "BitFalse", QStringLiteral("Стоп"));
    BitFalse->hide();
    BitAPP = button(commands, "BitAPP", QStringLiteral("APP"));
    run->addWidget(BitAct);
    run->addWidget(BitFalse);
    run->addStretch();
    run->addWidget(BitAPP);
    PanelDev = Named(new QFrame(commands), "PanelDev");
    auto* device = new QVBoxLayout(PanelDev);
    device->setContentsMargins(0, 0, 0, 0);
    MemoAtr = netLogMemo(PanelDev, "MemoAtr");
    E_SN = Named(new QLineEdit(PanelDev), "E_SN");
    E_SN->setProperty(kTagProperty, -1);
    E_SN->hide();
    device->addWidget(MemoAtr);
    device->addWidget(E_SN);
    PanelDev->hide();
    column->addWidget(ListCmRead, 3);
    column->addLayout(run);
    column->addWidget(PanelDev, 2);
    return commands;
}

QWidget* TFrNetDev::buildLogs() {
    PanelKlass = Named(new QFrame(this), "PanelKlass");
    auto* column = new QVBoxLayout(PanelKlass);
    column->setContentsMargins(0, 0, 0, 0);
    auto* memos = new QHBoxLayout;
    auto* requests =
        new QGroupBox(QStringLiteral("Консоль запросов и детализация выполнения"), PanelKlass);
    auto* results = new QGroupBox(QStringLiteral("Консоль результата выполнения"), PanelKlass);
    Memo1 = netLogMemo(requests, "Memo1");
    Memo2 = netLogMemo(results, "Memo2");
    Memo1->setMinimumHeight(120);
    Memo2->setMinimumHeight(120);
    (new QVBoxLayout(requests))->addWidget(Memo1);
    (new QVBoxLayout(results))->addWidget(Memo2);
    memos->addWidget(requests, 1);
    memos->addWidget(results, 1);
    auto* buttons = new QHBoxLayout;
    BitCNF = button(PanelKlass, "BitCNF", QStringLiteral("Очистить результаты"));
    BitFile = button(PanelKlass, "BitFile", QStringLiteral("Сохранить в файл"));
    buttons->addStretch();
    buttons->addWidget(BitCNF);
    buttons->addWidget(BitFile);
    column->addLayout(memos, 1);
    column->addLayout(buttons);
    hdevView_ = ListLinesView(ListHdev);
    cdevView_ = ListLinesView(ListCdev);
    memo1View_ = MemoLinesView(Memo1);
    memo2View_ = MemoLinesView(Memo2);
    return PanelKlass;
}

void TFrNetDev::wireControls() {
    connect(BitStartNet, &QPushButton::clicked, this, &TFrNetDev::BitStartNetClick);
    connect(BitStopNet, &QPushButton::clicked, this, &TFrNetDev::BitStopNetClick);
    connect(ListCdev, &QListWidget::itemClicked, this, &TFrNetDev::ListCdevClick);
    GridKeys::ClickBy(ListCdev, GridKeys::kEnter);
    connect(ListCmRead, &QListWidget::itemDoubleClicked, this, &TFrNetDev::ListCmReadDblClick);
    GridKeys::DoubleClickBy(ListCmRead, GridKeys::kEnterOrSpace);
    connect(ListCmRead, &QListWidget::itemSelectionChanged, this,
            [this] { BitAct->setEnabled(!ListCmRead->selectedItems().isEmpty()); });
    connect(BitAct, &QPushButton::clicked, this, &TFrNetDev::ListCmReadDblClick);
    connect(BitFalse, &QPushButton::clicked, this, &TFrNetDev::BitFalseClick);
}

bool TFrNetDev::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelKlass && event->type() == QEvent::Resize) PanelKlassResize();
    return TScreenFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the link

void TFrNetDev::BindNetForm(TFNetTime* form) {
    if (form_ == form) return;
    if (form_) disconnect(form_, nullptr, this, nullptr);
    form_ = form;
    if (!form) return;
    connect(form, &TFNetTime::linkChanged, this, &TFrNetDev::ShowLinkState);
    connect(form, &TFNetTime::restartAllowed, this, &TFrNetDev::RestartAllowed);
    connect(form, &TFNetTime::adapterUploadRequested, this, &TFrNetDev::UploadIntoAdapter);
}

TFNetTime* TFrNetDev::NetForm() {
    if (!form_ && FNetTime) BindNetForm(FNetTime);
    return form_;
}

TNetLink* TFrNetDev::Link() {
    TFNetTime* form = NetForm();
    return form ? &form->Link() : nullptr;
}

void TFrNetDev::ShowLinkState() {
    TNetLink* link = Link();
    if (!link) return;
    memo1View_.Show(link->RequestLog);
    memo2View_.Show(link->AnswerLog);
    cdevView_.Show(link->DeviceList);
}

// Stopped: only the start; running: stop, polls and the address choice.
void TFrNetDev::setLinkControls(bool running) {
    BitStopNet->setEnabled(running);
    for (QWidget* control : {static_cast<QWidget*>(BitFindDev), static_cast<QWidget*>(BitOst),
                             static_cast<QWidget*>(CBDev), static_cast<QWidget*>(DevDob)})
        control->setEnabled(running);
    if (!running) BitSN->setEnabled(false);
}

void TFrNetDev::RestartAllowed() {
    BitStartNet->setEnabled(true);
}

qint64 TFrNetDev::currentObject() const {
    if (!FDM || FDM->Q_Net->IsEmpty()) return -1;
    return FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

void TFrNetDev::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    ShowFrNetDev();
}

void TFrNetDev::ShowFrNetDev() {
    if (currentObject() >= 0)
        EIdent->setText(
            QString::number(FDM->Q_Net->FieldByName(QStringLiteral("id_nom")).AsLargeInt()));
    if (appFolder_.trimmed().isEmpty()) appFolder_ = AppFirmwareCatalog::AppFolder();
    QDir().mkpath(appFolder_);
    Globals().SepDevice =
        GlobalParams::StoredGlobalNumber(QStringLiteral("SepDevice"), Globals().SepDevice);
    TNetLink* link = Link();
    if (link && link->LinkRunning()) {
        const qint64 object = currentObject();
        if (object < 0 || object != listedObject_) {
            // Another object's lines: a serial number chosen for a line of
            // the one listed before is not written into this one's record.
            listedObject_ = object;
            FillDeviceList();
            lockSerialStore();
        }
    }
    ShowLinkState();
}

void TFrNetDev::BitStartNetClick() {
    TFNetTime* form = NetForm();
    if (!form) return;
    TNetLink& link = form->Link();
    BitStartNet->setEnabled(false);
    {
        std::optional<WaitCursor> wait;
        const auto findNetPort = [&]() -> std::optional<NetPortChoice> {
            const std::optional<NetPortChoice> port = form->FindNetPort();
            if (port) {
                wait.emplace();
                LabWait->show();
                LabWait->repaint();
            }
            return port;
        };
        bool started = false;
        RunTellingPortFault([&] { started = link.StartNet(findNetPort); });
        if (started) {
            setLinkControls(true);
            listedObject_ = currentObject();
            if (listedObject_ >= 0) FillDeviceList();
            ListAppFiles();
        }
        if (!link.BComNet.Connected()) BitStartNet->setEnabled(true);
        LabWait->hide();
    }
    ShowLinkState();
    form->ShowLinkState();
}

void TFrNetDev::BitStopNetClick() {
    TNetLink* link = Link();
    if (!link) return;
    {
        WaitCursor wait;
        bool stopped = false;
        RunTellingPortFault([&] { stopped = link->StopNet(); });
        if (stopped) {
            setLinkControls(false);
            link->DeviceList.clear();
            link->RequestLog.clear();
            link->AnswerLog.clear();
            PanelDev->hide();
            NetForm()->LinkStopped();
        }
    }
    ShowLinkState();
    NetForm()->ShowLinkState();
}

void TFrNetDev::BeginDeviceOp() {
    if (TNetLink* link = Link()) link->ClearStop();
    BitStopNet->setEnabled(false);
    BitFalse->show();
    for (QWidget* control : {static_cast<QWidget*>(BitAct), static_cast<QWidget*>(CBDev),
                             static_cast<QWidget*>(BitOst), static_cast<QWidget*>(BitFindDev),
                             static_cast<QWidget*>(BitSN), static_cast<QWidget*>(BitAPP)})
        control->setEnabled(false);
}

// BitSN stays off until a configured device is chosen again.
void TFrNetDev::EndDeviceOp() {
    BitStopNet->setEnabled(true);
    BitFalse->hide();
    for (QWidget* control : {static_cast<QWidget*>(BitAct), static_cast<QWidget*>(CBDev),
                             static_cast<QWidget*>(BitOst), static_cast<QWidget*>(BitFindDev),
                             static_cast<QWidget*>(BitAPP)})
        control->setEnabled(true);
}

void TFrNetDev::BitFalseClick() {
    BitFalse->setProperty(kTagProperty, 0);
    BitFalse->hide();
    if (TNetLink* link = Link()) link->RequestStop();
}

// ---------------------------------------------------------------- lists

void TFrNetDev::FillDeviceList() {
    hdevLines_.clear();
    QString error;
    if (FDM) {
        const int sep = Globals().SepDevice;
        for (const ConfiguredDevice& device : ConfiguredDevices(*FDM, sep, &error))
            hdevLines_ << ConfiguredDeviceLine(device, sep);
    }
    hdevView_.Show(hdevLines_);
    if (!error.isEmpty())
        Dialogs::Error(QStringLiteral("Ошибка"),
                       WithReason(QStringLiteral("Устройства объекта не прочитаны"), error));
}

void TFrNetDev::UpdateHdevLine(int address) {
    if (!FDM) return;
    const int sep = Globals().SepDevice;
    const std::optional<ConfiguredDevice> device = ConfiguredDeviceAt(*FDM, address, sep);
    if (!device) return;
    ReplaceConfiguredLine(hdevLines_, address, ConfiguredDeviceLine(*device, sep), sep);
    hdevView_.Show(hdevLines_);
}

void TFrNetDev::ListCdevClick() {
    ListHdev->clearSelection();
    ShowDeviceClass();
}

void TFrNetDev::ShowDeviceClass() {
    BitSN->setEnabled(false);
    TNetLink* link = Link();
    QListWidgetItem* line = ListCdev->currentItem();
    if (!link || !line || !line->isSelected()) return;
    const std::optional<NetClassInfo> info = link->ShowDeviceClass(line->text());
    if (!info) return;
    MemoAtr->setPlainText(info->lines.join(QLatin1Char('\n')));
    E_SN->setText(info->serial);
    E_SN->setProperty(kTagProperty, info->serial.isEmpty() ? -1 : info->serialAddress);
    PanelDev->show();
}

void TFrNetDev::ListAppFiles() {
    TNetLink* link = Link();
    if (!link) return;
    AppFirmwareCatalog(link->Tables.AppFiles, link->Tables.AppVersionLog)
        .ListAppFiles(link->AnswerLog, [] { QCoreApplication::processEvents(); });
    ShowLinkState();
}

// ---------------------------------------------------------------- device operations

std::optional<NetOpContext> TFrNetDev::OperationContext() {
    TNetLink* link = Link();
    if (!link) return std::nullopt;
    NetOpContext ctx(*link, FDM);
    ctx.dbFolder = NetForm()->DatabaseFolder();
    ctx.password = EPassw->text();
    ctx.view.busy = [this](bool busy) { showBusy(busy); };
    ctx.view.refresh = [this] {
        ShowLinkState();
        repaint();
    };
    ctx.view.fillDeviceList = [this] { FillDeviceList(); };
    ctx.view.showScreen = [this] { ShowFrNetDev(); };
    ctx.view.selectFoundLine = [this](const QString& serial) { selectFoundLine(serial); };
    ctx.view.showClassInfo = [this](int address) { showClassOf(address); };
    return ctx;
}

void TFrNetDev::showBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        LabWait->show();
    } else {
        QApplication::restoreOverrideCursor();
        LabWait->hide();
    }
    LabWait->repaint();
}

void TFrNetDev::selectFoundLine(const QString& serial) {
    ShowLinkState();
    for (int row = 0; row < ListCdev->count(); ++row)
        ListCdev->item(row)->setSelected(ListCdev->item(row)->text().contains(serial));
}

namespace {

std::optional<QString> currentSelected(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        if (selected.isEmpty()) return std::nullopt;
        item = selected.first();
    }
    return item->text();
}

}  // namespace

std::optional<QString> TFrNetDev::SelectedConfiguredLine() const {
    return currentSelected(ListHdev);
}

std::optional<QString> TFrNetDev::SelectedFoundLine() const {
    return currentSelected(ListCdev);
}

void TFrNetDev::ListCmReadDblClick() {
    const int command = ListCmRead->currentRow();
    if (command < 0 || !RunCommand) return;
    RunCommand(command);
}

// ---------------------------------------------------------------- commands

namespace {

constexpr int kNormalCommandFont = 10;
constexpr int kSmallCommandFont = 8;
constexpr int kAdapterItem = 126;

QAction* menuAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void attachMenu(QWidget* widget, QMenu* menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
}

NetListState listState(const QListWidget* list) {
    NetListState state;
    for (int row = 0; row < list->count(); ++row) {
        state.lines << list->item(row)->text();
        if (list->item(row)->isSelected()) state.selected << row;
    }
    return state;
}

void unselectLine(QListWidget* list, const QString& line) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text() == line) list->item(row)->setSelected(false);
}

}  // namespace

void TFrNetDev::buildMenus() {
    auto* configured = new QMenu(ListHdev);
    N1 = menuAction(configured, "N1", QStringLiteral("Обновить"));
    N1->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    N4 = menuAction(configured, "N4", QStringLiteral("Снять выделение"));
    NSaveSN = menuAction(configured, "NSaveSN", QStringLiteral("Вписать SN из нижнего окна"));
    NSaveSN->setEnabled(false);
    NSaveSN->setProperty(kTagProperty, -1);
    attachMenu(ListHdev, configured);
    auto* found = new QMenu(ListCdev);
    N2 = menuAction(found, "N2", QStringLiteral("Обновить"));
    N3 = menuAction(found, "N3", QStringLiteral("Снять выделение"));
    attachMenu(ListCdev, found);
    auto* commands = new QMenu(ListCmRead);
    N5 = menuAction(commands, "N5", QStringLiteral("Снять выделение"));
    PMFont = menuAction(commands, "PMFont", QStringLiteral("Уменьшить шрифт"));
    attachMenu(ListCmRead, commands);
    QFont font = ListCmRead->font();
    font.setPointSize(kNormalCommandFont);
    ListCmRead->setFont(font);
    for (int a = 0; a < CBDev->count(); ++a)
        CBDev->setItemData(a, a == kAdapterItem ? kAdapterAddress : a);
}

void TFrNetDev::wireCommands() {
    connect(BitFindDev, &QPushButton::clicked, this, &TFrNetDev::BitFindDevClick);
    connect(BitOst, &QPushButton::clicked, this, &TFrNetDev::BitOstClick);
    connect(DevDob, &QPushButton::clicked, this, &TFrNetDev::DevDobClick);
    connect(CBDev, &QComboBox::activated, this, &TFrNetDev::DevDobClick);
    connect(BitSN, &QPushButton::clicked, this, &TFrNetDev::BitSNClick);
    connect(NSaveSN, &QAction::triggered, this, &TFrNetDev::NSaveSNClick);
    // A double click runs it too, by the click it begins with.
    connect(ListHdev, &QListWidget::itemClicked, this, &TFrNetDev::ListHdevDblClick);
    GridKeys::ClickBy(ListHdev, GridKeys::kEnter);
    connect(BitFile, &QPushButton::clicked, this, &TFrNetDev::BitFileClick);
    connect(BitCNF, &QPushButton::clicked, this, &TFrNetDev::BitCNFClick);
    connect(BitAPP, &QPushButton::clicked, this, &TFrNetDev::BitAPPClick);
    connect(VvodObj, &QPushButton::clicked, this, &TFrNetDev::VvodObjClick);
    connect(PMFont, &QAction::triggered, this, &TFrNetDev::PMFontClick);
    connect(N5, &QAction::triggered, this, [this] {
        ListCmRead->clearSelection();
        ListCmRead->setCurrentRow(-1);
        BitAct->setEnabled(false);
    });
    connect(N1, &QAction::triggered, this, [this] {
        FillDeviceList();
        lockSerialStore();
    });
    connect(N4, &QAction::triggered, this, [this] {
        ListHdev->clearSelection();
        BitSN->setEnabled(false);
    });
    connect(N2, &QAction::triggered, this, [this] {
        if (TNetLink* link = Link()) link->BuildDeviceList(link->DeviceList);
        ShowLinkState();
    });
    connect(N3, &QAction::triggered, ListCdev, &QListWidget::clearSelection);
    connect(ButPassYes, &QPushButton::pressed, this,
            [this] { EPassw->setEchoMode(QLineEdit::Normal); });
    connect(ButPassYes, &QPushButton::released, this,
            [this] { EPassw->setEchoMode(QLineEdit::Password); });
    PanelKlass->installEventFilter(this);
}

NetCommandHooks TFrNetDev::commandHooks() {
    NetCommandHooks hooks;
    const auto listOf = [this](NetList list) -> QListWidget* {
        return list == NetList::Configured ? ListHdev : list == NetList::Found ? ListCdev : nullptr;
    };
    hooks.clearSelection = [listOf](NetList list) {
        if (QListWidget* widget = listOf(list)) widget->clearSelection();
    };
    hooks.unselect = [listOf](NetList list, const QString& line) {
        if (QListWidget* widget = listOf(list)) unselectLine(widget, line);
    };
    hooks.updateHdevLine = [this](int address) { UpdateHdevLine(address); };
    hooks.lockSerialStore = [this] { lockSerialStore(); };
    hooks.disableChain = [this] { BitSN->setEnabled(false); };
    hooks.enableCommands = [this] { ListCmRead->setEnabled(true); };
    hooks.findCaption = [this](const QString& caption) {
        LFind->setText(caption);
        LFind->repaint();
    };
    return hooks;
}

void TFrNetDev::lockSerialStore() {
    BitSN->setEnabled(false);
    NSaveSN->setEnabled(false);
    NSaveSN->setProperty(kTagProperty, -1);
}

void TFrNetDev::showClassOf(int address) {
    TNetLink* link = Link();
    if (!link) return;
    const NetClassInfo info = link->ShowClassInfo(address);
    MemoAtr->setPlainText(info.lines.join(QLatin1Char('\n')));
    E_SN->setText(info.serial);
    E_SN->setProperty(kTagProperty, info.serial.isEmpty() ? -1 : info.serialAddress);
    PanelDev->show();
}

void TFrNetDev::afterCommand() {
    BitSN->setEnabled(!ListHdev->selectedItems().isEmpty());
    EndDeviceOp();
    ShowLinkState();
}

void TFrNetDev::RunDeviceCommand(int command) {
    std::optional<NetOpContext> ctx = OperationContext();
    QListWidgetItem* item = ListCmRead->item(command);
    if (!ctx || !item) return;
    const NetListState configured = listState(ListHdev);
    const NetListState found = listState(ListCdev);
    BeginDeviceOp();
    NetDeviceCommands commands(*ctx, commandHooks());
    commands.appFolder = appFolder_;
    commands.Run(command, item->text(), configured, found);
    afterCommand();
}

void TFrNetDev::BitFindDevClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    const int maxDevice =
        GlobalParams::StoredGlobalNumber(QStringLiteral("MaxDevice"), Globals().MaxDevice);
    BeginDeviceOp();
    ListCmRead->clearSelection();
    NetDeviceCommands(*ctx, commandHooks()).FindDevices(maxDevice);
    afterCommand();
}

void TFrNetDev::BitOstClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    BeginDeviceOp();
    NetDeviceCommands(*ctx, commandHooks()).PollRest();
    afterCommand();
}

void TFrNetDev::DevDobClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    const int item = CBDev->currentIndex();
    if (!ctx || item < 0) return;
    NetDeviceCommands(*ctx, commandHooks())
        .AddDevice(CBDev->itemData(item).toInt(), CBDev->currentText());
    ShowLinkState();
}

void TFrNetDev::BitSNClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    const QList<QListWidgetItem*> chosen = ListHdev->selectedItems();
    if (chosen.isEmpty()) {
        Dialogs::Error(QStringLiteral("Ошибка"), QStringLiteral("Не выбрана конфигурация!"));
        return;
    }
    if (!Dialogs::AskYesNo(QStringLiteral("Запрос действия"),
                           QStringLiteral("Произвести всю серию операций для устройства?")))
        return;
    QStringList lines;
    for (QListWidgetItem* item : chosen) lines << item->text();
    BeginDeviceOp();
    {
        NetBusyScope busy(*ctx);
        NetDeviceCommands commands(*ctx, commandHooks());
        commands.appFolder = appFolder_;
        for (const QString& line : lines) {
            if (ctx->StopRequested()) break;
            const bool goOn = commands.PrepareDevice(line);
            unselectLine(ListHdev, line);
            ShowLinkState();
            if (!goOn) break;
        }
        if (ctx->link.SelectedAddr >= 0)
            ctx->link.SelectedAddr = ctx->link.DeselectDevice(ctx->link.SelectedAddr);
    }
    EndDeviceOp();
    ShowLinkState();
}

void TFrNetDev::NSaveSNClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    NetDeviceCommands(*ctx, commandHooks())
        .SaveFoundSerial(NSaveSN->property(kTagProperty).toInt(),
                         E_SN->property(kTagProperty).toInt(), E_SN->text());
    lockSerialStore();
}

// A configured line offers the chain, and the serial number shown when it
// belongs to a device of the line's kind.
void TFrNetDev::ListHdevDblClick() {
    lockSerialStore();
    ListCdev->clearSelection();
    const QListWidgetItem* item = ListHdev->currentItem();
    const QString line = item ? item->text() : QString();
    const QString kind = line.mid(1, 2);
    QString digits;
    for (int i = 1; i < line.size() && line.at(i) != QLatin1Char(' '); ++i)
        if (line.at(i).isDigit()) digits += line.at(i);
    const int sep = Globals().SepDevice;
    const bool console = kind == QStringLiteral("ПО");
    if (digits.isEmpty() && !console) {
        BitSN->setText(QStringLiteral("ВСЕ оперрации для СУ"));
        return;
    }
    const int number = digits.toInt();
    const int shown = E_SN->property(kTagProperty).toInt();
    int target = -1;
    if (console && shown == sep) target = sep;
    if (kind == QStringLiteral("БВ") && shown >= 64) target = number + 64;
    if (kind == QStringLiteral("КМ") && shown >= 0 && shown < sep) target = number;
    if (target >= 0) {
        NSaveSN->setEnabled(true);
        NSaveSN->setProperty(kTagProperty, target);
    }
    const bool chain = kind != QStringLiteral("БВ") || number <= 63;
    BitSN->setEnabled(chain);
    BitSN->setText(chain ? QStringLiteral("ВСЕ оперрации для ") + line.mid(1, 4)
                         : QStringLiteral("ВСЕ оперрации для СУ"));
}

void TFrNetDev::BitFileClick() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    const QString folder = AppPaths::UnderProgram(QStringLiteral("TXT/"));
    QDir().mkpath(folder);
    const QString path =
        Dialogs::SaveFile(QStringLiteral("Сохранить в текстовый файл данные всех устройств"),
                          folder + QStringLiteral("Устройства.txt"),
                          QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
    if (path.isEmpty()) return;
    {
        WaitCursor wait;
        NetDeviceCommands commands(*ctx, commandHooks());
        commands.progress = ProgressGauge();
        commands.WriteReport(path);
    }
    ShowLinkState();
}

void TFrNetDev::BitCNFClick() {
    TNetLink* link = Link();
    if (!link) return;
    link->RequestLog.clear();
    link->AnswerLog.clear();
    link->ESend = 0;
    link->ERead = 0;
    ShowLinkState();
    NetForm()->ShowLinkState();
}

void TFrNetDev::PMFontClick() {
    QFont font = ListCmRead->font();
    const bool small = font.pointSize() == kNormalCommandFont;
    font.setPointSize(small ? kSmallCommandFont : kNormalCommandFont);
    ListCmRead->setFont(font);
    PMFont->setText(small ? QStringLiteral("Увеличить шрифт") : QStringLiteral("Уменьшить шрифт"));
    const int row = ListCmRead->currentRow();
    ListCmRead->clear();
    ListCmRead->addItems(NetCommandSecondCaptions());
    ListCmRead->setCurrentRow(row);
}

void TFrNetDev::BitAPPClick() {
    if (Dialogs::AskYesNo(QStringLiteral("Вопрос"),
                          QStringLiteral("Прочитать все файлы из каталога \\APP?")))
        ListAppFiles();
}

void TFrNetDev::VvodObjClick() {
    if (TFNetTime* form = NetForm()) form->exec();
}

void TFrNetDev::PanelKlassResize() {
    Memo1->parentWidget()->setFixedWidth(int(std::lround(PanelKlass->width() / 2.0 - 20)));
}

void TFrNetDev::UploadIntoAdapter() {
    std::optional<NetOpContext> ctx = OperationContext();
    if (!ctx) return;
    NetAppUpload upload(*ctx);
    upload.appFolder = appFolder_;
    upload.UploadApp(kAdapterAddress, -1);
    ShowLinkState();
    NetForm()->ShowLinkState();
}
