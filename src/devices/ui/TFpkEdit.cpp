#include "devices/ui/TFpkEdit.h"

#include "devices/Melody.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFFindPar.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFpkAppr.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "foundation/HelpLauncher.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/Dialogs.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

TFpkEdit* FpkEdit = nullptr;

namespace {

const QString kSwitchEditCaption = QStringLiteral("Общие параметры и тракты. Редактирование КМ");

// Values set by code are not the operator's edits.
class Loading {
  public:
    explicit Loading(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Loading() { flag_ = was_; }

  private:
    bool& flag_;
    bool was_;
};

}  // namespace

TFpkEdit::TFpkEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpkEdit"));
    setWindowTitle(kSwitchEditCaption);
    enter_ = new EnterMovesFocus(this);

    LSwitch = new ElidedLabel(this);
    LSwitch->setObjectName(QStringLiteral("LSwitch"));
    QFont heading = LSwitch->font();
    heading.setBold(true);
    LSwitch->setFont(heading);

    auto* left = new QVBoxLayout;
    left->addWidget(buildParams());
    left->addWidget(buildSwitchData());
    left->addWidget(buildSaves());
    left->addStretch();
    Tracts = new SwitchTractPanel(this, enter_);
    Tracts->SetHeld(&held_);
    CloseWhenGroundMoves(this, &held_);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(Tracts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LSwitch);
    layout->addLayout(columns, 1);
    layout->addWidget(buildNavigation());
    resize(1180, 700);
}

QSpinBox* TFpkEdit::addParam(QGridLayout* grid, const char* name, const QString& caption,
                             const QString& unit, int min, int value, const QString& hint) {
    QWidget* owner = grid->parentWidget();
    const int row = grid->rowCount();
    QSpinBox* spin = MakeSpin(owner, name, min, 255, value);
    spin->setToolTip(hint);
    grid->addWidget(new QLabel(caption, owner), row, 0);
    grid->addWidget(spin, row, 1);
    grid->addWidget(new QLabel(unit, owner), row, 2);
    enter_->Watch(spin);
    connect(spin, &QSpinBox::valueChanged, this, &TFpkEdit::markParamsChanged);
    return spin;
}

QWidget* TFpkEdit::buildParams() {
    auto* box = new QGroupBox(QStringLiteral("Таймауты"), this);
    auto* grid = new QGridLayout(box);
    EName = new QLineEdit(box);
    EName->setObjectName(QStringLiteral("EName"));
    LimitChars(EName, 50);
    EName->setMinimumWidth(280);
    enter_->Watch(EName);
    connect(EName, &QLineEdit::textEdited, this, &TFpkEdit::markParamsChanged);
    grid->addWidget(new QLabel(QStringLiteral("Набор параметров"), box), 0, 0);
    grid->addWidget(EName, 0, 1, 1, 2);
    const QString ms = QStringLiteral("миллисекунд");
    const QString s = QStringLiteral("секунд");
    TCM = addParam(grid, "TCM", QStringLiteral("коммутации трубки"), ms, 0, 0);
    TCL = addParam(grid, "TCL", QStringLiteral("коммутации квартиры"), s, 0, 0);
    TDL = addParam(grid, "TDL", QStringLiteral("вызова квартиры"), s, 95, 95);
    TVC = addParam(grid, "TVC", QStringLiteral("видеопереключения"), s, 0, 0);
    TDX = addParam(grid, "TDX", QStringLiteral("разговора"), s, 0, 0);
    STe3 = addParam(grid, "STe3", QStringLiteral("захвата шины"), ms, 0, 1,
                    QStringLiteral("Таймаут на повторный захват шины (миллисекунды)"));
    MTO = addParam(grid, "MTO", QStringLiteral("повтора обратного вызова"), s, 0, 0);
    BTO = addParam(grid, "BTO", QStringLiteral("актуальности отзвонки"), s, 0, 0);
    WAIT = addParam(grid, "WAIT", QStringLiteral("перед 1-м захватом шины"),
                    QStringLiteral("0,03 секунды"), 1, 66,
                    QStringLiteral("Таймаут для Lusk перед первым захватом шины"));

    BitFindPk = MakeButton(box, "BitFindPk", QStringLiteral("Выбрать параметры из сохраненных"));
    BitAppr = MakeButton(box, "BitAppr", QStringLiteral("Аппаратные настройки"));
    connect(BitFindPk, &QPushButton::clicked, this, &TFpkEdit::BitFindPkClick);
    connect(BitAppr, &QPushButton::clicked, this, &TFpkEdit::BitApprClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitFindPk);
    buttons->addWidget(BitAppr);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 3);
    return box;
}

