#include "netlink/ui/TFNetTime.h"

#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowData.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "foundation/ui/MainWindowHost.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "netlink/AdapterIdentity.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/NetSnifferLog.h"
#include "netlink/ui/TFCOM.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

TFNetTime* FNetTime = nullptr;

namespace {

constexpr int kAsincFirstMs = 10;
constexpr int kRestartMs = 7000;
constexpr int kLinkSettleMs = 1000;  // the pauses of start and stop

const QString kNoUpdateText = QStringLiteral(
    "Для данной версии СУС обновление невозможно. Некоторые функции данной версии ограничены.");
const QString kAttention = QStringLiteral("Внимание!");

QSpinBox* spinEdit(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* edit = Named(new QSpinBox(parent), name);
    edit->setRange(minimum, maximum);
    edit->setValue(value);
    return edit;
}

QPlainTextEdit* timeMemo(QWidget* parent, const char* name) {
    auto* edit = Named(new QPlainTextEdit(parent), name);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setMaximumBlockCount(10000);
    return edit;
}

QPushButton* plainButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = Named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TFNetTime::TFNetTime(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FNetTime"));
    setWindowTitle(QStringLiteral("Настройки сети"));
    buildTimers();
    link_ = std::make_unique<TNetLink>(linkHooks());

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildTimingColumn());
    columns->addWidget(buildAdapterColumn(), 1);
    columns->addWidget(buildJournalColumn(), 1);
    auto* layout = new QVBoxLayout(this);
    buildMenu();
    layout->addLayout(columns, 1);
    layout->addLayout(buildCommandRow());
    resize(980, 560);

    // FormCreate: the database folder of the main window, the settings file,
    // the log folder; sniffer mode starts off.
    if (MainWindowHost* host = MainHost()) ChangeDatabaseFolder(host->DatabaseFolder());
    readSettingsFile();
    ensureLogFolder();
    applyLinkSettings();
    wireControls();
    EComChange();
    InstallNetSettings(this);
}

TFNetTime::~TFNetTime() {
    if (&NetSettings() == this) InstallNetSettings(nullptr);
    if (FNetTime == this) FNetTime = nullptr;
}

// ---------------------------------------------------------------- layout

QWidget* TFNetTime::buildTimingColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    // The edits start from the port's own time-outs.
    const TComTimeouts& t = link_->BComNet.Timeouts();
    auto* timeouts = new QGroupBox(QStringLiteral("Таймауты в миллисекундах на"), column);
    auto* form = new QFormLayout(timeouts);
    SReadInterval = spinEdit(timeouts, "SReadInterval", -1, 1000000000, t.ReadInterval());
    SReadTotalConstant =
        spinEdit(timeouts, "SReadTotalConstant", 100, 65000, t.ReadTotalConstant());
    SReadTotalMultiplier =
        spinEdit(timeouts, "SReadTotalMultiplier", 0, 1000000, t.ReadTotalMultiplier());
    SWriteTotalConstant =
        spinEdit(timeouts, "SWriteTotalConstant", 0, 1000000, t.WriteTotalConstant());
    SWriteTotalMultiplier =
        spinEdit(timeouts, "SWriteTotalMultiplier", 0, 1000000, t.WriteTotalMultiplier());
    // The write time-outs are shown only: the port keeps its own.
    SWriteTotalConstant->setReadOnly(true);
    SWriteTotalMultiplier->setReadOnly(true);
    form->addRow(QStringLiteral("чтение символа"), SReadInterval);
    form->addRow(QStringLiteral("операцию чтения"), SReadTotalConstant);
    form->addRow(QStringLiteral("общ. множитель чт"), SReadTotalMultiplier);
    form->addRow(QStringLiteral("операцию записи"), SWriteTotalConstant);
    form->addRow(QStringLiteral("общ. множитель зап"), SWriteTotalMultiplier);
    layout->addWidget(timeouts);

    auto* waits = new QGroupBox(column);
    auto* waitForm = new QFormLayout(waits);
    SWaitNet = spinEdit(waits, "SWaitNet", 30, 60000, 100);
    CountRead = spinEdit(waits, "CountRead", 3, 10, 3);
    waitForm->addRow(QStringLiteral("ожидание ответа от устройства"), SWaitNet);
    waitForm->addRow(QStringLiteral("количество попыток чтения"), CountRead);
    layout->addWidget(waits);
    BitDef = plainButton(column, "BitDef", QStringLiteral("По умолчанию"));
    layout->addWidget(BitDef);
    layout->addStretch();
    return column;
}

