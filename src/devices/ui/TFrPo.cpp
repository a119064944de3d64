#include "devices/ui/TFrPo.h"

#include "devices/ui/FormControls.h"
#include "devices/ui/SerialNumberField.h"
#include "devices/ui/SlideTextField.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFpoAppr.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/TimeField.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

const QString kSaveForApartments = QStringLiteral("Сохранить для всех квартир");

QSlider* MakeVolume(QWidget* parent, const char* name) {
    auto* t = new QSlider(Qt::Horizontal, parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setRange(0, 15);
    t->setValue(8);
    t->setTickPosition(QSlider::TicksBelow);
    return t;
}

QTimeEdit* MakeTime(QWidget* parent, const char* name) {
    auto* t = new TimeField(parent);
    t->setObjectName(QString::fromLatin1(name));
    return t;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(width);
    return e;
}

// A spin and its track bar show one volume.
void Link(QSpinBox* spin, QSlider* track) {
    QObject::connect(spin, &QSpinBox::valueChanged, track, &QSlider::setValue);
    QObject::connect(track, &QSlider::valueChanged, spin, &QSpinBox::setValue);
}

}  // namespace

TFrPo::TFrPo(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrPo1"), QStringLiteral("Конфигурирование пульта поста охраны"),
                   parent) {
    auto* grid = new QGridLayout;
    grid->addWidget(buildObjectPane(), 0, 0);
    grid->addWidget(buildSignalsPane(), 0, 1, 2, 1);
    grid->addWidget(buildTimeoutsPane(), 1, 0);
    grid->addWidget(buildTextsPane(), 0, 2);
    grid->addWidget(buildMelodyPane(), 1, 2);
    BitSavePo = MakeButton(this, "BitSavePo", QStringLiteral("Сохранить для ППО"));
    LabelSaving = MakeLabel(this, "LabelSaving", QStringLiteral("Сохранение..."));
    LabelSaving->hide();
    connect(BitSavePo, &QPushButton::clicked, this, &TFrPo::BitSavePoClick);
    auto* save = new QHBoxLayout;
    save->addWidget(BitSavePo);
    save->addWidget(LabelSaving);
    save->addStretch();
    QVBoxLayout* content = ContentLayout();
    content->addLayout(grid);
    content->addLayout(save);
    content->addStretch();
    // Another object or file: the fields show its console, nothing typed is kept.
    DropWorkWhenGroundMoves(this, [this] { LoadSecurityPost(); });
}

QWidget* TFrPo::buildObjectPane() {
    auto* pane = new QGroupBox(QStringLiteral("Объект"), this);
    CBOv = MakeCheck(pane, "CBOv", QStringLiteral("Обратный вызов"));
    CBOv->setChecked(true);
    BitSaveObr = MakeButton(pane, "BitSaveObr", kSaveForApartments);
    CBPnp = MakeCheck(pane, "CBPnp", QStringLiteral("Перенаправление вызова"));
    CBPnp->setChecked(true);
    BitSavePnp = MakeButton(pane, "BitSavePnp", kSaveForApartments);
    FArc = MakeCheck(pane, "FArc", QStringLiteral("Упакованные коды вызовов"));
    E_pPo = MakeEdit(pane, "E_pPo", kConsoleCodeLength);
    E_pPo->setText(QStringLiteral("000"));
    E_pPo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), E_pPo));
    BitSaveKod = MakeButton(pane, "BitSaveKod", QStringLiteral("Сохранить для всех подъездов"));
    connect(CBOv, &QCheckBox::clicked, this, &TFrPo::CBOvClick);
    connect(CBPnp, &QCheckBox::clicked, this, &TFrPo::CBPnpClick);
    connect(FArc, &QCheckBox::clicked, this, &TFrPo::FArcClick);
    connect(BitSaveObr, &QPushButton::clicked, this, &TFrPo::BitSaveObrClick);
    connect(BitSavePnp, &QPushButton::clicked, this, &TFrPo::BitSavePnpClick);
    connect(BitSaveKod, &QPushButton::clicked, this, &TFrPo::BitSaveKodClick);
    auto* layout = new QGridLayout(pane);
    layout->addWidget(CBOv, 0, 0);
    layout->addWidget(BitSaveObr, 0, 1);
    layout->addWidget(CBPnp, 1, 0);
    layout->addWidget(BitSavePnp, 1, 1);
    layout->addWidget(FArc, 2, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Общий код вызова ППО"), pane), 3, 0);
    layout->addWidget(E_pPo, 3, 1);
    layout->addWidget(BitSaveKod, 4, 0, 1, 2);
    return pane;
}