QWidget* TFpkEdit::buildSwitchData() {
    auto* box = new QGroupBox(this);
    E_SN = new QLineEdit(box);
    E_SN->setObjectName(QStringLiteral("E_SN"));
    E_SN->setMaxLength(SerialNumber::kMaxLength);
    E_SN->installEventFilter(this);
    enter_->Watch(E_SN);

    ChVideo = new QCheckBox(QStringLiteral("Да"), box);
    ChVideo->setObjectName(QStringLiteral("ChVideo"));
    E_Video = MakeSpin(box, "E_Video", SwitchVideo::kFirstTract, SwitchVideo::kLastTract,
                       SwitchVideo::kFirstTract);
    E_Video->setEnabled(false);
    enter_->Watch(E_Video);
    connect(ChVideo, &QCheckBox::clicked, this, &TFpkEdit::ChVideoClick);
    auto* video = new QHBoxLayout;
    video->addWidget(ChVideo);
    video->addWidget(new QLabel(QStringLiteral("тракт"), box));
    video->addWidget(E_Video);
    video->addStretch();

    TxVzv = new ElidedLabel(kMelodyNotDefined, box);
    TxVzv->setObjectName(QStringLiteral("TxVzv"));
    TxOtz = new ElidedLabel(kMelodyNotDefined, box);
    TxOtz->setObjectName(QStringLiteral("TxOtz"));
    BitMel = MakeButton(box, "BitMel", QStringLiteral("Выбрать и определить мелодию"));
    connect(BitMel, &QPushButton::clicked, this, &TFpkEdit::BitMelClick);

    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Серийный номер"), E_SN);
    form->addRow(QStringLiteral("Отключение видео должникам"), video);
    form->addRow(QStringLiteral("Мелодия вызова"), TxVzv);
    form->addRow(QStringLiteral("Мелодия отзвонки"), TxOtz);
    form->addRow(BitMel);
    return box;
}

QWidget* TFpkEdit::buildSaves() {
    auto* box = new QWidget(this);
    BitSavePk = MakeButton(box, "BitSavePk", QStringLiteral("Сохранить для данного КМ"));
    BitSaveDm = MakeButton(box, "BitSaveDm", QStringLiteral("Сохранить для всех КМ дома"));
    BitSaveOb = MakeButton(box, "BitSaveOb", QStringLiteral("Сохранить для всех КМ объекта"));
    connect(BitSavePk, &QPushButton::clicked, this, &TFpkEdit::BitSavePkClick);
    connect(BitSaveDm, &QPushButton::clicked, this, &TFpkEdit::BitSaveDmClick);
    connect(BitSaveOb, &QPushButton::clicked, this, &TFpkEdit::BitSaveObClick);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : {BitSavePk, BitSaveDm, BitSaveOb}) layout->addWidget(b);
    return box;
}

