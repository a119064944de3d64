#include "foundation/ui/TFGlVal.h"

#include "foundation/CountLimits.h"
#include "foundation/GlobalParams.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

TFGlVal* FGlVal = nullptr;

namespace {
// Text colours of the locked and the unlocked panels.
const char* kLockedStyle = "QGroupBox { color: #808080; }";
const char* kUnlockedStyle = "QGroupBox { color: #000080; }";
}  // namespace

TFGlVal::TFGlVal(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FGlVal"));
    setWindowTitle(QStringLiteral("Глобальные переменные"));
    resize(760, 560);

    auto* values = new QGroupBox(QStringLiteral("Глобальные параметры"), this);
    auto* valuesForm = new QFormLayout(values);
    addSpin(valuesForm, QStringLiteral("WidthMain"), QStringLiteral("Ширина главного окна"),
            CountLimits::kLeastWindowWidth, CountLimits::kMostWindowWidth, false);
    addSpin(valuesForm, QStringLiteral("HeightMain"), QStringLiteral("Высота главного окна"),
            CountLimits::kLeastWindowHeight, CountLimits::kMostWindowHeight, false);
    addSpin(valuesForm, QStringLiteral("KolTractPK"), QStringLiteral("Количество трактов КМ"), 8,
            CountLimits::kMaxTracts, false);
    addSpin(valuesForm, QStringLiteral("MaxCountBV"), QStringLiteral("Количество БВ на один КМ"), 8,
            255, false);
    addSpin(valuesForm, QStringLiteral("CamPO"), QStringLiteral("Количество камер ППО"),
            CountLimits::kLeastCameras, CountLimits::kMostCameras, false);
    addSpin(valuesForm, QStringLiteral("MaxDevice"), QStringLiteral("Макс. количество устройств"),
            50, CountLimits::kMaxDevices, false);
    addSpin(valuesForm, QStringLiteral("APP_bv"), QStringLiteral("Размер 0 секции КФ БВ"), 0,
            1000000, false);
    addSpin(valuesForm, QStringLiteral("APP_pk"), QStringLiteral("Размер 0 секции КФ КМ"), 0,
            1000000, false);
    addSpin(valuesForm, QStringLiteral("APP_po"), QStringLiteral("Размер 0 секции КФ ППО"), 0,
            1000000, false);
    addSpin(valuesForm, QStringLiteral("SepDevice"), QStringLiteral("Базовый адрес БВ"), 63,
            CountLimits::kMaxAddress, false);

    ParamPanel = new QGroupBox(QStringLiteral("Флаги"), this);
    ParamPanel->setObjectName(QStringLiteral("ParamPanel"));
    auto* paramForm = new QFormLayout(ParamPanel);
    addSpin(paramForm, QStringLiteral("MaskBvEnabled"), QStringLiteral("Количество флагов БВ"), 2,
            CountLimits::kMaxFlags, true);
    addSpin(paramForm, QStringLiteral("MaskPoEnabled"), QStringLiteral("Количество флагов ППО"), 1,
            CountLimits::kMaxFlags, true);

    FlagPanel = new QGroupBox(QStringLiteral("Названия флагов"), this);
    FlagPanel->setObjectName(QStringLiteral("FlagPanel"));
    TypeFl = new QComboBox(FlagPanel);
    TypeFl->setObjectName(QStringLiteral("TypeFl"));
    TypeFl->addItems({GlobalParams::kCallPanelFlags, GlobalParams::kConsoleFlags});
    NumbFl = new QSpinBox(FlagPanel);
    NumbFl->setObjectName(QStringLiteral("NumbFl"));
    NumbFl->setRange(1, 16);
    NameFl = new QLineEdit(FlagPanel);
    NameFl->setObjectName(QStringLiteral("NameFl"));
    LimitChars(NameFl, GlobalParams::kFlagNameWidth);
    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, FlagPanel);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    ButApp = makeButton("ButApp", QStringLiteral("Добавить"));
    ButEdit = makeButton("ButEdit", QStringLiteral("Изменить"));
    ButDel = makeButton("ButDel", QStringLiteral("Удалить"));
    ButYes = makeButton("ButYes", QStringLiteral("Применить"));
    FlagGrid = new KeyboardGrid<QTableView>(FlagPanel);
    FlagGrid->setObjectName(QStringLiteral("DBGrid2"));
    FlagGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FlagGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FlagGrid->horizontalHeader()->setStretchLastSection(true);
    auto* editorRow = new QHBoxLayout;
    editorRow->addWidget(TypeFl);
    editorRow->addWidget(NumbFl);
    editorRow->addWidget(NameFl, 1);
    auto* flagButtons = new QHBoxLayout;
    for (QPushButton* b : {ButApp, ButEdit, ButDel, ButYes}) flagButtons->addWidget(b);
    auto* flagLayout = new QVBoxLayout(FlagPanel);
    flagLayout->addLayout(editorRow);
    flagLayout->addLayout(flagButtons);
    flagLayout->addWidget(FlagGrid, 1);

    GlobalGrid = new KeyboardGrid<QTableView>(this);
    GlobalGrid->setObjectName(QStringLiteral("DBGrid1"));
    GlobalGrid->setMaximumHeight(70);

    auto* passLabel =
        new QLabel(QStringLiteral("Введите пароль для изменения глобальных параметров"), this);
    PassEdit = new QLineEdit(this);
    PassEdit->setObjectName(QStringLiteral("PassEdit"));
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setMaxLength(20);

    BitSave = new QPushButton(QStringLiteral("Сохранить"), this);
    BitSave->setObjectName(QStringLiteral("BitSave"));
    BitClose = new QPushButton(QStringLiteral("Закрыть"), this);
    BitClose->setObjectName(QStringLiteral("BitClose"));
    ButHelp = new QPushButton(QStringLiteral("Помощь"), this);
    ButHelp->setObjectName(QStringLiteral("ButHelp"));

    auto* left = new QVBoxLayout;
    left->addWidget(values);
    left->addWidget(ParamPanel);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(FlagPanel, 1);
    auto* pass = new QHBoxLayout;
    pass->addWidget(passLabel);
    pass->addWidget(PassEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitSave);
    buttons->addWidget(BitClose);
    buttons->addWidget(ButHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(GlobalGrid);
    layout->addLayout(pass);
    layout->addLayout(buttons);

    for (QTableView* grid : {GlobalGrid, FlagGrid}) grid->installEventFilter(this);

    connect(PassEdit, &QLineEdit::textChanged, this, &TFGlVal::PassEditKeyUp);
    connect(BitSave, &QPushButton::clicked, this, &TFGlVal::BitSaveClick);
    connect(BitClose, &QPushButton::clicked, this, &TFGlVal::BitCloseClick);
    connect(ButHelp, &QPushButton::clicked, this, [] { AppHelp().ShowTopic(504); });
    connect(TypeFl, &QComboBox::currentIndexChanged, this, &TFGlVal::TypeFlChange);
    connect(ButApp, &QPushButton::clicked, this, &TFGlVal::ButAppClick);
    connect(ButEdit, &QPushButton::clicked, this, &TFGlVal::ButEditClick);
    connect(ButYes, &QPushButton::clicked, this, &TFGlVal::ButYesClick);
    connect(ButDel, &QPushButton::clicked, this, &TFGlVal::ButDelClick);
    setLocked(true);
}

