#include "keys/ui/KeyDumpTab.h"

#include "foundation/ui/WaitCursor.h"
#include "keys/DumpFileReader.h"
#include "keys/ui/DumpEntranceLists.h"
#include "keys/ui/EditorKeyControls.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"

#include <QAction>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QSpinBox* countBox(QWidget* parent, const char* name) {
    auto* box = Named(new QSpinBox(parent), name);
    box->setRange(0, 1000000);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

}  // namespace

KeyDumpTab::KeyDumpTab(const Names& names, KeyGrid kind, const QString& openCaption,
                       QListWidget* entranceList, int gridColumns, QWidget* parent)
    : QWidget(parent), entrances_(entranceList), kind_(kind) {
    setObjectName(QLatin1String(names.tab));
    open_ = Named(new QPushButton(openCaption, this), names.open);
    grid_ = Named(new KeyboardGrid<QTableWidget>(1, gridColumns, this), names.grid);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    keyCount_ = countBox(this, names.keyCount);
    poured_ = countBox(this, names.poured);
    console_ = Named(new QPlainTextEdit(this), names.console);
    console_->setReadOnly(true);
    console_->hide();
    consoleButton_ =
        Named(new QPushButton(QStringLiteral("Консоль разбора"), this), names.consoleButton);
    fileLabel_ = Named(new PathLabel(this), names.fileLabel);
    entrances_->setParent(this);
    entrances_->setObjectName(QLatin1String(names.entrances));
    pour_ = Named(new QPushButton(QStringLiteral("Залить ключи"), this), names.pour);
    pour_->setEnabled(false);
    HMenu = Named(new QMenu(this), "HMenu");
    N1 = Named(HMenu->addAction(QStringLiteral("Обновить")), "N1");
    entrances_->setContextMenuPolicy(Qt::CustomContextMenu);
    buildLayout();

    connect(consoleButton_, &QPushButton::clicked, this, &KeyDumpTab::ConsoleButtonClick);
    // A click that chooses an entrance changes the selection.
    connect(entrances_, &QListWidget::itemSelectionChanged, this, [this] { EntranceClick(); });
    connect(entrances_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { HMenu->popup(entrances_->viewport()->mapToGlobal(at)); });
    connect(N1, &QAction::triggered, this, [this] {
        if (lists_) lists_->N1Click();
        EntranceClick();
    });
}

void KeyDumpTab::buildLayout() {
    auto* left = new QVBoxLayout;
    left->addWidget(open_);
    left->addWidget(fileLabel_);
    left->addWidget(grid_, 1);
    auto* counts = new QFormLayout;
    counts->addRow(QStringLiteral("Прочитано ключей"), keyCount_);
    left->addLayout(counts);
    left_ = left;

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Место для заливки ключей:"), this));
    right->addWidget(entrances_, 1);
    right->addWidget(pour_);
    auto* poured = new QFormLayout;
    poured->addRow(QStringLiteral("Залито ключей"), poured_);
    right->addLayout(poured);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(consoleButton_, 0, Qt::AlignLeft);
    layout->addWidget(console_, 1);
}

void KeyDumpTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TabShow();
}

void KeyDumpTab::TabShow() {
    if (lists_) lists_->TabShow();
    EntranceClick();
}

void KeyDumpTab::EntranceClick() {
    pour_->setEnabled(chosenEntrance().has_value() && keyCount_->value() > 0);
}

void KeyDumpTab::ConsoleButtonClick() {
    console_->setVisible(!console_->isVisible());
}

std::optional<DumpEntrance> KeyDumpTab::chosenEntrance() const {
    return DumpEntranceLists::Selected(entrances_);
}

void KeyDumpTab::echoChosen() {
    const std::optional<DumpEntrance> entrance = chosenEntrance();
    if (entrance) console_->appendPlainText(entrance->line);
}

void KeyDumpTab::appendConsole(const QStringList& lines) {
    if (!lines.isEmpty()) console_->appendPlainText(lines.join(QLatin1Char('\n')));
}

QString KeyDumpTab::chooseFile(const QString& caption, bool writtenFolder) {
    const QString db = dbFolder_.isEmpty() ? AppPaths::DefaultDbDir() : dbFolder_;
    const QString folder = DumpFilesFolder(db, writtenFolder, CurrentObjectNumber());
    if (chooser_) return chooser_(caption, folder);
    if (startFolder_.trimmed().isEmpty()) {
        startFolder_ = folder;
        QDir().mkpath(startFolder_);
    }
    return Dialogs::OpenFile(caption, startFolder_);
}

void KeyDumpTab::readFile(const QString& file, QByteArray& bytes) {
    fileLabel_->setText(file);
    QString why;
    switch (ReadDumpFileBytes(file, bytes, &why)) {
        case DumpFileStatus::Ok:
            return;
        case DumpFileStatus::TooLarge:
            console_->setPlainText(DumpConsole::NotThisStructure());
            return;
        case DumpFileStatus::Unreadable:
            Dialogs::Message(
                QStringLiteral("Ошибка"),
                QStringLiteral("Файл не прочитан: ") + file + QStringLiteral("\n") + why,
                DlgButtons::Ok, DlgIcon::Error);
            return;
    }
}

void KeyDumpTab::ReadDump(const QString& file) {
    WaitCursor wait;
    console_->clear();
    EditorKeyLists lists;
    ShowKeyGrid(grid_, kind_, lists);
    keyCount_->setValue(0);
    // A file that cannot be read is parsed as an empty one: the tab then
    // shows the state of a dump without keys.
    QByteArray bytes;
    readFile(file, bytes);
    QStringList console;
    parseDump(bytes, lists, console);
    ShowKeyGrid(grid_, kind_, lists);
    keyCount_->setValue(lists.Rows(kind_));
    appendConsole(console);
    EntranceClick();
}

EditorKeyLists KeyDumpTab::gridKeys() const {
    EditorKeyLists lists;
    ReadDumpKeyGrid(grid_, kind_, lists);
    return lists;
}

void KeyDumpTab::showPoured(const QStringList& console, int entered) {
    appendConsole(console);
    poured_->setValue(entered);
}
