#include "devices/ui/TFbvEdit.h"

#include "devices/DeviceChange.h"
#include "devices/HandsetIndex.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/SerialNumberField.h"
#include "devices/ui/TFbvApp.h"
#include "devices/ui/TFbvReCount.h"
#include "foundation/HelpLauncher.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/GridKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

TFbvEdit* FbvEdit = nullptr;

namespace {

const QString kPanelEditCaption = QStringLiteral("Общие параметры БВ. Редактирование.");
constexpr int kCodeColumns = 5;
const QString kSaveForEntrances = QStringLiteral("Сохранить для всех БВ подъездов");
const QString kSaveForGates = QStringLiteral("Сохранить для всех БВ калиток");

qint64 CurrentPanelId() {
    if (!FDM || !HasCurrentRow(FDM->Q_bv)) return 0;
    return FDM->Q_bv->FieldByName(QStringLiteral("id_bv")).AsLargeInt();
}

QComboBox* MakeLookup(QWidget* parent, const char* name, int rows) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setMaxVisibleItems(rows);
    // Its items come from the file: the longest of them does not set its width.
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(ElidedLabel::kLeastCharacters * 2);
    return c;
}

// Selects the item holding value, or none.
void SelectData(QComboBox* box, const QVariant& value) {
    box->setCurrentIndex(box->findData(value));
}

}  // namespace

TFbvEdit::TFbvEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvEdit"));
    setWindowTitle(kPanelEditCaption);
    auto* halves = new QHBoxLayout;
    halves->addWidget(buildCommonPane(), 1);
    halves->addWidget(buildIndividualPane(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHeader());
    layout->addLayout(halves);
    layout->addWidget(buildButtons());
    layout->addWidget(buildSwitchGrid(), 1);
    resize(1000, 720);
    auto* enter = new EnterMovesFocus(this);
    for (QWidget* w : findChildren<QWidget*>())
        if (qobject_cast<QSpinBox*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QComboBox*>(w) || w == E_SN)
            enter->Watch(w);
    if (FDM && FDM->Connected()) FDM->Q_Kvr1->Reopen();
    CloseWhenGroundMoves(this, &held_);
}

TFbvEdit::~TFbvEdit() = default;

QWidget* TFbvEdit::buildHeader() {
    auto* header = new QWidget(this);
    TxName = MakeNameLabel(header, "TxName", QString());
    TxNumber = MakeLabel(header, "TxNumber", QString());
    QFont bold = TxName->font();
    bold.setBold(true);
    TxName->setFont(bold);
    TxNumber->setFont(bold);
    BtnUp = new QToolButton(header);
    BtnUp->setObjectName(QStringLiteral("BtnUp"));
    BtnUp->setArrowType(Qt::UpArrow);
    BtnDown = new QToolButton(header);
    BtnDown->setObjectName(QStringLiteral("BtnDown"));
    BtnDown->setArrowType(Qt::DownArrow);
    connect(BtnUp, &QToolButton::clicked, this, &TFbvEdit::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFbvEdit::BtnDownClick);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    ElidedLabel::AddToRow(layout, TxName);
    layout->addSpacing(20);
    layout->addWidget(TxNumber);
    layout->addStretch();
    layout->addWidget(BtnUp);
    layout->addWidget(BtnDown);
    return header;
}