QWidget* TFNetTime::buildAdapterColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    PanelVP = Named(new QGroupBox(QStringLiteral("СУС"), column), "PanelVP");
    auto* panel = new QVBoxLayout(PanelVP);
    ChCOM = Named(new QCheckBox(QStringLiteral("АВТО определение COM порта."), PanelVP), "ChCOM");
    ChCOM->setChecked(true);
    panel->addWidget(ChCOM);
    auto* fields = new QFormLayout;
    ECom = Named(new QLineEdit(QStringLiteral("0"), PanelVP), "ECom");
    EVid = Named(new QLineEdit(PanelVP), "EVid");
    EPid = Named(new QLineEdit(PanelVP), "EPid");
    EVid->setMaxLength(4);
    EPid->setMaxLength(4);
    fields->addRow(QStringLiteral("№ СОМ"), ECom);
    fields->addRow(QStringLiteral("VID"), EVid);
    fields->addRow(QStringLiteral("PID"), EPid);
    panel->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    ButVP = plainButton(PanelVP, "ButVP", QStringLiteral("Определить"));
    ButSave = plainButton(PanelVP, "ButSave", QStringLiteral("Изменить"));
    ButSave->setEnabled(false);
    LabWait = Named(new QLabel(QStringLiteral("Ждите..."), PanelVP), "LabWait");
    LabWait->hide();
    buttons->addWidget(ButVP);
    buttons->addWidget(ButSave);
    buttons->addWidget(LabWait);
    buttons->addStretch();
    panel->addLayout(buttons);
    auto* lists = new QHBoxLayout;
    ListCdev = Named(new KeyboardGrid<QListWidget>(PanelVP), "ListCdev");
    ListVdev = Named(new KeyboardGrid<QListWidget>(PanelVP), "ListVdev");
    ListPdev = Named(new KeyboardGrid<QListWidget>(PanelVP), "ListPdev");
    ListPdev->hide();
    lists->addWidget(ListCdev, 2);
    lists->addWidget(ListVdev, 1);
    lists->addWidget(ListPdev);
    panel->addLayout(lists, 1);
    layout->addWidget(PanelVP, 1);

    auto* firmware = new QHBoxLayout;
    ButVer = plainButton(column, "ButVer", QStringLiteral("Версия СУС"));
    EVer = Named(new QLineEdit(column), "EVer");
    EVer->setReadOnly(true);
    EVer->setMinimumWidth(EVer->fontMetrics().horizontalAdvance(QStringLiteral("$00$00$00")) + 16);
    ButNew = plainButton(column, "ButNew", QStringLiteral("Обновить СУС"));
    ButVer->setEnabled(false);
    ButNew->setEnabled(false);
    firmware->addWidget(ButVer);
    firmware->addWidget(EVer, 1);
    firmware->addWidget(ButNew);
    layout->addLayout(firmware);
    return column;
}