QWidget* TFpkEdit::buildNavigation() {
    auto* box = new QWidget(this);
    BtnUp = new QToolButton(box);
    BtnUp->setObjectName(QStringLiteral("BtnUp"));
    BtnUp->setArrowType(Qt::UpArrow);
    BtnUp->setToolTip(QStringLiteral("Предыдущий КМ"));
    BtnDown = new QToolButton(box);
    BtnDown->setObjectName(QStringLiteral("BtnDown"));
    BtnDown->setArrowType(Qt::DownArrow);
    BtnDown->setToolTip(QStringLiteral("Следующий КМ"));
    connect(BtnUp, &QToolButton::clicked, this, &TFpkEdit::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFpkEdit::BtnDownClick);
    Bitsp = MakeButton(box, "Bitsp", QStringLiteral("Данные подъезда"));
    Bitkv = MakeButton(box, "Bitkv", QStringLiteral("Квартиры и трубки"));
    ButHelp = MakeButton(box, "ButHelp", QStringLiteral("Помощь"));
    ButExit = MakeButton(box, "ButExit", QStringLiteral("Закрыть"));
    connect(Bitsp, &QPushButton::clicked, this, &TFpkEdit::BitspClick);
    connect(Bitkv, &QPushButton::clicked, this, &TFpkEdit::BitkvClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFpkEdit::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFpkEdit::ButExitClick);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BtnUp);
    layout->addWidget(BtnDown);
    layout->addWidget(Bitsp);
    layout->addWidget(Bitkv);
    layout->addStretch();
    layout->addWidget(ButHelp);
    layout->addWidget(ButExit);
    return box;
}

// ---------------------------------------------------------------- loading

void TFpkEdit::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFpkEdit::FormActivate() {
    if (!FDM) return;
    LoadParams();
    const qint64 idNet = held_.Id(QStringLiteral("k_net"));
    if (idNet != 0 && idNet != Tracts->RangesObject()) Tracts->MaxDoors(idNet);
    updateArrows();
    paramsChanged_ = false;
}

void TFpkEdit::LoadParams() {
    Loading loading(loading_);
    Tracts->Reload();
    const LoadedSwitch s = FDM ? LoadCurrentSwitch() : LoadedSwitch{};
    if (!s.ok) {
        showEmpty();
        return;
    }
    held_ = HeldRows::OfSwitch(s.idPk);
    setWindowTitle(held_.Title(kSwitchEditCaption));
    LSwitch->setText(QStringLiteral("Дом %1, подъезд %2, %3")
                         .arg(s.house.trimmed())
                         .arg(s.nPod)
                         .arg(DeviceAddrName(s.nNet, Globals().SepDevice)));
    showParams(s.params);
    params_ = s.params;
    E_SN->setText(s.serial);
    serialShown_ = s.serial;
    showVideo(s.video);
    idMvv_ = s.idMvv;
    idMot_ = s.idMot;
    showMelodies();
    enableSaves(true);
    paramsChanged_ = false;
}

// No switch to show: the editor's defaults, and nothing to save.
void TFpkEdit::showEmpty() {
    held_ = {};
    setWindowTitle(kSwitchEditCaption);
    LSwitch->setText(QStringLiteral("Нет КМ"));
    showParams(SwitchParams{});
    params_ = SwitchParams{};
    E_SN->clear();
    serialShown_.clear();
    showVideo(SwitchVideo{});
    idMvv_ = idMot_ = 0;
    showMelodies();
    enableSaves(false);
    paramsChanged_ = false;
}

void TFpkEdit::enableSaves(bool enabled) {
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setEnabled(enabled || b == ButExit || b == ButHelp);
}

void TFpkEdit::showParams(const SwitchParams& p) {
    Loading loading(loading_);
    EName->setText(p.name);
    TCM->setValue(p.set.t_cm);
    TCL->setValue(p.set.t_cl);
    TDL->setValue(p.set.t_dl);
    TVC->setValue(p.set.t_vc);
    TDX->setValue(p.set.t_dx);
    STe3->setValue(p.set.t_st);
    MTO->setValue(p.set.t_mo);
    BTO->setValue(p.set.t_bo);
    WAIT->setValue(p.set.t_wt);
}