QSpinBox* TFGlVal::addSpin(QFormLayout* form, const QString& column, const QString& caption,
                           int min, int max, bool editable) {
    auto* spin = new QSpinBox(form->parentWidget());
    spin->setObjectName(column);
    spin->setRange(min, max);
    spin->setEnabled(editable);
    form->addRow(caption, spin);
    spins_.insert(column, spin);
    return spin;
}

void TFGlVal::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFGlVal::FormActivate() {
    if (!FDM) return;
    Dataset* global = FDM->Global;
    if (!globalModel_) {
        globalModel_ = new DatasetModel(global, this);
        GlobalGrid->setModel(globalModel_);
    }
    if (!flagModel_) {
        flagModel_ = new DatasetModel(FDM->Q_Flg, this);
        flagModel_->AddColumn(QStringLiteral("nomf"), QStringLiteral("Номер флага"));
        flagModel_->AddColumn(QStringLiteral("tabl"), QStringLiteral("БВ/ППО"));
        flagModel_->AddColumn(QStringLiteral("namf"), QStringLiteral("Название флага"));
        FlagGrid->setModel(flagModel_);
        connect(FlagGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &TFGlVal::followGridRow);
    }
    if (global->IsEmpty()) return;
    global->First();
    for (auto it = spins_.cbegin(); it != spins_.cend(); ++it)
        it.value()->setValue(global->FieldByName(it.key()).AsInt());
}

