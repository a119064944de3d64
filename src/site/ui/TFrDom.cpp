#include "site/ui/TFrDom.h"

#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/ui/MainWindowHost.h"
#include "foundation/ui/TFDialog.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"
#include "site/AccessMatrix.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

TFrDom* g_frDom = nullptr;

const QString kBoldOff = QStringLiteral("ж");  // the toggle offers bold
const QString kBoldOn = QStringLiteral("н");   // the toggle offers normal
const QString kToggleKey = QStringLiteral("fm");
constexpr int kBoldFirstColumn = 160;
constexpr int kNormalFirstColumn = 140;
constexpr int kNumberColumn = 36;

// t_global.KolTractPK as the data module has it, else the program's value.
int tractsPerSwitch() {
    if (FDM && !FDM->Global->IsEmpty())
        if (const int n = FDM->Global->FieldByName(QStringLiteral("KolTractPK")).AsInt(); n > 0)
            return n;
    return Globals().KolTractPK;
}

// What a cell's width is measured from: its delegate and its text (a null
// one apart). The matrix model gives nothing but texts.
struct CellKind {
    const QAbstractItemDelegate* delegate = nullptr;
    int type = 0;
    bool null = false;
    QString text;
    bool operator==(const CellKind&) const = default;
};
size_t qHash(const CellKind& k, size_t seed = 0) {
    return qHashMulti(seed, k.delegate, k.type, k.null, k.text);
}

// The grid of the matrix. A column is as wide as its widest text, as the
// table view measures it; but the cells of a switch column hold a handful of
// marks repeated down every row, so each kind of cell is measured once
// instead of every cell (the view's way costs as much as the rest of the
// screen together on a large object).
class MatrixGrid : public KeyboardGrid<QTableView> {
  public:
    using KeyboardGrid::KeyboardGrid;

    int sizeHintForColumn(int column) const override {
        const QAbstractItemModel* m = model();
        const int rows = m ? m->rowCount(rootIndex()) : 0;
        // Where the view measures only some of the rows, it measures them itself.
        if (!m || rows > verticalHeader()->resizeContentsPrecision() ||
            verticalHeader()->hiddenSectionCount() > 0)
            return KeyboardGrid::sizeHintForColumn(column);
        ensurePolished();
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        QSet<CellKind> measured;
        int hint = 0;
        for (int r = 0; r < rows; ++r) {
            const QModelIndex index = m->index(r, column, rootIndex());
            if (isPersistentEditorOpen(index)) return KeyboardGrid::sizeHintForColumn(column);
            QAbstractItemDelegate* delegate = itemDelegateForIndex(index);
            if (!delegate) continue;
            const QVariant v = index.data(Qt::DisplayRole);
            const CellKind kind{delegate, v.typeId(), v.isNull(), v.toString()};
            if (measured.contains(kind)) continue;
            measured.insert(kind);
            hint = qMax(hint, delegate->sizeHint(option, index).width());
        }
        return showGrid() ? hint + 1 : hint;
    }
};

}  // namespace

// Every cell centred; the header rows in the button colour, gate rows and
// "--" cells (keys without ringing) in colours of their own.
class MatrixCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
        const QString name = index.sibling(index.row(), 0).data().toString();
        if (index.row() < Globals().Shapka)
            option->backgroundBrush = option->palette.button();
        else if (MatrixRules::IsGateRow(name))
            option->backgroundBrush = QColor(0xFF, 0xF6, 0xD5);
        if (index.data().toString().trimmed() == QStringLiteral("--"))
            option->backgroundBrush = QColor(0xF9, 0xD9, 0xD2);
    }
};

TFrDom::TFrDom(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrDom1"), Screens::Find(2)->title, parent) {
    g_frDom = this;
    buildGrid();
    buildMenu();
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildTopPanel());
    content->addWidget(DBGrid3, 1);
    content->addWidget(buildBottomPanel());
    wireControls();
    attachMatrix();
    // Another object or file, or rows removed: the matrix is the current
    // object's as the file holds it.
    DropWorkWhenGroundMoves(this, [this] { showCurrentMatrix(); });
}

TFrDom::~TFrDom() {
    if (g_frDom == this) g_frDom = nullptr;
}

TFrDom* TFrDom::Instance() {
    return g_frDom;
}

// ---------------------------------------------------------------- building