void TFpkEdit::showVideo(const SwitchVideo& video) {
    ChVideo->setChecked(video.on);
    E_Video->setValue(video.tract);
    E_Video->setEnabled(video.on);
}

// The melody list may be shown by the melody form beside: it keeps its row.
void TFpkEdit::showMelodies() {
    Dataset* melodies = FDM ? FDM->Q_Mel : nullptr;
    const int recNo = melodies ? melodies->RecNo() : 0;
    TxVzv->setText(SwitchMelodyName(idMvv_));
    TxOtz->setText(SwitchMelodyName(idMot_));
    if (recNo > 0) melodies->SetRecNo(recNo);
}

SwitchParams TFpkEdit::Params() const {
    SwitchParams p = params_;
    p.name = EName->text();
    p.set.t_cm = TCM->value();
    p.set.t_cl = TCL->value();
    p.set.t_dl = TDL->value();
    p.set.t_vc = TVC->value();
    p.set.t_dx = TDX->value();
    p.set.t_st = STe3->value();
    p.set.t_mo = MTO->value();
    p.set.t_bo = BTO->value();
    p.set.t_wt = WAIT->value();
    return p;
}

SwitchVideo TFpkEdit::Video() const {
    return {ChVideo->isChecked(), E_Video->value()};
}

void TFpkEdit::markParamsChanged() {
    if (!loading_) paramsChanged_ = true;
}

// ---------------------------------------------------------------- saving

void TFpkEdit::afterSave(const ParamsSaved& saved) {
    if (!saved.ok) return;
    Loading loading(loading_);
    EName->setText(saved.setName);
    paramsChanged_ = false;
}

// The questions name the switch, house or object they save for.
void TFpkEdit::BitSavePkClick() {
    if (held_.StillThere() &&
        Dialogs::AskYesNo(held_.Name(), QStringLiteral("Сохранить для данного КМ?")))
        SaveForSwitch();
}

void TFpkEdit::SaveForSwitch() {
    afterSave(SaveShownSwitch(held_.Id(QStringLiteral("k_pk")), Params(), Video(), held_));
}

void TFpkEdit::BitSaveDmClick() {
    if (!held_.StillThere()) return;
    afterSave(SaveShownHouse(held_.Id(QStringLiteral("k_dom")), held_.HouseName(), Params(),
                             Video(), BusyProgress(), held_));
}

void TFpkEdit::BitSaveObClick() {
    if (!held_.StillThere()) return;
    afterSave(SaveShownObject(held_.Id(QStringLiteral("k_net")), held_.Object(), Params(), Video(),
                              BusyProgress(), held_));
}

void TFpkEdit::BitFindPkClick() {
    if (FFindPar && FFindPar->exec() == QDialog::Accepted) ApplyParamSet();
}

void TFpkEdit::ApplyParamSet() {
    SwitchParams p = Params();
    if (!ApplyCurrentParamSet(&p)) return;
    showParams(p);
    params_ = p;
    paramsChanged_ = true;
}

// "Отмена" leaves the values as they were; "Сохранить" stores the switch
// with the values the dialog holds.
void TFpkEdit::BitApprClick() {
    if (!FpkAppr) return;
    FpkAppr->Fill(params_);
    if (FpkAppr->exec() != QDialog::Accepted) return;
    FpkAppr->Values(&params_);
    SaveForSwitch();
}

void TFpkEdit::ChVideoClick() {
    E_Video->setEnabled(ChVideo->isChecked());
    if (!ChVideo->isChecked()) E_Video->setValue(0);  // held at the edit's lower limit
}

// ---------------------------------------------------------------- serial number

bool TFpkEdit::E_SNKeyPress(QChar typed) {
    if (!SerialNumber::TypedCharAllowed(SerialNumber::Kind::Switch, E_SN->text(), typed))
        return false;
    if (typed.isLower()) {
        E_SN->insert(typed.toUpper());
        return false;  // inserted here, in upper case
    }
    return true;
}

