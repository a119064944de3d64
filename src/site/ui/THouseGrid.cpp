#include "site/ui/THouseGrid.h"

#include "platform/Dataset.h"
#include "site/ObjectScreen.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kHouseRowHeight = 38;
}  // namespace

THouseGrid::THouseGrid(QWidget* parent)
    : TDatasetPanels(QStringLiteral("CGridD"), kHouseRowHeight, parent) {}

int THouseGrid::RowHeight() {
    return kHouseRowHeight;
}

THouseGrid::Row THouseGrid::makeRow(int index) {
    Row row;
    auto* frame = new QFrame(body_);
    row.panel = frame;
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFixedHeight(kHouseRowHeight);
    auto* prefixLabel = new QLabel(QStringLiteral("Префикс дома"), frame);
    prefixLabel->setObjectName(QStringLiteral("Label4"));
    row.prefix = new QLineEdit(frame);
    row.prefix->setObjectName(QStringLiteral("D_EName"));
    row.prefix->setMaxLength(ObjectWidths::kPrefix);
    // Digits only: the prefix is dialled before the apartment's code.
    row.prefix->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), row.prefix));
    row.prefix->setFixedWidth(80);
    auto* entrancesLabel = new QLabel(QStringLiteral("Количество подъездов"), frame);
    entrancesLabel->setObjectName(QStringLiteral("Label2"));
    row.entrances = new QSpinBox(frame);
    row.entrances->setObjectName(QStringLiteral("DEvPod"));
    row.entrances->setRange(0, ObjectLimits::kMaxHouseEntrances);
    row.entrances->setFixedWidth(70);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(prefixLabel);
    layout->addWidget(row.prefix);
    layout->addSpacing(16);
    layout->addWidget(entrancesLabel);
    layout->addWidget(row.entrances);
    layout->addStretch();
    for (QWidget* w : {static_cast<QWidget*>(row.prefix), static_cast<QWidget*>(row.entrances)})
        w->installEventFilter(this);
    if (QLineEdit* inner = row.entrances->findChild<QLineEdit*>()) inner->installEventFilter(this);

    connect(row.prefix, &QLineEdit::textEdited, this, [this, index](const QString& text) {
        if (index < rows_.size()) emit PrefixEdited(rows_[index].idDom, text);
    });
    connect(row.entrances, &QSpinBox::valueChanged, this, [this, index](int value) {
        if (index < rows_.size()) emit EntrancesEdited(rows_[index].idDom, value);
    });
    return row;
}

void THouseGrid::rebuild() {
    for (const Row& row : std::as_const(rows_)) delete row.panel;
    rows_.clear();
    const Dataset* houses = readDataset();
    if (!houses) return;
    const int id = houses->FieldIndex(QStringLiteral("id_dom"));
    for (int i = 0; i < houses->RecordCount(); ++i) {
        Row row = makeRow(i);
        row.idDom = houses->Value(i, id).toLongLong();
        rows_ << row;
        rowsLayout_->insertWidget(i, row.panel);
        showRow(i);
    }
}

// The values of a dataset row; a field the operator is typing in keeps its
// caret, as the dataset echoes every posted edit.
void THouseGrid::showRow(int row) {
    const Dataset* houses = dataset();
    if (!houses || row < 0 || row >= rows_.size() || row >= houses->RecordCount()) return;
    const Row& r = rows_[row];
    const QString prefix =
        houses->Value(row, houses->FieldIndex(QStringLiteral("kod_d"))).toString();
    const int entrances = houses->Value(row, houses->FieldIndex(QStringLiteral("v_pod"))).toInt();
    const QSignalBlocker blockPrefix(r.prefix);
    const QSignalBlocker blockEntrances(r.entrances);
    if (r.prefix->text() != prefix) r.prefix->setText(prefix);
    if (r.entrances->value() != entrances) r.entrances->setValue(entrances);
}

QLineEdit* THouseGrid::PrefixEdit(int row) const {
    return row >= 0 && row < rows_.size() ? rows_[row].prefix : nullptr;
}

QSpinBox* THouseGrid::EntrancesEdit(int row) const {
    return row >= 0 && row < rows_.size() ? rows_[row].entrances : nullptr;
}

int THouseGrid::CurrentRow() const {
    const Dataset* houses = dataset();
    if (!houses || houses->RecNo() < 1) return 0;
    return qMin(houses->RecNo() - 1, int(rows_.size()) - 1);
}

bool THouseGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter acts as Tab in the grid.
            focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn)
        if (auto* w = qobject_cast<QWidget*>(watched)) ensureWidgetVisible(w);
    return QScrollArea::eventFilter(watched, event);
}