QWidget* TFrDom::buildTopPanel() {
    auto* panel = Named(new QFrame(this), "Panel3");
    BtnSave = Named(new QPushButton(QStringLiteral("Сохранить"), panel), "BtnSave");
    BtnRetry = Named(new QPushButton(QStringLiteral("Восстановить"), panel), "BtnRetry");
    BitAppKal = Named(new QPushButton(QStringLiteral("Добавить калитку"), panel), "BitAppKal");
    auto* emaxLabel =
        Named(new QLabel(QStringLiteral("Для кликов: Макс.кол-во БВ в подъезде (до 8 вкл.калитки)"),
                         panel),
              "P3_LEmax");
    P3_Emax = Named(new QSpinBox(panel), "P3_Emax");
    P3_Emax->setRange(0, MatrixEditor::kMaxEmax);
    P3_Emax->setValue(MatrixEditor::kDefaultEmax);
    P3_Fs = Named(new QLabel(kBoldOff, panel), "P3_Fs");
    P3_Fs->setFrameShape(QFrame::Box);
    P3_Fs->setAlignment(Qt::AlignCenter);
    P3_Fs->setFixedWidth(22);
    P3_Fs->setToolTip(QStringLiteral("Жирный/нормальный шрифт матрицы"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(BtnSave);
    row->addWidget(BtnRetry);
    row->addWidget(BitAppKal);
    row->addStretch();
    row->addWidget(emaxLabel);
    row->addWidget(P3_Emax);
    row->addWidget(P3_Fs);
    return panel;
}

QWidget* TFrDom::buildBottomPanel() {
    auto* panel = Named(new QFrame(this), "Panel4");
    P3_Itpk = Named(new QLabel(QStringLiteral("0"), panel), "P3_Itpk");
    P3_Itbv = Named(new QLabel(QStringLiteral("0"), panel), "P3_Itbv");
    Secret = Named(new QSpinBox(panel), "Secret");
    Secret->setRange(0, 999);
    Secret->hide();
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Итого КМ:"), panel));
    row->addWidget(P3_Itpk);
    row->addSpacing(24);
    row->addWidget(new QLabel(QStringLiteral("Итого БВ:"), panel));
    row->addWidget(P3_Itbv);
    row->addStretch();
    row->addWidget(Secret);
    return panel;
}

void TFrDom::buildGrid() {
    DBGrid3 = Named(new MatrixGrid(this), "DBGrid3");
    DBGrid3->setToolTip(MatrixTexts::kGridHint);
    DBGrid3->setStatusTip(MatrixTexts::kGridHint);
    // Cells change only through the matrix rules, never by an editor.
    DBGrid3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid3->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid3->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid3->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid3->verticalHeader()->hide();
    DBGrid3->verticalHeader()->setDefaultSectionSize(DBGrid3->fontMetrics().height() + 6);
    QFont headerFont = DBGrid3->horizontalHeader()->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() * 0.85);
    DBGrid3->horizontalHeader()->setFont(headerFont);
    DBGrid3->horizontalHeader()->setMinimumSectionSize(MainWindowLogic::kMinMatrixColumn);
    delegate_ = new MatrixCellDelegate(DBGrid3);
    DBGrid3->setItemDelegate(delegate_);
    DBGrid3->installEventFilter(this);
}

void TFrDom::buildMenu() {
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    KClear = Named(PopupMenu1->addAction(QStringLiteral("Клик для калитки")), "KClear");
    N3 = Named(PopupMenu1->addAction(QStringLiteral("Упорядочить сетевые адреса БВ")), "N3");
    N4 = Named(PopupMenu1->addAction(QStringLiteral("Упорядочить сетевые адреса КМ")), "N4");
    PopupMenu1->addSeparator();
    N2 = Named(PopupMenu1->addAction(QStringLiteral("Нормальный шрифт")), "N2");
    N1 = Named(PopupMenu1->addAction(QStringLiteral("Жирный шрифт")), "N1");
}

void TFrDom::wireControls() {
    connect(DBGrid3, &QTableView::doubleClicked, this, [this] { FrDom1DBGrid3DblClick(); });
    connect(DBGrid3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid3->viewport()->mapToGlobal(at)); });
    connect(KClear, &QAction::triggered, this, &TFrDom::FrDom1KClearClick);
    connect(N3, &QAction::triggered, this, &TFrDom::FrDom1N3Click);
    connect(N4, &QAction::triggered, this, &TFrDom::FrDom1N4Click);
    connect(N1, &QAction::triggered, this, &TFrDom::N1Click);
    connect(N2, &QAction::triggered, this, &TFrDom::N2Click);
    connect(BitAppKal, &QPushButton::clicked, this, &TFrDom::FrDom1BitAppKalClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFrDom::FrDom1BtnSaveClick);
    connect(BtnRetry, &QPushButton::clicked, this, &TFrDom::FrDom1BtnRetryClick);
    connect(P3_Emax, &QSpinBox::valueChanged, this, [this](int v) { editor_.SetEmax(v); });
    // Back to the object screen: the limit follows the global parameters.
    connect(BitPrev, &QPushButton::clicked, this,
            [this] { P3_Emax->setMaximum(qMin(tractsPerSwitch(), MatrixEditor::kMaxEmax)); });
    P3_Fs->installEventFilter(this);
}