QWidget* TFbvEdit::buildCommonPane() {
    auto* pane = new QGroupBox(QStringLiteral("Общие параметры"), this);
    SL = MakeSpin(pane, "SL", 0, 15, 8);
    OT = MakeSpin(pane, "OT", 1, 16, 5);
    CB01 = MakeCheck(pane, "CB01", QStringLiteral("01"));
    CB01->setChecked(true);
    CB01->setEnabled(false);  // direct calls are always allowed
    Bell = MakeCheck(pane, "Bell", QStringLiteral("02"));
    Auto = MakeCheck(pane, "Auto", QStringLiteral("разрешение автодобавления ключей"));
    Nrcs = MakeCheck(pane, "Nrcs",
                     QStringLiteral("переадресация при неправильном наборе кода вызова на ППО"));
    DSoc = MakeCheck(pane, "DSoc", QStringLiteral("секретное отображение кодов открывания"));
    PH_0 =
        MakeCheck(pane, "PH_0", QStringLiteral("автоматическое управление подсветкой выключено"));
    PH_1 = MakeCheck(pane, "PH_1", QStringLiteral("подсветка включена"));
    Scud = MakeCheck(pane, "Scud", QStringLiteral("Включение журнализации"));
    FArc = MakeCheck(pane, "FArc", QStringLiteral("Упакованные коды вызова"));
    connect(PH_0, &QCheckBox::clicked, this, &TFbvEdit::PH_0Click);

    auto* form = new QFormLayout;
    form->addRow(SL, new QLabel(QStringLiteral("уровень звука (условные баллы)"), pane));
    form->addRow(OT, new QLabel(QStringLiteral("время открывания двери (сек)"), pane));
    form->addRow(CB01,
                 new QLabel(QStringLiteral("прямой вызов, флаг глобального разрешения"), pane));
    form->addRow(Bell, new QLabel(QStringLiteral("отзвонка , флаг глобального разрешения"), pane));
    auto* layout = new QVBoxLayout(pane);
    layout->addLayout(form);
    for (QCheckBox* c : {Auto, Nrcs, DSoc, PH_0, PH_1, Scud, FArc}) layout->addWidget(c);
    layout->addStretch();
    return pane;
}

QWidget* TFbvEdit::buildIndividualPane() {
    auto* pane = new QGroupBox(QStringLiteral("Индивидуальные параметры"), this);
    CBkns = MakeCheck(pane, "CBkns", QStringLiteral("Кнопка вызова ПО адресована трубке подъезда"));
    DBkv = MakeLookup(pane, "DBkv", 20);
    CBpo = MakeCheck(pane, "CBpo", QStringLiteral("Кнопка вызова ПО адресована ППО"));
    LabelCPK = MakeLabel(pane, "LabelCPK", QStringLiteral("Номер КМ"));
    CPK = MakeLookup(pane, "CPK", 15);
    LabelADRCS = MakeLabel(pane, "LabelADRCS", QStringLiteral("Номер трубки для ППО"));
    ADRCS = MakeSpin(pane, "ADRCS", -1, 1025, -1);
    E_SN = new QLineEdit(pane);
    E_SN->setObjectName(QStringLiteral("E_SN"));
    MakeSerialNumberField(E_SN, SerialNumber::Kind::CallPanel);
    BitAppr = MakeButton(pane, "BitAppr", QStringLiteral("Аппаратные настройки"));
    connect(CBkns, &QCheckBox::clicked, this, &TFbvEdit::CBknsClick);
    connect(CBpo, &QCheckBox::clicked, this, &TFbvEdit::CBpoClick);
    connect(CPK, &QComboBox::activated, this, &TFbvEdit::CPKExit);
    connect(DBkv, &QComboBox::activated, this, &TFbvEdit::DBkvExit);
    connect(E_SN, &QLineEdit::editingFinished, this, &TFbvEdit::E_SNExit);
    connect(BitAppr, &QPushButton::clicked, this, &TFbvEdit::BitApprClick);

    auto* grid = new QGridLayout;
    grid->addWidget(CBkns, 0, 0, 1, 2);
    grid->addWidget(DBkv, 1, 0, 1, 2);
    grid->addWidget(CBpo, 2, 0, 1, 2);
    grid->addWidget(LabelCPK, 3, 0);
    grid->addWidget(CPK, 3, 1);
    grid->addWidget(LabelADRCS, 4, 0);
    grid->addWidget(ADRCS, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Коды открывания двери до 10 кодов:"), pane), 5, 0, 1,
                    2);
    grid->addWidget(buildOpenCodes(pane), 6, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Серийный № БВ"), pane), 7, 0);
    grid->addWidget(E_SN, 7, 1);
    grid->addWidget(BitAppr, 8, 0, 1, 2);
    auto* layout = new QVBoxLayout(pane);
    layout->addLayout(grid);
    layout->addStretch();
    return pane;
}

QWidget* TFbvEdit::buildOpenCodes(QWidget* parent) {
    Ocode = new KeyboardGrid<QTableWidget>(kOpenCodeCount / kCodeColumns, kCodeColumns, parent);
    Ocode->setObjectName(QStringLiteral("Ocode"));
    Ocode->horizontalHeader()->hide();
    Ocode->verticalHeader()->hide();
    Ocode->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Ocode->setSelectionMode(QAbstractItemView::SingleSelection);
    Ocode->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Ocode->verticalHeader()->setDefaultSectionSize(26);
    Ocode->setFixedHeight(2 * 26 + 2 * Ocode->frameWidth());
    for (int i = 0; i < kOpenCodeCount; ++i) {
        auto* cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        Ocode->setItem(i / kCodeColumns, i % kCodeColumns, cell);
    }
    Ocode->installEventFilter(this);
    connect(Ocode, &QTableWidget::currentCellChanged, this, [this] { ocodeFresh_ = true; });
    return Ocode;
}

QWidget* TFbvEdit::buildButtons() {
    auto* pane = new QWidget(this);
    BitSave = MakeButton(pane, "BitSave", QStringLiteral("Сохранить данные БВ"));
    BitSavePk =
        MakeButton(pane, "BitSavePk", QStringLiteral("Сохранить для всех БВ данного подъезда"));
    BitSaveOb = MakeButton(pane, "BitSaveOb", QStringLiteral("Сохранить для всех БВ объекта"));
    BitSaveDm = MakeButton(pane, "BitSaveDm", kSaveForEntrances);
    BitDeEdit = MakeButton(pane, "BitDeEdit", QStringLiteral("№ трубки для ППО"));
    ButHelp = MakeButton(pane, "ButHelp", QStringLiteral("Помощь"));
    ButExit = MakeButton(pane, "ButExit", QStringLiteral("Закрыть"));
    connect(BitSave, &QPushButton::clicked, this, &TFbvEdit::BitSaveClick);
    connect(BitSavePk, &QPushButton::clicked, this, &TFbvEdit::BitSavePkClick);
    connect(BitSaveOb, &QPushButton::clicked, this, &TFbvEdit::BitSaveObClick);
    connect(BitSaveDm, &QPushButton::clicked, this, &TFbvEdit::BitSaveDmClick);
    connect(BitDeEdit, &QPushButton::clicked, this, &TFbvEdit::BitDeEditClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFbvEdit::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFbvEdit::ButExitClick);
    auto* layout = new QGridLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BitSave, 0, 0);
    layout->addWidget(BitSavePk, 0, 1);
    layout->addWidget(BitDeEdit, 0, 2);
    layout->addWidget(ButHelp, 0, 4);
    layout->addWidget(BitSaveOb, 1, 0);
    layout->addWidget(BitSaveDm, 1, 1);
    layout->addWidget(ButExit, 1, 4);
    layout->setColumnStretch(3, 1);
    return pane;
}

