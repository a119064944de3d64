#include "site/ui/TFObEdit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "site/ObjectDeletion.h"

TFObEdit* FObEdit = nullptr;

namespace {
// The object list's columns, shown under their own names.
const char* const kObjectColumns[] = {"id_net", "st_net", "ident", "d_beg", "d_net",
                                      "v_dom",  "v_pod",  "v_kal", "adres", "id_nom"};
}  // namespace

TFObEdit::TFObEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FObEdit"));
    setWindowTitle(QStringLiteral("Удаление и выделение объектов"));
    setWindowOpacity(240.0 / 255.0);
    resize(820, 420);

    Label1 = new QLabel(
        QStringLiteral("Удаляться будут все данные объекта: дома, подъезды, и все, относящиеся к "
                       "нему устройства. Удаление производится клавишей Delete или контекстным "
                       "меню."),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    DBGrid1 = new KeyboardGrid<QTableView>(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->installEventFilter(this);

    NReOpen = makeAction("NReOpen", QStringLiteral("Справка"), QKeySequence(Qt::Key_F5));
    PDel = makeAction("PDel", QStringLiteral("Удалить"), QKeySequence());
    NOtdel = makeAction("NOtdel", QStringLiteral("Отделить объект"), QKeySequence());
    DBGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    DBGrid1->addActions({NReOpen, PDel, NOtdel});
    NHelp = makeAction("NHelp", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1));
    addAction(NReOpen);
    addAction(NHelp);

    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    BitOtdel = makeButton("BitOtdel", QStringLiteral("Отделить объект"));
    ButHelp = makeButton("ButHelp", QStringLiteral("Помощь"));
    ButExit = makeButton("ButExit", QStringLiteral("Закрыть"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitOtdel);
    buttons->addStretch();
    buttons->addWidget(ButHelp);
    buttons->addWidget(ButExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);

    connect(NReOpen, &QAction::triggered, this, &TFObEdit::NReOpenClick);
    connect(PDel, &QAction::triggered, this, &TFObEdit::PDelClick);
    connect(NOtdel, &QAction::triggered, this, &TFObEdit::BitOtdelClick);
    connect(NHelp, &QAction::triggered, this, &TFObEdit::NHelpClick);
    connect(BitOtdel, &QPushButton::clicked, this, &TFObEdit::BitOtdelClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFObEdit::NHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFObEdit::ButExitClick);
    // However the form closes, the help window it opened goes with it.
    connect(this, &QDialog::finished, this, [] { AppHelp().CloseViewer(); });
}

QAction* TFObEdit::makeAction(const char* name, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    return action;
}

void TFObEdit::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFObEdit::FormActivate() {
    bindObjectList();
    showCurrentObject();
    DBGrid1->setFocus();
}

// The grid shows the object list Q_Net and moves its current record.
void TFObEdit::bindObjectList() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_Net)) return;
    delete model_;
    model_ = new DatasetModel(FDM->Q_Net, this);
    for (const char* column : kObjectColumns)
        model_->AddColumn(QString::fromLatin1(column), QString::fromLatin1(column));
    DBGrid1->setModel(model_);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { followGridRow(current.row()); });
    connect(FDM->Q_Net, &Dataset::CurrentChanged, this, &TFObEdit::showCurrentObject);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        DBGrid1->resizeColumnsToContents();
        showCurrentObject();
    });
    DBGrid1->resizeColumnsToContents();
}

void TFObEdit::showCurrentObject() {
    if (!model_ || !FDM) return;
    const int row = FDM->Q_Net->RecNo() - 1;
    if (row >= 0 && DBGrid1->currentIndex().row() != row)
        DBGrid1->setCurrentIndex(model_->index(row, 0));
}

void TFObEdit::followGridRow(int row) {
    if (FDM && row >= 0 && FDM->Q_Net->RecNo() != row + 1) FDM->Q_Net->SetRecNo(row + 1);
}

void TFObEdit::PDelClick() {
    if (!FDM) return;
    const std::optional<qint64> idNet = ObjectDeletion::AskDeleteCurrentObject(*FDM);
    if (!idNet) return;
    QString error;
    bool deleted = false;
    {
        WaitCursor wait;
        deleted = ObjectDeletion::DeleteObject(*FDM, *idNet, ProgressGauge(), &error);
    }
    if (!deleted) ObjectDeletion::ReportDeletionFailure(error);
}

void TFObEdit::BitOtdelClick() {
    if (!FDM) return;
    const std::optional<ObjectDeletion::SplitTarget> target =
        ObjectDeletion::AskSplitCurrentObject(*FDM);
    if (!target) return;
    ObjectDeletion::SplitResult result;
    {
        WaitCursor wait;
        result = ObjectDeletion::SplitObject(*FDM, *target, ProgressGauge());
    }
    ObjectDeletion::ReportSplit(*target, result);
}

void TFObEdit::NReOpenClick() {
    if (!FDM) return;
    bool reopened = false;
    {
        WaitCursor wait;
        reopened = FDM->OpenAllTables(ProgressGauge());
    }
    if (!reopened) Dialogs::Error(QStringLiteral("Ошибка"), FDM->LastError());
}

void TFObEdit::NHelpClick() {
    AppHelp().ShowTopic(503);
}

void TFObEdit::ButExitClick() {
    close();
}

bool TFObEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        PDelClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
