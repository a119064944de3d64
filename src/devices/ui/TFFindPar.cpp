#include "devices/ui/TFFindPar.h"

#include "devices/ParamSet.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

TFFindPar* FFindPar = nullptr;

namespace {

QAction* MakeAction(QWidget* parent, const char* name, const QString& caption,
                    const QKeySequence& key = QKeySequence()) {
    auto* a = new QAction(caption, parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    parent->addAction(a);
    return a;
}

}  // namespace

TFFindPar::TFFindPar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FFindPar"));
    setWindowTitle(QStringLiteral("Выбор набора общих параметров для КМ"));
    resize(900, 420);

    buildGrid();
    E_Name = new QLineEdit(this);
    E_Name->setObjectName(QStringLiteral("E_Name"));
    E_Name->hide();
    E_Name->installEventFilter(this);

    BitName = MakeButton(this, "BitName", QStringLiteral("Изменить наименование"));
    BitYes = MakeButton(this, "BitYes", QStringLiteral("Использовать параметры"));
    BitNo = MakeButton(this, "BitNo", QStringLiteral("Закрыть, не применяя"));
    ButHelp = MakeButton(this, "ButHelp", QStringLiteral("Помощь"));
    buildActions();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitName);
    buttons->addStretch();
    buttons->addWidget(BitYes);
    buttons->addWidget(BitNo);
    buttons->addWidget(ButHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);

    connect(BitName, &QPushButton::clicked, this, &TFFindPar::M_NaneClick);
    connect(BitYes, &QPushButton::clicked, this, &TFFindPar::BitYesClick);
    connect(BitNo, &QPushButton::clicked, this, &TFFindPar::BitNoClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFFindPar::ButHelpClick);
}

void TFFindPar::buildGrid() {
    // The grid's order differs from the lookup's: Edge comes before TED and DET.
    const GridColumns columns = {{"name", "Наименование"}, {"t_cm", "TCM"},  {"t_cl", "TCL"},
                                 {"t_dl", "TDL"},          {"t_vc", "TVC"},  {"t_dx", "TDX"},
                                 {"t_st", "ST"},           {"t_mo", "MTO"},  {"t_bo", "BTO"},
                                 {"t_wt", "WAIT"},         {"t_po", "PTTO"}, {"edge", "Edge"},
                                 {"t_ed", "TED"},          {"t_de", "DET"},  {"acp1", "АЦП1"},
                                 {"acp2", "АЦП2"},         {"acp3", "АЦП3"}, {"acp4", "АЦП4"}};
    DBGrid1 = MakeDatasetGrid(this, "DBGrid1", FDM ? FDM->Q_ke : nullptr, columns);
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFFindPar::DBGrid1DblClick);
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnterOrSpace);
}

void TFFindPar::buildActions() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    M_Nane = MakeAction(this, "M_Nane", QStringLiteral("Изменить наименование"));
    N1 = MakeAction(this, "N1", QStringLiteral("Удалить строку"));
    NReOpen = MakeAction(this, "NReOpen", QStringLiteral("Обновить"), QKeySequence(Qt::Key_F5));
    MHelp = MakeAction(this, "MHelp", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1));
    PopupMenu1->addActions({M_Nane, N1, NReOpen});
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(M_Nane, &QAction::triggered, this, &TFFindPar::M_NaneClick);
    connect(N1, &QAction::triggered, this, &TFFindPar::N1Click);
    connect(NReOpen, &QAction::triggered, this, &TFFindPar::NReOpenClick);
    connect(MHelp, &QAction::triggered, this, &TFFindPar::ButHelpClick);
}

void TFFindPar::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFFindPar::FormActivate() {
    hideNameEdit();
    if (!FDM) return;
    openedOnRecNo_ = FDM->Q_ke->RecNo();
    DBGrid1->setFocus();
}

void TFFindPar::DBGrid1DblClick() {
    hideNameEdit();
    done(QDialog::Accepted);
}

void TFFindPar::BitYesClick() {
    hideNameEdit();
    done(QDialog::Accepted);
}

void TFFindPar::BitNoClick() {
    hideNameEdit();
    done(kNoResult);
}

void TFFindPar::reject() {
    BitNoClick();
}

void TFFindPar::ReturnAndClose() {
    if (FDM && openedOnRecNo_ > 0) FDM->Q_ke->SetRecNo(openedOnRecNo_);
    BitNoClick();
}

void TFFindPar::hideNameEdit() {
    E_Name->hide();
}

void TFFindPar::M_NaneClick() {
    if (!FDM || FDM->Q_ke->RecNo() < 1) return;
    const QString name = FDM->Q_ke->FieldByName(QStringLiteral("name")).AsString();
    if (name == kRecommendedParamSetName) return;
    // Over the name cell of the current row.
    QRect cell = DBGrid1->visualRect(DBGrid1->Model()->index(FDM->Q_ke->RecNo() - 1, 0));
    cell.moveTopLeft(DBGrid1->viewport()->mapTo(this, cell.topLeft()));
    E_Name->setGeometry(cell.adjusted(0, -2, 0, 2));
    E_Name->setText(name);
    E_Name->show();
    E_Name->raise();
    E_Name->setFocus();
    E_Name->selectAll();
}

void TFFindPar::StoreName() {
    if (E_Name->isVisible()) RenameCurrentParamSet(E_Name->text());
    hideNameEdit();
    DBGrid1->setFocus();
}

void TFFindPar::N1Click() {
    hideNameEdit();
    DeleteCurrentParamSet();
}

void TFFindPar::NReOpenClick() {
    if (FDM) FDM->OpenAllTables(ProgressGauge());
}

void TFFindPar::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

bool TFFindPar::gridKey(int key) {
    hideNameEdit();
    switch (key) {
        case Qt::Key_Escape:
            ReturnAndClose();
            return true;
        case Qt::Key_Delete:  // rows go only through "Удалить строку"
            return true;
        default:
            return false;
    }
}

bool TFFindPar::nameEditKey(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            StoreName();
            return true;
        case Qt::Key_Escape:
            hideNameEdit();
            DBGrid1->setFocus();
            return true;
        default:
            return false;
    }
}

bool TFFindPar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == DBGrid1 && gridKey(key)) return true;
        if (watched == E_Name && nameEditKey(key)) return true;
    }
    if (watched == E_Name && event->type() == QEvent::MouseButtonDblClick) {
        StoreName();
        return true;
    }
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonPress) hideNameEdit();
    return QDialog::eventFilter(watched, event);
}