QWidget* TFNetTime::buildJournalColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    ReadYes =
        Named(new QCheckBox(QStringLiteral("Принимать любые пакеты на сети (режим перехватчика)"),
                            column),
              "ReadYes");
    ReadYes->setEnabled(false);  // until the adapter tells its version
    layout->addWidget(ReadYes);
    auto* logRow = new QHBoxLayout;
    SaveAppend =
        Named(new QCheckBox(QStringLiteral("Дописывать в существующий"), column), "SaveAppend");
    ButLog = plainButton(column, "ButLog", QStringLiteral("Выбрать файл..."));
    SaveAppend->setEnabled(false);
    ButLog->setEnabled(false);
    logRow->addWidget(SaveAppend);
    logRow->addStretch();
    logRow->addWidget(ButLog);
    layout->addLayout(logRow);

    ESend = spinEdit(column, "ESend", 0, INT_MAX, 0);
    ERead = spinEdit(column, "ERead", 0, INT_MAX, 0);
    auto counterRow = [column](const QString& caption, QSpinBox* counter) {
        counter->setReadOnly(true);
        counter->setButtonSymbols(QAbstractSpinBox::NoButtons);
        counter->setFixedWidth(90);
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(caption, column));
        row->addWidget(counter);
        row->addStretch();
        return row;
    };
    layout->addLayout(counterRow(QStringLiteral("Отправлено пакетов"), ESend));
    MemoSend = timeMemo(column, "MemoSend");
    layout->addWidget(MemoSend, 1);
    layout->addLayout(counterRow(QStringLiteral("Получено пакетов"), ERead));
    MemoRead = timeMemo(column, "MemoRead");
    layout->addWidget(MemoRead, 1);
    Memo2 = timeMemo(column, "Memo2");
    Memo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(Memo2, 1);
    sendView_ = MemoLinesView(MemoSend);
    readView_ = MemoLinesView(MemoRead);
    logView_ = MemoLinesView(Memo2);
    return column;
}

QHBoxLayout* TFNetTime::buildCommandRow() {
    auto* row = new QHBoxLayout;
    ButCnf = plainButton(this, "ButCnf", QStringLiteral("Папка КФ"));
    SpeedButton1 = plainButton(this, "SpeedButton1", QStringLiteral("?"));
    SpeedButton1->setToolTip(QStringLiteral("Помощь"));
    BitClose = plainButton(this, "BitClose", QStringLiteral("Закрыть"));
    row->addWidget(ButCnf);
    row->addStretch();
    row->addWidget(SpeedButton1);
    row->addWidget(BitClose);
    return row;
}

void TFNetTime::buildMenu() {
    auto* menu = new QMenuBar(this);
    NHelp = Named(new QAction(QStringLiteral("F1"), this), "NHelp");
    NHelp->setShortcut(QKeySequence(Qt::Key_F1));
    NReOpen = Named(new QAction(QStringLiteral("F5"), this), "NReOpen");
    NReOpen->setShortcut(QKeySequence(Qt::Key_F5));
    menu->addAction(NHelp);
    menu->addAction(NReOpen);
    static_cast<QVBoxLayout*>(layout())->setMenuBar(menu);
}

void TFNetTime::buildTimers() {
    auto timer = [this](const char* name, int intervalMs, bool once) {
        auto* t = Named(new QTimer(this), name);
        t->setInterval(intervalMs);
        t->setSingleShot(once);
        return t;
    };
    TmSend = timer("TmSend", 10000, true);
    TmRead = timer("TmRead", 5000, true);
    TimerAsinc = timer("TimerAsinc", kAsincFirstMs, false);
    TimerRestart = timer("TimerRestart", kRestartMs, true);
}

// ---------------------------------------------------------------- wiring

NetLinkHooks TFNetTime::linkHooks() {
    NetLinkHooks hooks;
    hooks.sleep = [this](int ms) {
        if (pauseForTests_)
            pauseForTests_(ms);
        else
            link_->AlertableSleep(ms);
    };
    hooks.nowMs = [this] {
        return clockForTests_ ? clockForTests_() : QDeadlineTimer::current().deadline();
    };
    hooks.processEvents = [this] {
        emit linkChanged();
        QCoreApplication::processEvents();
    };
    hooks.timerChanged = [this](NetTimer which, const NetTimerState& state) {
        QTimer* timer = timerFor(which);
        if (state.intervalMs > 0) timer->setInterval(state.intervalMs);
        if (state.enabled)
            timer->start();
        else
            timer->stop();
    };
    hooks.restartLink = [this] {
        emit restartAllowed();
        FormActivate();
    };
    return hooks;
}

