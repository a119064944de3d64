#include "site/ui/TFSvTable.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dataset.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "site/RawTables.h"

TFSvTable* FSvTable = nullptr;

TFSvTable::TFSvTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FSvTable"));
    setWindowTitle(QStringLiteral("Содержание таблиц базы данных"));
    resize(900, 520);

    ATable =
        new Dataset(QStringLiteral("ATable"), QString::fromLatin1(TFDM::kConnectionName), this);
    ATable->SetSelect({{QString(), RawTables::StartTable()}}, QString());

    ListTable = new KeyboardGrid<QListWidget>(this);
    ListTable->setObjectName(QStringLiteral("ListTable"));
    for (const RawTables::Entry& entry : RawTables::Entries()) ListTable->addItem(entry.caption);
    ListTable->setFixedWidth(ListTable->sizeHintForColumn(0) + 2 * ListTable->frameWidth() + 24);

    model_ = new DatasetModel(ATable, this);
    DBGrid1 = new KeyboardGrid<QTableView>(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(model_);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->installEventFilter(this);

    ButHelp = new QPushButton(QStringLiteral("Помощь"), this);
    ButHelp->setObjectName(QStringLiteral("ButHelp"));
    ButExit = new QPushButton(QStringLiteral("Закрыть (Esc)"), this);
    ButExit->setObjectName(QStringLiteral("ButExit"));
    for (QPushButton* b : {ButHelp, ButExit}) b->setAutoDefault(false);

    auto* tables = new QHBoxLayout;
    tables->addWidget(ListTable);
    tables->addWidget(DBGrid1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButHelp);
    buttons->addWidget(ButExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tables, 1);
    layout->addLayout(buttons);

    connect(ListTable, &QListWidget::itemClicked, this, &TFSvTable::ListTableClick);
    GridKeys::ClickBy(ListTable, GridKeys::kEnter);
    connect(ButHelp, &QPushButton::clicked, this, &TFSvTable::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFSvTable::ButExitClick);
    connect(this, &QDialog::finished, this, [] { AppHelp().CloseViewer(); });
}

void TFSvTable::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFSvTable::ListTableClick() {
    QString error;
    bool opened = false;
    {
        WaitCursor wait;
        opened = RawTables::OpenEntry(*ATable, ListTable->currentRow(), &error);
    }
    DBGrid1->resizeColumnsToContents();
    if (!opened) Dialogs::Error(QStringLiteral("Ошибка"), error);
}

void TFSvTable::ButHelpClick() {
    AppHelp().ShowTopic(505);
}

void TFSvTable::ButExitClick() {
    close();
}

bool TFSvTable::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Rows are only looked at here.
    if (watched == DBGrid1 && key == Qt::Key_Delete) return true;
    return QDialog::eventFilter(watched, event);
}