QWidget* TFbvEdit::buildSwitchGrid() {
    DBGrid1 = MakeDatasetGrid(this, "DBGrid1", FDM ? FDM->Q_Bpk : nullptr,
                              {{QStringLiteral("k.n_net"), QStringLiteral("C адрес КМ")},
                               {QStringLiteral("p.n_pod"), QStringLiteral("№ подъезда")},
                               {QStringLiteral("n1kvr"), QStringLiteral("1 кв")},
                               {QStringLiteral("npkvr"), QStringLiteral("Посл.кв.")},
                               {QStringLiteral("p.v_kvr"), QStringLiteral("К-во кв.")},
                               {QStringLiteral("type_n"), QStringLiteral("Гостин.№")},
                               {QStringLiteral("d.kod_d"), QStringLiteral("Префикс д.")},
                               {QStringLiteral("house"), QStringLiteral("Дом №")},
                               {QStringLiteral("ai"), QStringLiteral("AI")},
                               {QStringLiteral("ah"), QStringLiteral("AH")},
                               {QStringLiteral("p_fc"), QStringLiteral("FC")}});
    DBGrid1->installEventFilter(this);
    return DBGrid1;
}

// ---------------------------------------------------------------- showing a panel

void TFbvEdit::showEvent(QShowEvent* event) {
    if (FDM && FDM->Connected()) {
        if (SnTag > 0) FDM->Q_MNbv->SetRecNo(SnTag);
        // Opened from the menu the form shows the current panel at once.
        if (!editor_ || editor_->PanelId() != CurrentPanelId() || !held_.Stands()) LoadPanel();
    }
    QDialog::showEvent(event);
}

void TFbvEdit::closeEvent(QCloseEvent* event) {
    if (FDM) FDM->Q_Kvr1->Close();
    QDialog::closeEvent(event);
}

void TFbvEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && FDM)
        SnTag = FDM->Q_MNbv->RecNo();
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
}