QTimer* TFNetTime::timerFor(NetTimer timer) const {
    switch (timer) {
        case NetTimer::Asinc:
            return TimerAsinc;
        case NetTimer::Send:
            return TmSend;
        case NetTimer::Read:
            return TmRead;
        case NetTimer::Restart:
            break;
    }
    return TimerRestart;
}

void TFNetTime::wireControls() {
    connect(SReadInterval, &QSpinBox::valueChanged, this, &TFNetTime::SReadIntervalChange);
    connect(SReadTotalConstant, &QSpinBox::valueChanged, this,
            &TFNetTime::SReadTotalConstantChange);
    connect(SReadTotalMultiplier, &QSpinBox::valueChanged, this,
            &TFNetTime::SReadTotalMultiplierChange);
    connect(SWaitNet, &QSpinBox::valueChanged, this, &TFNetTime::applyLinkSettings);
    connect(CountRead, &QSpinBox::valueChanged, this, &TFNetTime::applyLinkSettings);
    connect(SaveAppend, &QCheckBox::toggled, this, &TFNetTime::applyLinkSettings);
    connect(ECom, &QLineEdit::textChanged, this, &TFNetTime::EComChange);
    connect(EVer, &QLineEdit::textChanged, this, &TFNetTime::EComChange);
    connect(ButVP, &QPushButton::clicked, this, &TFNetTime::ButVPClick);
    connect(ListCdev, &QListWidget::itemDoubleClicked, this, &TFNetTime::ListCdevDblClick);
    GridKeys::DoubleClickBy(ListCdev, GridKeys::kEnter);
    connect(ButSave, &QPushButton::clicked, this, &TFNetTime::ButSaveClick);
    connect(ButVer, &QPushButton::clicked, this, &TFNetTime::ButVerClick);
    connect(ButNew, &QPushButton::clicked, this, &TFNetTime::ButNewClick);
    connect(ReadYes, &QCheckBox::clicked, this, &TFNetTime::ReadYesClick);
    connect(ChCOM, &QCheckBox::clicked, this, &TFNetTime::ReadYesClick);
    connect(ButLog, &QPushButton::clicked, this, &TFNetTime::ButLogClick);
    connect(ButCnf, &QPushButton::clicked, this, &TFNetTime::ButCnfClick);
    connect(BitDef, &QPushButton::clicked, this, &TFNetTime::BitDefClick);
    connect(BitClose, &QPushButton::clicked, this, &TFNetTime::BitCloseClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFNetTime::NHelpClick);
    connect(NHelp, &QAction::triggered, this, &TFNetTime::NHelpClick);
    connect(NReOpen, &QAction::triggered, this, &TFNetTime::NReOpenClick);

    auto tick = [this](void (TNetLink::*step)()) {
        return [this, step] {
            RunTellingPortFault([this, step] { (link_.get()->*step)(); });
            emit linkChanged();
        };
    };
    connect(TimerAsinc, &QTimer::timeout, this, tick(&TNetLink::TimerAsincTick));
    connect(TmSend, &QTimer::timeout, this, tick(&TNetLink::TmSendTick));
    connect(TmRead, &QTimer::timeout, this, tick(&TNetLink::TmReadTick));
    connect(TimerRestart, &QTimer::timeout, this, tick(&TNetLink::TimerRestartTick));
    connect(this, &TFNetTime::linkChanged, this, &TFNetTime::ShowLinkState);
}

// The keys of sections Net and Log, in the ranges of their edits.
void TFNetTime::readSettingsFile() {
    IniFile ini;
    SettingsFile::Open(ini);
    const NetFormSettings saved = SettingsFile::ReadNet(ini);
    CountRead->setValue(saved.cr);
    ECom->setText(saved.cm);
    SWaitNet->setValue(saved.wn);
    ChCOM->setChecked(saved.lc);
    logFileName_ =
        ComparesAbove(saved.lg, QStringLiteral(" ")) ? saved.lg : NetSnifferLog::DefaultPath();
}

