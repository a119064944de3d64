#include "config/ui/TFrWrite.h"

#include "config/ConfigImage.h"
#include "config/ConfigWriteScreen.h"
#include "config/ui/MemoLines.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"
#include "platform/ui/PathLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QStringList kLegend = {
    QStringLiteral("     - КФ нет"),
    QStringLiteral("+   - КФ создан"),
    QStringLiteral("-    - данные изменены, надо создать заново"),
    QStringLiteral("w  - КФ записан в СУ"),
    QStringLiteral("~   - КФ записан, но данные изменены, следует пересоздать и перезаписать в СУ"),
    QStringLiteral("*    - КФ пересоздан, следует записать в СУ"),
};

QPlainTextEdit* logMemo(QWidget* parent, const char* name) {
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

// The identifier field takes digits, the point and backspace; keys that type
// nothing (arrows, Delete, Tab) keep working.
bool typesForbiddenCharacter(const QKeyEvent* key) {
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Backspace) return false;
    if (!text.front().isPrint()) return false;
    for (QChar c : text)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.')) return true;
    return false;
}

qint64 currentObjectField(const char* field) {
    if (!FDM || FDM->Q_Net->IsEmpty()) return 0;
    return FDM->Q_Net->FieldByName(QLatin1String(field)).AsLargeInt();
}

}  // namespace

TFrWrite::TFrWrite(QWidget* parent) : TScreenFrame(QStringLiteral("FrWrite1"), QString(), parent) {
    // The frame's own back and next buttons are the screen's navigation.
    ButBack = Named(BitPrev, "ButBack");
    VvodObj = Named(BitNext, "VvodObj");

    QVBoxLayout* content = ContentLayout();
    auto* ident = new QHBoxLayout;
    ident->addWidget(new QLabel(QStringLiteral("Числовой идентификатор для всех СУ:"), this));
    EIdent = Named(new QLineEdit(this), "EIdent");
    EIdent->setFixedWidth(EIdent->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 12 + 16);
    EIdent->installEventFilter(this);
    ident->addWidget(EIdent);
    ident->addSpacing(16);
    LFile1 = Named(new PathLabel(this), "LFile1");
    ident->addWidget(LFile1, 1);
    content->addLayout(ident);

    auto* body = new QHBoxLayout;
    body->addWidget(buildDevicePanel());
    body->addWidget(buildLogs(), 1);
    content->addLayout(body, 1);

    Memo3 = logMemo(this, "Memo3");
    Memo3->hide();
    buildMenu();

    connect(EIdent, &QLineEdit::editingFinished, this, &TFrWrite::EIdentExit);
    connect(BitCreate, &QPushButton::clicked, this, &TFrWrite::BitCreateClick);
    connect(BitClear, &QPushButton::clicked, this, &TFrWrite::BitClearClick);
    connect(Bit1ch, &QPushButton::clicked, this, &TFrWrite::Bit1chClick);
}

TFrWrite::~TFrWrite() = default;

QWidget* TFrWrite::buildDevicePanel() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    ListCdev = Named(new KeyboardGrid<QListWidget>(panel), "ListCdev");
    ListCdev->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont fixed = ListCdev->font();
    fixed.setFamily(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    ListCdev->setFont(fixed);
    column->addWidget(ListCdev, 1);
    ChSlot =
        Named(new QCheckBox(QStringLiteral("Резервировать слоты для ключей"), panel), "ChSlot");
    ChSlot->setChecked(true);
    column->addWidget(ChSlot);
    column->addWidget(buildLegend());
    BitCreate =
        Named(new QPushButton(QStringLiteral("Создать файлы конфигурации"), panel), "BitCreate");
    BitClear = Named(new QPushButton(QStringLiteral("Очистить поля"), panel), "BitClear");
    column->addWidget(BitCreate);
    column->addWidget(BitClear);
    auto* files = new QHBoxLayout;
    ButRead1 = Named(new QPushButton(QStringLiteral("Разбор КФ"), panel), "ButRead1");
    ButRedact1 = Named(new QPushButton(QStringLiteral("Просмотр КФ"), panel), "ButRedact1");
    files->addWidget(ButRead1);
    files->addWidget(ButRedact1);
    column->addLayout(files);
    // Wide enough for the legend's longest line.
    panel->setFixedWidth(
        qMax(330, Memo4->fontMetrics().horizontalAdvance(kLegend[4].left(44)) + 40));
    return panel;
}

