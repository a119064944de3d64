#include "keys/ui/TFHavKey.h"

#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "keys/KeyOwnerSearch.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TFHavKey* FHavKey = nullptr;

TFHavKey::TFHavKey(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FHavKey"));
    setWindowTitle(QStringLiteral("Найденные ключи"));
    resize(900, 320);

    DBGrid1 = new DatasetGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->installEventFilter(this);
    ButExit = new QPushButton(QStringLiteral("Закрыть"), this);
    ButExit->setObjectName(QStringLiteral("ButExit"));
    ButExit->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);

    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFHavKey::DBGrid1DblClick);
    // Enter chooses the row, as a double click does.
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnter);
    connect(ButExit, &QPushButton::clicked, this, &TFHavKey::ButExitClick);
    // However the list closes, the help window it opened goes with it.
    connect(this, &QDialog::finished, this, [] { AppHelp().CloseViewer(); });
}

void TFHavKey::bindFoundKeys() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->HavKeys)) return;
    model_ = new DatasetModel(FDM->HavKeys, this);
    model_->AddColumn(QStringLiteral("l_ob"), QStringLiteral("Общий"), false, true);
    model_->AddColumn(QStringLiteral("un_key"), QStringLiteral("Полный SN"));
    model_->AddColumn(QStringLiteral("bv_key"), QStringLiteral("SN БВ"));
    model_->AddColumn(QStringLiteral("s_met"), QStringLiteral("Метка"));
    model_->AddColumn(QStringLiteral("status"), QStringLiteral("Статус"));
    model_->AddColumn(QStringLiteral("n_pod"), QStringLiteral("№под"));
    model_->AddColumn(QStringLiteral("house"), QStringLiteral("Дом"));
    model_->AddColumn(QStringLiteral("n_kvr"), QStringLiteral("Кв."));
    model_->AddColumn(QStringLiteral("kod_d"), QStringLiteral("Преф.д"));
    model_->AddColumn(QStringLiteral("ident"), QStringLiteral("Объект"));
    DBGrid1->SetModel(model_);
}

void TFHavKey::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TFHavKey::FormActivate() {
    bindFoundKeys();
    DBGrid1->setFocus();
}

void TFHavKey::DBGrid1DblClick() {
    if (!FDM) return;
    KeyOwnerSearch search(*FDM);
    const std::optional<FoundKey> key = search.Current();
    if (!key) return;
    if (!search.InCurrentObject(*key)) {
        Dialogs::Message(QStringLiteral("Результат поиска"),
                         QStringLiteral("Ключ принадлежит другому объекту!"), DlgButtons::Ok,
                         DlgIcon::Information);
        return;
    }
    accept();
}

void TFHavKey::ButExitClick() {
    reject();
}

// The list deletes nothing.
bool TFHavKey::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete)
        return true;
    return QDialog::eventFilter(watched, event);
}

void TFHavKey::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        AppHelp().ShowTopic(kHelpTopic);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        ButExitClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