void TFbvEdit::LoadPanel() {
    const qint64 idBv = CurrentPanelId();
    if (idBv == 0) return;
    FDM->Q_Kvr1->Reopen();
    auto editor = std::make_unique<CallPanelEditor>(FDM->ConnectionDB());
    if (!editor->LoadPanel(idBv)) {
        ReportFailure(editor->Error());
        return;
    }
    editor_ = std::move(editor);
    held_ = HeldRows::OfPanel(idBv);
    setWindowTitle(held_.Title(kPanelEditCaption));
    const int recNo = FDM->Q_bv->RecNo();
    BtnUp->setEnabled(recNo > 1);
    BtnDown->setEnabled(recNo < FDM->Q_bv->RecordCount());
    showView();
}

// Puts the list on the panel and loads it.
void TFbvEdit::showPanel(qint64 idBv) {
    FDM->Q_bv->Locate(QStringLiteral("id_bv"), idBv);
    LoadPanel();
}

void TFbvEdit::showView() {
    const PanelEditorView& v = editor_->View();
    const CallPanelRecord& r = editor_->Stored();
    TxName->setText(r.name);
    TxNumber->setText(QString::number(r.nNt0));
    SL->setValue(v.common.sl);
    OT->setValue(v.common.ot);
    Bell->setChecked(v.common.bell);
    Auto->setChecked(v.common.autoKeys);
    Nrcs->setChecked(v.common.nrcs);
    DSoc->setChecked(!v.common.dsoc);
    PH_0->setChecked(v.common.ph0);
    PH_1->setChecked(v.common.ph1);
    PH_1->setEnabled(v.ph1Enabled);
    Scud->setChecked(v.common.scud);
    FArc->setChecked(v.common.farc);
    E_SN->setText(v.serial);
    showOpenCodes();
    BitSaveDm->setText(v.gate ? kSaveForGates : kSaveForEntrances);
    CBpo->setChecked(v.individual.console);
    CBpo->setEnabled(v.consoleEnabled);
    for (QWidget* w : {static_cast<QWidget*>(CBpo), static_cast<QWidget*>(LabelCPK),
                       static_cast<QWidget*>(LabelADRCS)})
        DrawGrey(w, !v.gateLabelsNormal);
    CBkns->setChecked(v.individual.concierge);
    DrawGrey(CBkns, !v.handsetEnabled);
    ADRCS->setValue(v.individual.adrcs);
    ADRCS->setEnabled(v.indexEnabled);
    BitSavePk->setEnabled(v.entranceCopyEnabled);
    showSwitchChoice();
    showHandsetChoice();
    followSwitchInDatasets();
}

void TFbvEdit::showSwitchChoice() {
    CPK->clear();
    for (const WiredSwitch& sw : editor_->Switches())
        CPK->addItem(QString::number(sw.nNet), sw.idPk);
    SelectData(CPK, editor_->View().individual.adrpk);
    CPK->setEnabled(editor_->View().switchEnabled);
}

void TFbvEdit::showHandsetChoice() {
    DBkv->clear();
    for (const EntranceRow& row : editor_->HandsetRows()) DBkv->addItem(row.nKvr, row.pNom);
    SelectData(DBkv, editor_->View().individual.adrcs);
    DBkv->setEnabled(editor_->View().handsetEnabled);
}

void TFbvEdit::showOpenCodes() {
    const QStringList& codes = editor_->View().individual.openCodes;
    for (int i = 0; i < kOpenCodeCount; ++i)
        Ocode->item(i / kCodeColumns, i % kCodeColumns)->setText(codes.value(i));
}

// The wired-switch grid and the data module's switch lists stand on the
// switch the handset is reached through.
void TFbvEdit::followSwitchInDatasets() {
    const QVariant idPk = CPK->currentIndex() >= 0 ? CPK->currentData() : QVariant();
    if (!idPk.isValid()) return;
    FDM->Q_Bpo->Locate(QStringLiteral("k.id_pk"), idPk);
    FDM->Q_Bpk->Locate(QStringLiteral("k.id_pk"), idPk);
}