// The grid shows the data module's matrix dataset.
void TFrDom::attachMatrix() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_Matr)) return;
    delete model_;
    // No declared columns: every field shows under its own name, which the
    // main window's layout of the switch columns goes by.
    model_ = new DatasetModel(FDM->Q_Matr, this);
    DBGrid3->setModel(model_);
    connect(model_, &QAbstractItemModel::modelReset, this, &TFrDom::useDelegateOnEveryColumn);
    useDelegateOnEveryColumn();
}

// The main window centres the switch columns with its own delegate where a
// column has none; every column keeps the matrix painting instead.
void TFrDom::useDelegateOnEveryColumn() {
    if (!model_) return;
    for (int c = 0; c < model_->columnCount(); ++c) DBGrid3->setItemDelegateForColumn(c, delegate_);
    const int number = model_->ColumnOf(QStringLiteral("sys_n"));
    if (number < 0) return;
    DBGrid3->resizeColumnToContents(number);
    DBGrid3->setColumnWidth(number, qMax(kNumberColumn, DBGrid3->columnWidth(number)));
}

MainWindowHost* TFrDom::host() const {
    return HostOf(this);
}

void TFrDom::relayout() {
    if (MainWindowHost* w = host()) w->FormResize();
}

void TFrDom::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    attachMatrix();
    holdObject();
    P3_Emax->setMaximum(qMin(tractsPerSwitch(), MatrixEditor::kMaxEmax));
    if (MainWindowHost* w = host()) {
        w->SetMatrixGrid(DBGrid3);
        setBold(w->GridToggle(kToggleKey) == kBoldOn);
    }
    ShowMatrixTotals();
}

// The matrix is edited in its object's own table; its save writes that
// object's rows, and nothing when the object is gone.
void TFrDom::holdObject() {
    held_ = HeldRows::OfObject(FDM ? FDM->Ground().CurrentObject() : 0);
}

void TFrDom::showCurrentMatrix() {
    Hooks().ReopenMatrix();
    holdObject();
    relayout();
    ShowMatrixTotals();
}

// ---------------------------------------------------------------- display

void TFrDom::ShowMatrixTotals() {
    const MatrixTotals totals = AccessMatrix::ShowMatrixTotals();
    P3_Itpk->setText(QString::number(qMax(0, totals.switches)));
    P3_Itbv->setText(QString::number(qMax(0, totals.panels)));
}

void TFrDom::setBold(bool bold) {
    QFont font = DBGrid3->font();
    font.setBold(bold);
    DBGrid3->setFont(font);
    P3_Fs->setText(bold ? kBoldOn : kBoldOff);
    DBGrid3->setColumnWidth(0, bold ? kBoldFirstColumn : kNormalFirstColumn);
    useDelegateOnEveryColumn();
    if (MainWindowHost* w = host()) {
        w->SetGridToggle(kToggleKey, P3_Fs->text());
        w->FormResize();
    }
}

void TFrDom::N1Click() {
    setBold(true);
}

void TFrDom::N2Click() {
    setBold(false);
}

void TFrDom::P3_FsDblClick() {
    setBold(P3_Fs->text() == kBoldOff);
}

// ---------------------------------------------------------------- grid

int TFrDom::currentRow() const {
    return DBGrid3->currentIndex().isValid() ? DBGrid3->currentIndex().row() : -1;
}

QString TFrDom::currentField() const {
    const QModelIndex at = DBGrid3->currentIndex();
    if (!at.isValid() || !model_) return QString();
    return model_->headerData(at.column(), Qt::Horizontal).toString();
}