QWidget* TFrPo::buildSignalsPane() {
    auto* pane = new QGroupBox(QStringLiteral("Пульт"), this);
    E_Vss = MakeSpin(pane, "E_Vss", 0, 15, 8);
    T_Vss = MakeVolume(pane, "T_Vss");
    E_Vmv = MakeSpin(pane, "E_Vmv", 0, 15, 8);
    T_Vmv = MakeVolume(pane, "T_Vmv");
    Link(E_Vss, T_Vss);
    Link(E_Vmv, T_Vmv);
    TimeD = MakeTime(pane, "TimeD");
    TimeN = MakeTime(pane, "TimeN");
    ChMs = new KeyboardGrid<QListWidget>(pane);
    ChMs->setObjectName(QStringLiteral("ChMs"));
    auto* first = new QListWidgetItem(QStringLiteral("КМ"), ChMs);
    first->setFlags(first->flags() | Qt::ItemIsUserCheckable);
    first->setCheckState(Qt::Unchecked);
    auto volume = [](QSpinBox* spin, QSlider* track) {
        auto* row = new QHBoxLayout;
        row->addWidget(spin);
        row->addWidget(track, 1);
        return row;
    };
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(QStringLiteral("Громкость служебных сигналов"), volume(E_Vss, T_Vss));
    form->addRow(QStringLiteral("Громкость мелодий вызова"), volume(E_Vmv, T_Vmv));
    form->addRow(QStringLiteral("Время перехода в режим \"день\""), TimeD);
    form->addRow(QStringLiteral("Время перехода в режим \"ночь\""), TimeN);
    form->addRow(QStringLiteral("Маска активных камер"), ChMs);
    auto* layout = new QVBoxLayout(pane);
    layout->addLayout(form);
    return pane;
}

QWidget* TFrPo::buildTimeoutsPane() {
    auto* pane = new QGroupBox(QStringLiteral("Таймауты (сек)"), this);
    Ncam = MakeSpin(pane, "Ncam", 1, 255, 5);
    Scam = MakeSpin(pane, "Scam", 1, 255, 60);
    Rmto = MakeSpin(pane, "Rmto", 1, 255, 90);
    Dpto = MakeSpin(pane, "Dpto", 1, 255, 60);
    Clha = MakeSpin(pane, "Clha", 1, 255, 40);
    Cldp = MakeSpin(pane, "Cldp", 1, 255, 30);
    Talk = MakeSpin(pane, "Talk", 1, 255, 60);
    Frmi = MakeSpin(pane, "Frmi", 0, 5, 3);
    Frmi->installEventFilter(this);
    auto* form = new QFormLayout(pane);
    form->addRow(QStringLiteral("между камерами панорамы"), Ncam);
    form->addRow(QStringLiteral("на выбранной камере"), Scam);
    form->addRow(QStringLiteral("обратных вызовов"), Rmto);
    form->addRow(QStringLiteral("прямых вызовов"), Dpto);
    form->addRow(QStringLiteral("вызова жильца"), Clha);
    form->addRow(QStringLiteral("вызова оператора"), Cldp);
    form->addRow(QStringLiteral("разговора"), Talk);
    form->addRow(QStringLiteral("Позиция шаблонного знака"), Frmi);
    return pane;
}

QWidget* TFrPo::buildTextsPane() {
    auto* pane = new QGroupBox(QStringLiteral("Слайды"), this);
    Sobj1 = MakeEdit(pane, "Sobj1", kSlideWidth);
    Sobj2 = MakeEdit(pane, "Sobj2", kSlideWidth);
    Sus1 = MakeEdit(pane, "Sus1", kSlideWidth);
    Sus2 = MakeEdit(pane, "Sus2", kSlideWidth);
    Sus3 = MakeEdit(pane, "Sus3", kSlideWidth);
    Sus4 = MakeEdit(pane, "Sus4", kSlideWidth);
    for (QLineEdit* slide : {Sobj1, Sobj2, Sus1, Sus2, Sus3, Sus4})
        MakeSlideTextField(slide, kSlideWidth);
    E_SN = MakeEdit(pane, "E_SN", SerialNumber::kMaxLength);
    MakeSerialNumberField(E_SN, SerialNumber::Kind::Console);
    connect(E_SN, &QLineEdit::editingFinished, this, &TFrPo::E_SNExit);
    auto* form = new QFormLayout(pane);
    form->addRow(QStringLiteral("Объект, строка 1"), Sobj1);
    form->addRow(QStringLiteral("Объект, строка 2"), Sobj2);
    form->addRow(QStringLiteral("Оператор 1"), Sus1);
    form->addRow(QStringLiteral("Оператор 2"), Sus2);
    form->addRow(QStringLiteral("Оператор 3"), Sus3);
    form->addRow(QStringLiteral("Оператор 4"), Sus4);
    form->addRow(QStringLiteral("Серийный № ППО"), E_SN);
    return pane;
}