void TFNetTime::applyLinkSettings() {
    NetLinkSettings& s = link_->Settings;
    s.SWaitNet = SWaitNet->value();
    s.CountRead = CountRead->value();
    s.SnifferMode = ReadYes->isChecked();
    s.AppendLog = SaveAppend->isChecked();
    s.LogFileName = logFileName_;
}

void TFNetTime::ensureLogFolder() {
    const QString folder = QFileInfo(NetSnifferLog::ResolvePath(logFileName_)).absolutePath();
    QDir().mkpath(folder.isEmpty() ? AppPaths::UnderProgram(QStringLiteral("LOG/")) : folder);
}

// ---------------------------------------------------------------- state

void TFNetTime::ShowLinkState() {
    sendView_.Show(link_->MemoSend);
    readView_.Show(link_->MemoRead);
    logView_.Show(link_->FormLog);
    ESend->setValue(link_->ESend);
    ERead->setValue(link_->ERead);
    if (EVer->text() != link_->AdapterVersion) EVer->setText(link_->AdapterVersion);
    ReadYes->setEnabled(link_->SnifferAllowed);
    if (PanelVP->isEnabled() == link_->LinkRunning()) showPanelState();
    // The engine turns sniffer mode off when its log file cannot be opened.
    if (ReadYes->isChecked() && !link_->Settings.SnifferMode) {
        ReadYes->setChecked(false);
        readYesTag_ = 0;
        showReadYesTag();
    }
}

void TFNetTime::LinkStopped() {
    EVid->clear();
    EPid->clear();
    ButSave->setEnabled(false);
    ShowLinkState();
}

void TFNetTime::showPanelState() {
    const bool stopped = !link_->LinkRunning();
    PanelVP->setEnabled(stopped);
    // The panel's title says whether the adapter may be touched now.
    PanelVP->setStyleSheet(stopped ? QStringLiteral("QGroupBox { color: darkgreen; }")
                                   : QStringLiteral("QGroupBox { color: maroon; }"));
    if (!stopped) ButSave->setEnabled(false);
}

void TFNetTime::FormActivate() {
    showPanelState();
    ButVer->setEnabled(false);
    ButNew->setEnabled(false);
    ButLog->setEnabled(ReadYes->isChecked());
    ensureLogFolder();
    ShowLinkState();
}

bool TFNetTime::FormCloseQuery() {
    // A port opened only to read the adapter's version is given back.
    if (!link_->LinkRunning() && link_->BComNet.Connected())
        RunTellingPortFault([this] { link_->ReleasePort(); });
    return true;
}

void TFNetTime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TFNetTime::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    QDialog::closeEvent(event);
}

// Leaving the form for another window gives the port back, so the link can
// be started; a message or question of the form's own keeps it.
void TFNetTime::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() &&
        !QApplication::activeModalWidget())
        FormCloseQuery();
}

// ---------------------------------------------------------------- handlers

void TFNetTime::BitCloseClick() {
    AppHelp().CloseViewer();
    close();
}

void TFNetTime::BitDefClick() {
    SWaitNet->setValue(100);
    CountRead->setValue(3);
    if (ReadYes->isChecked()) {
        ReadYes->setChecked(false);
        ReadYesClick();
    }
    SReadInterval->setValue(-1);
    SReadTotalConstant->setValue(200);
    SReadTotalMultiplier->setValue(20);
    SWriteTotalConstant->setValue(500);
    SWriteTotalMultiplier->setValue(50);
}

void TFNetTime::EComChange() {
    ButVer->setEnabled(!ECom->text().isEmpty());
}

void TFNetTime::SReadIntervalChange() {
    RunTellingPortFault(
        [this] { link_->BComNet.Timeouts().SetReadInterval(SReadInterval->value()); });
}