void TFbvEdit::readControls() {
    if (!editor_) return;
    PanelEditorView& v = editor_->View();
    v.common = {SL->value(),       OT->value(),        Bell->isChecked(), Auto->isChecked(),
                Nrcs->isChecked(), !DSoc->isChecked(), PH_0->isChecked(), PH_1->isChecked(),
                Scud->isChecked(), FArc->isChecked()};
    v.individual.concierge = CBkns->isChecked();
    v.individual.console = CBpo->isChecked();
    if (CPK->currentIndex() >= 0) v.individual.adrpk = CPK->currentData().toLongLong();
    v.individual.adrcs = ADRCS->value();
    for (int i = 0; i < kOpenCodeCount; ++i)
        v.individual.openCodes[i] = Ocode->item(i / kCodeColumns, i % kCodeColumns)->text();
}

// ---------------------------------------------------------------- the boxes and choices

void TFbvEdit::CBknsClick() {
    if (!editor_) return;
    readControls();
    editor_->SetConcierge(CBkns->isChecked());
    showView();
}

void TFbvEdit::CBpoClick() {
    if (!editor_) return;
    readControls();
    editor_->SetConsole(CBpo->isChecked());
    showView();
}

void TFbvEdit::PH_0Click() {
    PH_1->setEnabled(PH_0->isChecked());
}

void TFbvEdit::CPKExit() {
    if (!editor_) return;
    readControls();
    editor_->ChooseSwitch();
    showView();
}

void TFbvEdit::DBkvExit() {
    if (!editor_ || DBkv->currentIndex() < 0) return;
    readControls();
    editor_->ChooseHandset(DBkv->currentData().toInt());
    showView();
}

void TFbvEdit::E_SNExit() {
    if (!editor_ || leavingSerial_) return;
    if (E_SN->text().trimmed() != editor_->Stored().serial.trimmed() && !held_.StillThere()) {
        E_SN->setText(editor_->Stored().serial);
        return;
    }
    leavingSerial_ = true;
    const SerialExitResult out = editor_->LeaveSerialField(E_SN->text());
    if (out.outcome == SerialExit::Failed) ReportFailure(out.error);
    if (out.outcome == SerialExit::JumpTo) {
        showPanel(out.otherId);
    } else {
        E_SN->setText(out.shown);
        const qint64 idBv = editor_->PanelId();
        FDM->Q_bv->Reopen();
        FDM->Q_bv->Locate(QStringLiteral("id_bv"), idBv);
    }
    leavingSerial_ = false;
}

// ---------------------------------------------------------------- saves

void TFbvEdit::BitSaveClick() {
    if (!editor_) return;
    readControls();
    const PanelWrite w = WriteHeld<PanelWrite>(held_, [this] { return editor_->SavePanel(); });
    if (refusedAsGone(w.ok, w.error)) return;
    const qint64 idBv = editor_->PanelId();
    FDM->ReopenCallBlocks();
    showPanel(idBv);
}

// A save refused because a row shown is gone (told already) leaves the window
// on its rows; a failure is told here.
bool TFbvEdit::refusedAsGone(bool ok, const QString& error) {
    if (ok) return false;
    if (error.isEmpty()) return true;
    ReportFailure(error);
    return false;
}

// The end of every batch save: the lists read again, back on the edited panel.
void TFbvEdit::afterBatch() {
    const qint64 idBv = editor_->PanelId();
    FDM->ReopenCallBlocks();
    FDM->Q_bv->Locate(QStringLiteral("id_bv"), idBv);
}

void TFbvEdit::BitSavePkClick() {
    if (!editor_ || editor_->Stored().Gate()) return;
    readControls();
    const PanelBatch b =
        WriteHeld<PanelBatch>(held_, [this] { return editor_->CopyToEntrance(BusyProgress()); });
    if (refusedAsGone(b.ok, b.error)) return;
    afterBatch();
    LoadPanel();
}

void TFbvEdit::saveCommonParams(bool thisKindOnly, const QString& question) {
    if (!editor_ || !held_.StillThere() ||
        !Dialogs::AskYesNo(QStringLiteral("Подтверждение"), question))
        return;
    readControls();
    const PanelBatch b = WriteHeld<PanelBatch>(
        held_, [&] { return editor_->SaveCommonToPanels(thisKindOnly, BusyProgress()); });
    if (refusedAsGone(b.ok, b.error)) return;
    afterBatch();
    showView();
}

void TFbvEdit::BitSaveObClick() {
    saveCommonParams(false, QStringLiteral("Запишем общие параметры во все БВ?"));
}

void TFbvEdit::BitSaveDmClick() {
    saveCommonParams(true, QStringLiteral("Запишем общие параметры в БВ этого типа?"));
}