void TFrDom::returnToCell(int header, const QString& field) {
    if (!model_) return;
    for (int r = 0; r < model_->rowCount(); ++r)
        if (MatrixRules::HeaderRowOf(model_->index(r, 0).data().toString()) == header) {
            DBGrid3->setCurrentIndex(model_->index(r, qMax(0, model_->ColumnOf(field))));
            return;
        }
}

// Rows came or went: the layout again, back to the door count of the column.
void TFrDom::showRowsChanged(const MatrixEdit& edit, const QString& field) {
    if (!edit.reopened) return;
    Secret->setValue(editor_.Secret());
    relayout();
    returnToCell(3, field);
    ShowMatrixTotals();
}

void TFrDom::FrDom1DBGrid3DblClick() {
    const QString field = currentField();
    showRowsChanged(editor_.DblClick(currentRow(), field), field);
}

void TFrDom::FrDom1DBGrid3KeyPress(QChar key) {
    const QString field = currentField();
    showRowsChanged(editor_.KeyPress(currentRow(), field, key), field);
}

void TFrDom::DBGrid3KeyDown(int key) {
    editor_.KeyDown(currentRow(), currentField(), key);
}

bool TFrDom::gridKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        DBGrid3KeyDown(key->key());
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        FrDom1DBGrid3KeyPress(QLatin1Char('\r'));
        return true;
    }
    const QString text = key->text();
    if (text.size() != 1 || text.at(0) < QLatin1Char(' ')) return false;
    FrDom1DBGrid3KeyPress(text.at(0));
    return true;
}

bool TFrDom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid3 && event->type() == QEvent::KeyPress &&
        gridKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == P3_Fs && event->type() == QEvent::MouseButtonDblClick) {
        P3_FsDblClick();
        return true;
    }
    return TScreenFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- commands

void TFrDom::FrDom1KClearClick() {
    editor_.GateClick(currentRow(), currentField());
}

void TFrDom::BitAppKalClick() {
    if (Dialogs::Message(MatrixTexts::kAddGateCaption, MatrixTexts::kAddGate, DlgButtons::YesNo,
                         DlgIcon::Question) != DlgAnswer::Yes)
        return;
    editor_.AddGates(1);
    Secret->setValue(editor_.Secret());
}

void TFrDom::FrDom1BitAppKalClick() {
    BitAppKalClick();
    relayout();
    ShowMatrixTotals();
}

void TFrDom::renumberFrom(const QString& caption, const QString& text,
                          bool (MatrixEditor::*renumber)(int)) {
    if (!FDialog) return;
    FDialog->setWindowTitle(caption);
    FDialog->Answer->setText(text);
    FDialog->VEdit->setRange(0, qMax(0, Globals().MaxDevice - 1));
    FDialog->VEdit->setValue(1);
    FDialog->VEdit->show();
    const DlgAnswer answer = FDialog->ShowModal();
    FDialog->setWindowTitle(QStringLiteral("Диалог"));
    if (answer != DlgAnswer::Yes) return;
    WaitCursor wait;
    (editor_.*renumber)(FDialog->VEdit->value());
}

void TFrDom::FrDom1N3Click() {
    renumberFrom(MatrixTexts::kRenumberPanelsCaption, MatrixTexts::kRenumberPanels,
                 &MatrixEditor::RenumberCallBlocks);
}

void TFrDom::FrDom1N4Click() {
    renumberFrom(MatrixTexts::kRenumberSwitchesCaption, MatrixTexts::kRenumberSwitches,
                 &MatrixEditor::RenumberSwitches);
}

void TFrDom::FrDom1BtnSaveClick() {
    // The save reads the object's matrix before it writes: nothing of one
    // another copy removed is read or written.
    if (held_.Holds() && !held_.StillThere()) return;
    {
        WaitCursor wait;
        editor_.SaveMatrix(held_);
    }
    relayout();
    ShowMatrixTotals();
    if (model_ && model_->rowCount() > 0) DBGrid3->setCurrentIndex(model_->index(0, 0));
}

void TFrDom::FrDom1BtnRetryClick() {
    {
        WaitCursor wait;
        AccessMatrix().BtnRetryClick();
    }
    Hooks().ReopenMatrix();
    relayout();
    ShowMatrixTotals();
}