bool TFGlVal::Unlocked() const {
    return GlobalParams::Unlocks(PassEdit->text());
}

void TFGlVal::PassEditKeyUp() {
    const bool unlocked = Unlocked();
    setLocked(!unlocked);
    if (unlocked) TypeFlChange();
}

void TFGlVal::setLocked(bool locked) {
    ParamPanel->setEnabled(!locked);
    FlagPanel->setEnabled(!locked);
    BitSave->setEnabled(!locked);
    const QString style = QString::fromLatin1(locked ? kLockedStyle : kUnlockedStyle);
    ParamPanel->setStyleSheet(style);
    FlagPanel->setStyleSheet(style);
}

void TFGlVal::BitSaveClick() {
    if (!Unlocked()) return;
    GlobalParams::SaveFlagCounts(Spin(QStringLiteral("MaskBvEnabled"))->value(),
                                 Spin(QStringLiteral("MaskPoEnabled"))->value());
}

void TFGlVal::BitCloseClick() {
    GlobalParams::ShowFlags(QString());
    close();
}

void TFGlVal::TypeFlChange() {
    GlobalParams::ShowFlags(TypeFl->currentText());
    resetFlagEditor();
}

void TFGlVal::resetFlagEditor() {
    NumbFl->setValue(1);
    NameFl->clear();
    mode_ = FlagMode::None;
    ButYes->setEnabled(false);
}

void TFGlVal::followGridRow() {
    if (FDM && FlagGrid->currentIndex().isValid())
        FDM->Q_Flg->SetRecNo(FlagGrid->currentIndex().row() + 1);
}

void TFGlVal::ButAppClick() {
    mode_ = FlagMode::Append;
    NumbFl->setValue(
        qBound(1, GlobalParams::ProposedFlagNumber(GlobalParams::ListedFlagNumbers()), 16));
    NameFl->clear();
    ButYes->setEnabled(true);
}

void TFGlVal::ButEditClick() {
    if (!FDM || FDM->Q_Flg->IsEmpty() || FDM->Q_Flg->Eof()) return;
    mode_ = FlagMode::Edit;
    NumbFl->setValue(FDM->Q_Flg->FieldByName(QStringLiteral("nomf")).AsInt());
    NameFl->setText(FDM->Q_Flg->FieldByName(QStringLiteral("namf")).AsString());
    ButYes->setEnabled(true);
}

void TFGlVal::ButYesClick() {
    if (mode_ == FlagMode::Append)
        GlobalParams::AppendFlag(TypeFl->currentText(), NumbFl->value(), NameFl->text());
    else if (mode_ == FlagMode::Edit)
        GlobalParams::EditCurrentFlag(TypeFl->currentText(), NumbFl->value(), NameFl->text());
    resetFlagEditor();
}

void TFGlVal::ButDelClick() {
    if (!FDM || FDM->Q_Flg->IsEmpty()) return;
    if (Dialogs::Message(QStringLiteral("Внимание!!!"), QStringLiteral("Удалить флаг?"),
                         DlgButtons::YesNo, DlgIcon::Warning) == DlgAnswer::Yes)
        GlobalParams::DeleteCurrentFlag();
}

void TFGlVal::closeEvent(QCloseEvent* event) {
    AppHelp().CloseViewer();
    QDialog::closeEvent(event);
}

bool TFGlVal::eventFilter(QObject* watched, QEvent* event) {
    // Rows are never deleted from the grids by the Delete key.
    if ((watched == GlobalGrid || watched == FlagGrid) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete)
        return true;
    return QDialog::eventFilter(watched, event);
}