void TFbvEdit::BitDeEditClick() {
    if (!held_.StillThere() ||
        !Dialogs::AskYesNo(QStringLiteral("Пакетная операция"),
                           QStringLiteral("Пересчитать индексы трубок?")) ||
        !FbvReCount || FbvReCount->exec() != QDialog::Accepted)
        return;
    const std::optional<HandsetIndexMode> mode = FbvReCount->ChosenMode();
    if (!mode) {
        Dialogs::Message(QStringLiteral("Отмена операции"), QStringLiteral("Выбор не сделан."),
                         DlgButtons::Ok, DlgIcon::Warning);
        return;
    }
    const RecountResult r =
        RecountObjectIndices(held_.Id(QStringLiteral("k_net")), *mode, BusyProgress(), held_);
    if (!r.ok && r.error.isEmpty()) return;  // a row shown is gone: told
    LoadPanel();
}

// The dialog shows the panel shown here; one gone meanwhile is not saved.
void TFbvEdit::BitApprClick() {
    if (!editor_ || !FbvApp || !held_.StillThere()) return;
    const qint64 idBv = editor_->PanelId();
    FDM->Q_bv->Locate(QStringLiteral("id_bv"), idBv);
    if (FbvApp->exec() != QDialog::Accepted) return;
    const PanelWrite w = WriteHeld<PanelWrite>(
        held_, [&] { return EditHardware(FDM->ConnectionDB(), idBv, FbvApp->Values()); });
    refusedAsGone(w.ok, w.error);
    if (w.written) {
        FDM->Q_bv->Reopen();
        FDM->Q_bv->Locate(QStringLiteral("id_bv"), idBv);
    }
}

// ---------------------------------------------------------------- moving

void TFbvEdit::BtnUpClick() {
    if (!FDM || !HasCurrentRow(FDM->Q_bv)) return;
    const int recNo = FDM->Q_bv->RecNo();
    if (recNo <= 1) {
        BtnUp->setEnabled(false);
        return;
    }
    FDM->Q_bv->SetRecNo(recNo - 1);
    LoadPanel();
}

void TFbvEdit::BtnDownClick() {
    if (!FDM || !HasCurrentRow(FDM->Q_bv)) return;
    const int recNo = FDM->Q_bv->RecNo();
    if (recNo >= FDM->Q_bv->RecordCount()) {
        BtnDown->setEnabled(false);
        return;
    }
    FDM->Q_bv->SetRecNo(recNo + 1);
    LoadPanel();
}

void TFbvEdit::ButExitClick() {
    close();
}

void TFbvEdit::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

// ---------------------------------------------------------------- keys

void TFbvEdit::moveToCode(int index) {
    index = qBound(0, index, kOpenCodeCount - 1);
    Ocode->setCurrentCell(index / kCodeColumns, index % kCodeColumns);
    ocodeFresh_ = true;
}

// Typing into the open-code cells: digits only, five at most, then the next
// cell; Enter moves on, Backspace takes the last digit back. Tab and
// Shift+Tab leave the codes, as they leave every grid.
bool TFbvEdit::ocodeKey(QKeyEvent* key) {
    const int at = qMax(0, Ocode->currentRow()) * kCodeColumns + qMax(0, Ocode->currentColumn());
    QTableWidgetItem* cell = Ocode->item(at / kCodeColumns, at % kCodeColumns);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            moveToCode(at + 1);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        case Qt::Key_Backspace:
            cell->setText(cell->text().chopped(cell->text().isEmpty() ? 0 : 1));
            ocodeFresh_ = false;
            return true;
        case Qt::Key_Escape:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return false;
        default:
            break;
    }
    const QString typed = key->text();
    if (typed.size() != 1 || typed[0] < QLatin1Char('0') || typed[0] > QLatin1Char('9'))
        return true;
    const QString text = (ocodeFresh_ ? QString() : cell->text()) + typed;
    ocodeFresh_ = false;
    if (text.size() > kOpenCodeLength) return true;
    cell->setText(text);
    if (text.size() == kOpenCodeLength) moveToCode(at + 1);
    return true;
}

bool TFbvEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == Ocode) return ocodeKey(key);
        if (watched == DBGrid1) return key->key() == Qt::Key_Delete;
    }
    return QDialog::eventFilter(watched, event);
}