QWidget* TFrWrite::buildLegend() {
    Panel5 = Named(new QFrame(this), "Panel5");
    Panel5->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(Panel5);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    Bit1ch =
        Named(new QPushButton(QStringLiteral("Подсказка к первому символу"), Panel5), "Bit1ch");
    layout->addWidget(Bit1ch);
    Memo4 = Named(new QPlainTextEdit(Panel5), "Memo4");
    Memo4->setReadOnly(true);
    Memo4->setPlainText(kLegend.join(QLatin1Char('\n')));
    Memo4->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo4->hide();
    layout->addWidget(Memo4, 1);
    Panel5->setFixedHeight(legendHeight(false));
    return Panel5;
}

QWidget* TFrWrite::buildLogs() {
    auto* split = new QSplitter(Qt::Vertical, this);
    auto* detail = new QGroupBox(QStringLiteral("Окно выполнения детализированное"), split);
    auto* detailLayout = new QVBoxLayout(detail);
    Memo1 = logMemo(detail, "Memo1");
    detailLayout->addWidget(Memo1);
    auto* result = new QGroupBox(QStringLiteral("Окно выполнения результативное"), split);
    auto* resultLayout = new QVBoxLayout(result);
    Memo2 = logMemo(result, "Memo2");
    resultLayout->addWidget(Memo2);
    split->addWidget(detail);
    split->addWidget(result);
    return split;
}

void TFrWrite::buildMenu() {
    PMdiv = Named(new QMenu(ListCdev), "PMdiv");
    N_all = Named(PMdiv->addAction(QStringLiteral("Выбрать все")), "N_all");
    N_all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    N_all->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    N1 = Named(PMdiv->addAction(QStringLiteral("Выбрать изменения")), "N1");
    NClearSel = Named(PMdiv->addAction(QStringLiteral("Снять выделение")), "NClearSel");
    NReList = Named(PMdiv->addAction(QStringLiteral("Обновить")), "NReList");
    ListCdev->addAction(N_all);
    ListCdev->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListCdev, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PMdiv->popup(ListCdev->viewport()->mapToGlobal(at)); });
    connect(N_all, &QAction::triggered, this, &TFrWrite::N_allClick);
    connect(N1, &QAction::triggered, this, &TFrWrite::N1Click);
    connect(NClearSel, &QAction::triggered, this, &TFrWrite::NClearSelClick);
    connect(NReList, &QAction::triggered, this, &TFrWrite::NReListClick);
}

// ---------------------------------------------------------------- preparing

void TFrWrite::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    dbFolder_ = dbFolder;
    FormActivate();
}

void TFrWrite::FormActivate() {
    if (!FDM) return;
    core_ = std::make_unique<ConfigWriteScreen>(FDM->ConnectionDB());
    core_->SetAfterStateChange([](int kind) {
        if (kind == kKindSwitch) FDM->ReopenSwitches();
        if (kind == kKindCallPanel) FDM->ReopenCallBlocks();
        if (kind == kKindConsole) FDM->Q_PO->Reopen();
    });
    core_->SetWriteFolder(dbFolder_, currentObjectField("id_net"));
    EIdent->setText(QString::number(currentObjectField("id_nom")));
    LFile1->setText(core_->WriteFolder());
    Memo3->setToolTip(dbFolder_);
    RefreshDeviceList();
}