void TFNetTime::SReadTotalConstantChange() {
    RunTellingPortFault(
        [this] { link_->BComNet.Timeouts().SetReadTotalConstant(SReadTotalConstant->value()); });
}

void TFNetTime::SReadTotalMultiplierChange() {
    RunTellingPortFault([this] {
        link_->BComNet.Timeouts().SetReadTotalMultiplier(SReadTotalMultiplier->value());
    });
}

std::optional<NetPortChoice> TFNetTime::FindNetPort() {
    WaitCursor wait;
    LabWait->show();
    LabWait->repaint();
    NetPortSearch search;
    search.ecom = ECom->text();
    search.autoDetect = ChCOM->isChecked();
    search.formVisible = isVisible();
    search.choose = [](const NetPortLists& lists, int preselected) {
        return FCOM ? FCOM->ChoosePort(lists.ports, preselected) : -1;
    };
    search.processEvents = [] { QCoreApplication::processEvents(); };
    const NetPortSearchResult result = ::FindNetPort(search);

    foundPorts_ = result.lists;
    ListCdev->clear();
    ListCdev->addItems(result.lists.ports);
    ListVdev->clear();
    ListVdev->addItems(result.lists.vids);
    ListPdev->clear();
    ListPdev->addItems(result.lists.pids);
    if (result.showInFields) {
        ECom->setText(result.chosen.port);
        EVid->setText(result.chosen.vid);
        EPid->setText(result.chosen.pid);
    }
    LabWait->hide();
    if (!result.found) return std::nullopt;
    // The adapter of a running link stays what the link was started with.
    if (!link_->LinkRunning()) link_->Adapter = result.chosen;
    return result.chosen;
}

void TFNetTime::ButVPClick() {
    const std::optional<NetPortChoice> found = FindNetPort();
    if (found) {
        ECom->setText(found->port);
        EVid->setText(found->vid);
        EPid->setText(found->pid);
    }
    ButSave->setEnabled(found.has_value() && PanelVP->isEnabled());
    EComChange();
    link_->FormLog.clear();
    ShowLinkState();
}

void TFNetTime::ListCdevDblClick() {
    const NetPortChoice line = foundPorts_.At(ListCdev->currentRow());
    if (line.port.isEmpty()) return;
    ECom->setText(line.port);
    EVid->setText(line.vid);
    EPid->setText(line.pid);
}

void TFNetTime::ButSaveClick() {
    if (!Dialogs::AskYesNo(
            QStringLiteral("ОСТОРОЖНО!!!"),
            QStringLiteral(
                "Сеть будет потеряна!!! Вы готовы изменить драйвер и переустановить его?")))
        return;
    // The adapter's port is opened anew, for this write alone.
    FormCloseQuery();
    {
        WaitCursor wait;
        WriteAdapterUsbIdentity(ECom->text().trimmed(), EVid->text(), EPid->text(),
                                link_->BComNet.Timeouts(), link_->FormLog);
    }
    ShowLinkState();
}

void TFNetTime::ButVerClick() {
    link_->AdapterVersion.clear();
    EVer->clear();
    const bool asked = RunTellingPortFault([this] {
        if (!link_->BComNet.Connected()) {
            link_->BComNet.SetPort(ECom->text().trimmed());
            link_->BComNet.Open();
        }
        WaitCursor wait;
        link_->AskAdapter(NetRequest::Class(kAdapterAddress));
    });
    ShowLinkState();
    if (!asked) return;
    if (link_->AdapterVersion == QLatin1String("$00$00$00")) link_->FormLog << kNoUpdateText;
    ButNew->setEnabled(!link_->AdapterVersion.isEmpty());
    ShowLinkState();
}

void TFNetTime::ButNewClick() {
    if (!Dialogs::AskYesNo(kAttention, QStringLiteral("Произвести перезапись АПП СУС??? "))) return;
    if (!Dialogs::AskYesNo(kAttention,
                           QStringLiteral(" Это ответственная операция! Продолжить? "))) {
        link_->FormLog << QStringLiteral("Отменено");
        ShowLinkState();
        return;
    }
    emit adapterUploadRequested();
}