void TFpkEdit::E_SNExit() {
    if (leavingSerial_ || !FDM || !held_.Holds()) return;
    leavingSerial_ = true;
    if (E_SN->text().trimmed() != serialShown_ && !held_.StillThere()) {
        E_SN->setText(serialShown_);
        leavingSerial_ = false;
        return;
    }
    const SerialExitResult r = LeaveSwitchSerial(held_.Id(QStringLiteral("k_pk")),
                                                 held_.Id(QStringLiteral("k_net")), E_SN->text());
    E_SN->setText(r.shown);
    serialShown_ = r.shown;
    if (r.outcome == SerialExit::JumpTo && leaveSwitch() && GoToSwitch(r.otherId)) {
        LoadParams();
        updateArrows();
    }
    leavingSerial_ = false;
}

// ---------------------------------------------------------------- navigation

// Before another switch is shown: the clicked masks are stored, and changed
// parameters are stored or dropped as the operator says. False: stay.
bool TFpkEdit::leaveSwitch() {
    if (Tracts->MasksChanged()) Tracts->SaveMasks();
    if (!paramsChanged_) return true;
    switch (
        Dialogs::AskYesNoCancel(QStringLiteral("Закрытие"),
                                QStringLiteral("Произведены изменения, сохраним для одного КМ?"))) {
        case DlgAnswer::Yes:
            SaveForSwitch();
            return true;
        case DlgAnswer::No:
            return true;
        default:
            return false;
    }
}

// From the switch shown, wherever the list stands by now.
void TFpkEdit::moveTo(bool next) {
    if (!FDM || !HasCurrentRow(FDM->Q_MNpk) || !leaveSwitch()) return;
    GoToSwitch(held_.Id(QStringLiteral("k_pk")));
    if (next)
        FDM->Q_MNpk->Next();
    else
        FDM->Q_MNpk->Prior();
    LoadParams();
    updateArrows();
}

void TFpkEdit::updateArrows() {
    const Dataset* switches = FDM ? FDM->Q_MNpk : nullptr;
    const int recNo = switches ? switches->RecNo() : 0;
    BtnUp->setEnabled(recNo > 1);
    BtnDown->setEnabled(recNo > 0 && recNo < switches->RecordCount());
}

void TFpkEdit::BtnUpClick() {
    moveTo(false);
}

void TFpkEdit::BtnDownClick() {
    moveTo(true);
}

// ---------------------------------------------------------------- other forms

void TFpkEdit::BitMelClick() {
    if (FMelF) FMelF->ShowForSwitch(held_.Id(QStringLiteral("k_pk")));
}

// The other editors open on the switch shown here.
void TFpkEdit::BitspClick() {
    GoToSwitch(held_.Id(QStringLiteral("k_pk")));
    ShowWindow(FskEdit);
}

void TFpkEdit::BitkvClick() {
    GoToSwitch(held_.Id(QStringLiteral("k_pk")));
    ShowWindow(FkvEdit);
}

void TFpkEdit::ButExitClick() {
    if (Tracts->MasksChanged()) Tracts->SaveMasks();
    if (paramsChanged_) BitSavePkClick();
    close();
}

void TFpkEdit::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

// Coming back from the melody form shows the melodies it may have assigned.
void TFpkEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() && FDM &&
        ReadSwitchMelodies(FDM->ConnectionDB(), held_.Id(QStringLiteral("k_pk")), &idMvv_,
                           &idMot_))
        showMelodies();
    QDialog::changeEvent(event);
}

bool TFpkEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_SN && event->type() == QEvent::FocusOut) E_SNExit();
    if (watched == E_SN && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text[0].isPrint() && !E_SNKeyPress(text[0])) return true;
    }
    return QDialog::eventFilter(watched, event);
}