void TFrWrite::RefreshDeviceList() {
    ListCdev->clear();
    if (!core_) return;
    if (!core_->RefreshDeviceList())
        Dialogs::Message(QStringLiteral("Ошибка"), core_->LastError(), DlgButtons::Ok,
                         DlgIcon::Error);
    for (const WriteListRow& row : core_->Rows()) ListCdev->addItem(row.text);
}

// ---------------------------------------------------------------- building

void TFrWrite::BitCreateClick() {
    if (!core_) return;
    QString error;
    if (!core_->BuildWriteFolder(dbFolder_, core_->IdNet(), &error)) {
        Dialogs::Message(QStringLiteral("Ошибка"), error, DlgButtons::Ok, DlgIcon::Error);
        return;
    }
    WaitCursor wait;
    Memo3->clear();
    QList<int> rows;
    for (const QModelIndex& index : ListCdev->selectionModel()->selectedIndexes())
        rows << index.row();
    core_->SetReserveSlots(ChSlot->isChecked());
    core_->SetProgress(ProgressGauge());
    const WritePassResult pass = core_->BitCreateClick(rows);
    showLogs();
    // A stop on repeated codes leaves the choice for the next try.
    if (!pass.stopped) ListCdev->clearSelection();
    if (pass.driversRun > 0) {
        ListCdev->clear();
        for (const WriteListRow& row : core_->Rows()) ListCdev->addItem(row.text);
    }
}

void TFrWrite::showLogs() {
    ConfigLogs& logs = core_->Logs();
    AppendLines(Memo1, logs.detail);
    AppendLines(Memo2, logs.result);
    AppendLines(Memo3, logs.summary);
    logs = ConfigLogs();
}

void TFrWrite::BitClearClick() {
    Memo1->clear();
    Memo2->clear();
}

// ---------------------------------------------------------------- identifier

bool TFrWrite::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EIdent && event->type() == QEvent::KeyPress &&
        typesForbiddenCharacter(static_cast<QKeyEvent*>(event)))
        return true;
    return TScreenFrame::eventFilter(watched, event);
}

void TFrWrite::EIdentExit() {
    if (!FDM || FDM->Q_Net->IsEmpty()) return;
    Dataset* object = FDM->Q_Net;
    const qint64 stored = currentObjectField("id_nom");
    const std::optional<qint64> typed = IdNomFromText(EIdent->text());
    // Anything but a whole number keeps the identifier the devices have.
    if (!typed) {
        EIdent->setText(QString::number(stored));
        return;
    }
    if (*typed != stored) {
        object->Edit();
        object->FieldByName(QStringLiteral("id_nom")).SetValue(*typed);
        if (!object->Post()) {
            const QString why = object->LastError();
            object->Cancel();
            EIdent->setText(QString::number(stored));
            Dialogs::Message(QStringLiteral("Ошибка"), why, DlgButtons::Ok, DlgIcon::Error);
            return;
        }
    }
    EIdent->setText(QString::number(*typed));
}

// ---------------------------------------------------------------- list menu

void TFrWrite::N_allClick() {
    ListCdev->selectAll();
}

void TFrWrite::N1Click() {
    ListCdev->clearSelection();
    if (!core_) return;
    for (int row : core_->ChangedRows()) ListCdev->item(row)->setSelected(true);
}

void TFrWrite::NClearSelClick() {
    ListCdev->clearSelection();
}

void TFrWrite::NReListClick() {
    RefreshDeviceList();
}

// ---------------------------------------------------------------- legend

int TFrWrite::legendHeight(bool open) const {
    const int margins = 6;
    const int button = Bit1ch->sizeHint().height();
    if (!open) return button + margins;
    const int lines = Memo4->fontMetrics().lineSpacing() * (kLegend.size() + 2);
    return button + margins + lines + 2 * Memo4->frameWidth() + 8;
}

bool TFrWrite::LegendOpen() const {
    return Memo4->isVisibleTo(Panel5);
}

void TFrWrite::Bit1chClick() {
    const bool open = !LegendOpen();
    Memo4->setVisible(open);
    Panel5->setFixedHeight(legendHeight(open));
}