QWidget* TFrPo::buildMelodyPane() {
    auto* pane = new QGroupBox(QStringLiteral("Мелодии"), this);
    TxVzv = MakeNameLabel(pane, "TxVzv", kMelodyNotDefined);
    TxOtz = MakeNameLabel(pane, "TxOtz", kMelodyNotDefined);
    BitMel = MakeButton(pane, "BitMel", QStringLiteral("Выбрать и определить мелодию"));
    BitAppr = MakeButton(pane, "BitAppr", QStringLiteral("Аппаратные настройки"));
    connect(BitMel, &QPushButton::clicked, this, &TFrPo::BitMelClick);
    connect(BitAppr, &QPushButton::clicked, this, &TFrPo::BitApprClick);
    auto* form = new QFormLayout(pane);
    form->addRow(QStringLiteral("Вызов от посетителя:"), TxVzv);
    form->addRow(QStringLiteral("Вызов от абонента:"), TxOtz);
    form->addRow(BitMel);
    form->addRow(BitAppr);
    return pane;
}

// ---------------------------------------------------------------- loading

qint64 TFrPo::objectId() const {
    if (!FDM || !HasCurrentRow(FDM->Q_Net)) return 0;
    return FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

void TFrPo::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    LoadSecurityPost();
}

void TFrPo::LoadSecurityPost() {
    held_ = HeldRows();
    const SecurityPostLoad load = ::LoadSecurityPost();
    if (!load.loaded) return;
    // The console row shown; one not made yet is made by the first save,
    // into the object shown.
    held_ = HeldRows::OfConsole(objectId());
    if (!held_.Holds()) held_ = HeldRows::OfObject(objectId());
    CBOv->setChecked(load.object.callBack);
    E_pPo->setText(load.object.callCode);
    FArc->setChecked(load.object.packedCodes);
    showSettings(load.settings);
    showMelodies(load.settings.idMel0, load.settings.idMel1);
}

