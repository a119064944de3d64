#include "netlink/ui/TFrNetDev.h"

#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <optional>

namespace {

const char* const kTag = "Tag";

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return named(new QPushButton(caption, parent), name);
}

QPlainTextEdit* logMemo(QWidget* parent, const char* name) {
    auto* memo = named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setMaximumBlockCount(20000);
    return memo;
}

QListWidget* deviceList(QWidget* parent, const char* name) {
    auto* list = named(new QListWidget(parent), name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont mono = list->font();
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    list->setFont(mono);
    return list;
}

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
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
    setLinkControls(false);
}

// ---------------------------------------------------------------- layout

QLayout* TFrNetDev::buildTopRow() {
    auto* row = new QHBoxLayout;
    BitStartNet = button(this, "BitStartNet", QStringLiteral("Запустить сеть"));
    BitStopNet = button(this, "BitStopNet", QStringLiteral("Остановить сеть"));
    LabWait = named(new QLabel(QStringLiteral("Ждите..."), this), "LabWait");
    LabWait->hide();
    EPassw = named(new QLineEdit(this), "EPassw");
    EPassw->setMaxLength(3);
    EPassw->setEchoMode(QLineEdit::Password);
    EPassw->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), EPassw));
    EPassw->setFixedWidth(60);
    EIdent = named(new QLineEdit(this), "EIdent");
    EIdent->setMaxLength(7);
    EIdent->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,7}")), EIdent));
    EIdent->setFixedWidth(90);
    row->addWidget(BitStartNet);
    row->addWidget(BitStopNet);
    row->addWidget(LabWait);
    row->addStretch();
    row->addWidget(new QLabel(QStringLiteral("Пароль"), this));
    row->addWidget(EPassw);
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
    LFind = named(new QLabel(QStringLiteral("Найденные устройства:"), found), "LFind");
    ListCdev = deviceList(found, "ListCdev");
    auto* polls = new QHBoxLayout;
    BitFindDev = button(found, "BitFindDev", QStringLiteral("Опросить устройства"));
    BitOst = button(found, "BitOst", QStringLiteral("Опросить остальные"));
    polls->addWidget(BitFindDev);
    polls->addWidget(BitOst);
    auto* add = new QHBoxLayout;
    CBDev = named(new QComboBox(found), "CBDev");
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
    ListCmRead = named(new QListWidget(commands), "ListCmRead");
    ListCmRead->setWordWrap(true);
    ListCmRead->addItems(NetCommandCaptions());
    ListCmRead->installEventFilter(this);
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
    PanelDev = named(new QFrame(commands), "PanelDev");
    auto* device = new QVBoxLayout(PanelDev);
    device->setContentsMargins(0, 0, 0, 0);
    MemoAtr = logMemo(PanelDev, "MemoAtr");
    E_SN = named(new QLineEdit(PanelDev), "E_SN");
    E_SN->setProperty(kTag, -1);
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
    PanelKlass = named(new QFrame(this), "PanelKlass");
    auto* column = new QVBoxLayout(PanelKlass);
    column->setContentsMargins(0, 0, 0, 0);
    auto* memos = new QHBoxLayout;
    auto* requests =
        new QGroupBox(QStringLiteral("Консоль запросов и детализация выполнения"), PanelKlass);
    auto* results = new QGroupBox(QStringLiteral("Консоль результата выполнения"), PanelKlass);
    Memo1 = logMemo(requests, "Memo1");
    Memo2 = logMemo(results, "Memo2");
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
    connect(ListCmRead, &QListWidget::itemDoubleClicked, this, &TFrNetDev::ListCmReadDblClick);
    connect(ListCmRead, &QListWidget::itemSelectionChanged, this,
            [this] { BitAct->setEnabled(!ListCmRead->selectedItems().isEmpty()); });
    connect(BitAct, &QPushButton::clicked, this, &TFrNetDev::ListCmReadDblClick);
    connect(BitFalse, &QPushButton::clicked, this, &TFrNetDev::BitFalseClick);
}

bool TFrNetDev::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListCmRead && isEnter(event)) {
        ListCmReadDblClick();
        return true;
    }
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
    if (!FDM || !FDM->Q_Net->IsOpen() || FDM->Q_Net->IsEmpty()) return -1;
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
    if (FDM && FDM->Global->IsOpen() && !FDM->Global->IsEmpty())
        Globals().SepDevice = FDM->Global->FieldByName(QStringLiteral("SepDevice")).AsInt();
    TNetLink* link = Link();
    if (link && link->LinkRunning()) {
        const qint64 object = currentObject();
        if (object < 0 || object != listedObject_) {
            listedObject_ = object;
            FillDeviceList();
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
    BitFalse->setProperty(kTag, 0);
    BitFalse->hide();
    if (TNetLink* link = Link()) link->RequestStop();
}

// ---------------------------------------------------------------- lists

void TFrNetDev::FillDeviceList() {
    hdevLines_.clear();
    if (FDM) {
        const int sep = Globals().SepDevice;
        for (const ConfiguredDevice& device : ConfiguredDevices(*FDM, sep))
            hdevLines_ << ConfiguredDeviceLine(device, sep);
    }
    hdevView_.Show(hdevLines_);
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
    E_SN->setProperty(kTag, info->serial.isEmpty() ? -1 : info->serialAddress);
    PanelDev->show();
}

void TFrNetDev::ListAppFiles() {
    TNetLink* link = Link();
    if (!link) return;
    AppFirmwareCatalog(link->Tables.AppFiles, link->Tables.AppVersionLog)
        .ListAppFiles(link->AnswerLog, [] { QCoreApplication::processEvents(); });
    ShowLinkState();
}

void TFrNetDev::ListCmReadDblClick() {
    const int command = ListCmRead->currentRow();
    if (command < 0 || !RunCommand) return;
    RunCommand(command);
}