void TFNetTime::showReadYesTag() {
    const bool on = readYesTag_ == 1;
    ButLog->setEnabled(on);
    SaveAppend->setEnabled(on);
    if (!on) ReadYes->setChecked(false);
}

void TFNetTime::ReadYesClick() {
    const int before = readYesTag_;
    if (ReadYes->isChecked() && !ComparesAbove(logFileName_, QStringLiteral(" "))) ChooseLogFile();
    readYesTag_ = ReadYes->isChecked() && ComparesAbove(logFileName_, QStringLiteral(" ")) ? 1 : 0;
    if (readYesTag_ == 0) ReadYes->setChecked(false);
    if (readYesTag_ == before) return;
    showReadYesTag();
    openNetLog();
}

// Tells the adapter which packets to pass and opens or closes the log file.
void TFNetTime::openNetLog() {
    applyLinkSettings();
    RunTellingPortFault([this] { link_->OpenNetLog(logFileName_); });
    ShowLinkState();
}

bool TFNetTime::ChooseLogFile() {
    const QString folder = QFileInfo(NetSnifferLog::ResolvePath(logFileName_)).absolutePath();
    const QString chosen = Dialogs::SaveFile(QStringLiteral("Файл для пакетов сети"), folder,
                                             QStringLiteral("Log файлы (*.log);;Все файлы (*)"));
    if (chosen.isEmpty()) return false;
    if (!QFileInfo::exists(chosen)) {
        // An empty file now; a folder that cannot hold it is told when the log opens.
        QFile file(chosen);
        if (file.open(QIODevice::WriteOnly)) file.close();
    }
    logFileName_ = chosen;
    applyLinkSettings();
    return true;
}

void TFNetTime::ButLogClick() {
    if (ChooseLogFile()) {
        openNetLog();
        return;
    }
    ReadYes->setChecked(false);
    ReadYesClick();
}

void TFNetTime::ButCnfClick() {
    const QString folder = NetFolders::WriteFolder(dbFolder_, FDM);
    QDir().mkpath(folder);
    Dialogs::OpenFile(QStringLiteral("Конфигурационные файлы объекта"), folder,
                      QStringLiteral("Конфигурационные файлы (*.bin);;Все файлы (*)"));
}

void TFNetTime::NHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFNetTime::NReOpenClick() {
    if (MainWindowHost* host = MainHost()) {
        host->MReOpenClick();
        return;
    }
    QString reason;
    if (!MainWindowData::OpenAllTables(ProgressGauge(), &reason) && !reason.isEmpty())
        Dialogs::Error(QStringLiteral("Ошибка"), reason);
}

// ---------------------------------------------------------------- service

NetFormSettings TFNetTime::Settings() const {
    NetFormSettings s;
    s.cr = CountRead->value();
    s.cm = ECom->text();
    s.wn = SWaitNet->value();
    s.lc = ChCOM->isChecked();
    s.lg = logFileName_;
    return s;
}

void TFNetTime::StopTimersForExit() {
    TimerRestart->stop();
    TimerAsinc->stop();
}

bool TFNetTime::NetworkRunning() const {
    return link_->LinkRunning();
}

bool TFNetTime::CloseNetPort(bool showAnswer) {
    return link_->CloseNetPort(showAnswer);
}

// The devices found belong to the installation of the old folder.
void TFNetTime::ChangeDatabaseFolder(const QString& folder) {
    dbFolder_ = folder;
    ListPdev->setToolTip(folder);
    link_->Tables.ClearAll();
    QStringList& found = link_->DeviceList;
    const bool portLine = !found.isEmpty() && found.first().startsWith(QStringLiteral("Порт:="));
    found = portLine ? QStringList{found.first()} : QStringList();
    emit linkChanged();
}