void TFrPo::showSettings(const SecurityPostSettings& s) {
    E_Vss->setValue(s.klvl);
    E_Vmv->setValue(s.clvl);
    TimeD->setTime(s.dayStart);
    TimeN->setTime(s.nightStart);
    for (int i = ChMs->count(); i < s.cameras.size(); ++i) {
        auto* item = new QListWidgetItem(QString::number(i), ChMs);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    for (int i = 0; i < ChMs->count(); ++i)
        ChMs->item(i)->setCheckState(s.cameras.value(i) ? Qt::Checked : Qt::Unchecked);
    Ncam->setValue(s.ncam);
    Scam->setValue(s.scam);
    Rmto->setValue(s.rmto);
    Dpto->setValue(s.dpto);
    Clha->setValue(s.clha);
    Cldp->setValue(s.cldp);
    Talk->setValue(s.talk);
    Frmi->setValue(s.frmi);
    E_SN->setText(s.serial);
    Sobj1->setText(s.sobj1);
    Sobj2->setText(s.sobj2);
    const QList<QLineEdit*> operators = {Sus1, Sus2, Sus3, Sus4};
    for (int i = 0; i < operators.size(); ++i) operators[i]->setText(s.operators.value(i));
}

void TFrPo::showMelodies(qint64 idMel0, qint64 idMel1) {
    TxVzv->setText(ConsoleMelodyName(FDM->ConnectionDB(), idMel0));
    TxOtz->setText(ConsoleMelodyName(FDM->ConnectionDB(), idMel1));
}

// ---------------------------------------------------------------- saving

SecurityPostSettings TFrPo::Settings() const {
    SecurityPostSettings s;
    s.klvl = E_Vss->value();
    s.clvl = E_Vmv->value();
    s.dayStart = TimeD->time();
    s.nightStart = TimeN->time();
    for (int i = 0; i < ChMs->count(); ++i)
        s.cameras << (ChMs->item(i)->checkState() == Qt::Checked);
    s.ncam = Ncam->value();
    s.scam = Scam->value();
    s.rmto = Rmto->value();
    s.dpto = Dpto->value();
    s.clha = Clha->value();
    s.cldp = Cldp->value();
    s.talk = Talk->value();
    s.frmi = Frmi->value();
    s.sobj1 = Sobj1->text();
    s.sobj2 = Sobj2->text();
    s.operators = {Sus1->text(), Sus2->text(), Sus3->text(), Sus4->text()};
    s.serial = E_SN->text();
    if (FDM && HasCurrentRow(FDM->Q_PO)) {
        s.idMel0 = FDM->Q_PO->FieldByName(QStringLiteral("id_mel0")).AsLargeInt();
        s.idMel1 = FDM->Q_PO->FieldByName(QStringLiteral("id_mel1")).AsLargeInt();
    }
    return s;
}

bool TFrPo::SaveSecurityPost() {
    const qint64 idNet = held_.Holds() ? held_.Id(QStringLiteral("k_net")) : objectId();
    if (idNet == 0) return false;
    SecurityPostSettings s = Settings();
    QString error;
    const HeldRows::Outcome outcome = held_.Write(
        [&](QString* e) { return ::SaveSecurityPost(FDM->ConnectionDB(), idNet, &s, e); }, &error);
    if (outcome != HeldRows::Outcome::Written) {
        if (outcome == HeldRows::Outcome::Failed) ReportFailure(error);
        return false;
    }
    Frmi->setValue(s.frmi);
    showMelodies(s.idMel0, s.idMel1);
    return true;
}

void TFrPo::BitSavePoClick() {
    LabelSaving->show();
    LabelSaving->repaint();
    SaveSecurityPost();
    FDM->ReopenApartments();
    FDM->Q_PO->Reopen();
    LabelSaving->hide();
}

void TFrPo::AdjustSeparatorPosition() {
    if (const qint64 idNet = objectId())
        Frmi->setValue(::AdjustSeparatorPosition(FDM->ConnectionDB(), idNet, Frmi->value()));
}

// ---------------------------------------------------------------- the object

void TFrPo::CBOvClick() {
    SetCurrentObjectFlag(QStringLiteral("l_obv"), CBOv->isChecked());
}

void TFrPo::FArcClick() {
    SetCurrentObjectFlag(QStringLiteral("farc"), FArc->isChecked());
}

// The redirect box only says what "Сохранить для всех квартир" writes; the
// object keeps no value of its own for it.
void TFrPo::CBPnpClick() {}

void TFrPo::afterObjectWideWrite(DeviceChange done, const QString& error) {
    Reported(done, error);
    if (done == DeviceChange::Declined || done == DeviceChange::Refused) return;
    FDM->ReopenApartments();
    FDM->ReopenCallBlocks();
    FDM->Q_PO->Reopen();
}

void TFrPo::BitSaveObrClick() {
    QString error;
    const DeviceChange done =
        RewriteCallBack(FDM->ConnectionDB(), objectId(), CBOv->isChecked(), BusyProgress(), &error);
    afterObjectWideWrite(done, error);
}

void TFrPo::BitSavePnpClick() {
    QString error;
    const DeviceChange done = RewriteRedirect(FDM->ConnectionDB(), objectId(), CBPnp->isChecked(),
                                              BusyProgress(), &error);
    afterObjectWideWrite(done, error);
}

void TFrPo::BitSaveKodClick() {
    QString error;
    const DeviceChange done =
        SaveCommonCallCode(FDM->ConnectionDB(), objectId(), E_pPo->text(), BusyProgress(), &error);
    afterObjectWideWrite(done, error);
    if (done == DeviceChange::Done) FDM->Q_Net->Reopen();
}

// ---------------------------------------------------------------- the rest

void TFrPo::BitMelClick() {
    if (!FMelP) return;
    FMelP->FillNotePicker();
    ShowWindow(FMelP);
}

void TFrPo::BitApprClick() {
    ShowWindow(FpoAppr);
}

void TFrPo::E_SNExit() {
    const qint64 idNet = objectId();
    if (idNet == 0 || leavingSerial_) return;
    leavingSerial_ = true;
    QString shown = E_SN->text();
    QString error;
    if (Reported(LeaveConsoleSerialField(FDM->ConnectionDB(), idNet, E_SN->text(), &shown, &error),
                 error) == DeviceChange::Done)
        FDM->Q_PO->Reopen();
    E_SN->setText(shown);
    leavingSerial_ = false;
}

bool TFrPo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frmi && event->type() == QEvent::FocusOut) AdjustSeparatorPosition();
    return TScreenFrame::eventFilter(watched, event);
}
