#include "site/ui/TRecordGrid.h"

#include "foundation/ui/CharLimit.h"
#include "platform/Dataset.h"
#include "platform/ui/ElidedLabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// A field keeps the width the grid gives it; a text shown, no narrower than
// that, takes the free room of its line for a longer one before it elides.
void placeRecordValue(QHBoxLayout* line, QWidget* value, int width) {
    if (auto* label = qobject_cast<ElidedLabel*>(value)) {
        label->setMinimumWidth(width);
        ElidedLabel::AddToRow(line, label);
        return;
    }
    value->setFixedWidth(width);
    line->addWidget(value);
}

}  // namespace

TRecordGrid::TRecordGrid(const QString& name, const QList<FieldSpec>& fields, int rowHeight,
                         const QString& keyField, QWidget* parent)
    : TDatasetPanels(name, rowHeight, parent),
      specs_(fields),
      rowHeight_(rowHeight),
      keyField_(keyField) {
    for (const FieldSpec& s : specs_) editable_ << (s.kind == Kind::Edit || s.kind == Kind::Number);
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(PanelWidth() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
    SetVisibleRows(1);
}

int TRecordGrid::PanelWidth() const {
    // Each line of a panel: its captions and values side by side.
    const QFontMetrics fm(font());
    int widest = 0;
    for (int line = 0; line < 2; ++line) {
        int w = 12;
        for (const FieldSpec& s : specs_) {
            if (s.line != line) continue;
            if (!s.caption.isEmpty()) w += fm.horizontalAdvance(s.caption) + 10;
            if (s.kind != Kind::Caption) w += s.width + 8;
        }
        widest = qMax(widest, w);
    }
    return widest;
}

TRecordGrid::Row TRecordGrid::makeRow() {
    Row row;
    auto* panel = new QFrame(body_);
    panel->setObjectName(objectName() + QStringLiteral("Panel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFixedHeight(rowHeight_);
    panel->setAutoFillBackground(true);
    panel->installEventFilter(this);
    row.panel = panel;
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(6, 2, 6, 2);
    lines->setSpacing(2);
    QHBoxLayout* line[2] = {new QHBoxLayout, new QHBoxLayout};
    for (QHBoxLayout* l : line) lines->addLayout(l);
    for (int i = 0; i < specs_.size(); ++i) {
        const FieldSpec& s = specs_[i];
        QHBoxLayout* at = line[qBound(0, s.line, 1)];
        if (!s.caption.isEmpty()) at->addWidget(new QLabel(s.caption, panel));
        QWidget* value = nullptr;
        if (s.kind == Kind::Text) {
            auto* label = new ElidedLabel(panel);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
            value = label;
        } else if (s.kind != Kind::Caption) {
            auto* edit = new QLineEdit(panel);
            if (s.kind == Kind::Number) {
                edit->setMaxLength(s.maxLength);
                edit->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("[0-9]{0,5}")), edit));
            } else {
                LimitChars(edit, s.maxLength);
            }
            edit->installEventFilter(this);
            styleEditor(edit, editable_[i]);
            connect(edit, &QLineEdit::editingFinished, this, [this, edit, i] {
                const int r = rowOf(edit);
                if (rebuilding_ || r < 0 || edit->isReadOnly()) return;
                emit FieldEdited(rows_[r].key, specs_[i].field, edit->text());
            });
            value = edit;
        }
        if (value) {
            value->setObjectName(s.name);
            placeRecordValue(at, value, s.width);
            at->addSpacing(6);
        }
        row.values << value;
    }
    for (QHBoxLayout* l : line) l->addStretch();
    return row;
}

void TRecordGrid::rebuild() {
    rebuilding_ = true;
    // The old panels may hold the widget whose event is being handled.
    for (const Row& row : std::as_const(rows_)) {
        const QSignalBlocker block(row.panel);
        for (QWidget* v : row.values)
            if (v) v->blockSignals(true);
        row.panel->hide();
        row.panel->deleteLater();
    }
    rows_.clear();
    const Dataset* ds = readDataset();
    if (ds) {
        const int key = ds->FieldIndex(keyField_);
        for (int i = 0; i < ds->RecordCount(); ++i) {
            Row row = makeRow();
            row.key = ds->Value(i, key).toLongLong();
            rows_ << row;
            rowsLayout_->insertWidget(i, row.panel);
            showRow(i);
        }
    }
    rebuilding_ = false;
    showCurrent();
}

void TRecordGrid::showRow(int row) {
    const Dataset* ds = dataset();
    if (!ds || row < 0 || row >= rows_.size() || row >= ds->RecordCount()) return;
    const Row& r = rows_[row];
    for (int i = 0; i < specs_.size(); ++i) {
        if (!r.values[i]) continue;
        const QVariant v = ds->Value(row, ds->FieldIndex(specs_[i].field));
        const QString text = v.isNull() ? QString() : v.toString();
        if (auto* edit = qobject_cast<QLineEdit*>(r.values[i])) {
            const QSignalBlocker block(edit);
            if (edit->text() != text) edit->setText(text);
        } else if (auto* label = qobject_cast<ElidedLabel*>(r.values[i])) {
            label->setText(text);
        }
    }
}

void TRecordGrid::showCurrent() {
    const int current = CurrentRow();
    for (int i = 0; i < rows_.size(); ++i) {
        auto* panel = static_cast<QFrame*>(rows_[i].panel);
        QPalette p = panel->palette();
        p.setColor(QPalette::Window, i == current ? palette().color(QPalette::Midlight)
                                                  : palette().color(QPalette::Window));
        panel->setPalette(p);
        // The focus frame, in the highlight colour.
        const bool focused = i == current && hasFocus();
        panel->setFrameShape(focused ? QFrame::Box : QFrame::StyledPanel);
        panel->setLineWidth(focused ? 2 : 1);
        panel->setForegroundRole(focused ? QPalette::Highlight : QPalette::WindowText);
    }
    chainFields();
    if (current >= 0) ensureWidgetVisible(rows_[current].panel, 0, 0);
}

void TRecordGrid::chainFields() {
    const int current = CurrentRow();
    QWidget* previous = this;
    for (int r = 0; r < rows_.size(); ++r)
        for (int i = 0; i < specs_.size(); ++i) {
            auto* edit = qobject_cast<QLineEdit*>(rows_[r].values[i]);
            if (!edit || !editable_[i]) continue;
            edit->setFocusPolicy(r == current ? Qt::StrongFocus : Qt::ClickFocus);
            setTabOrder(previous, edit);
            previous = edit;
        }
}

void TRecordGrid::focusInEvent(QFocusEvent* event) {
    TDatasetPanels::focusInEvent(event);
    showCurrent();
}

void TRecordGrid::focusOutEvent(QFocusEvent* event) {
    TDatasetPanels::focusOutEvent(event);
    showCurrent();
}

int TRecordGrid::CurrentRow() const {
    const Dataset* ds = readDataset();
    if (!ds || ds->RecNo() < 1) return -1;
    const int row = ds->RecNo() - 1;
    return row < rows_.size() ? row : -1;
}

int TRecordGrid::specIndex(const QString& field) const {
    for (int i = 0; i < specs_.size(); ++i)
        if (specs_[i].field == field && specs_[i].kind != Kind::Caption) return i;
    return -1;
}

int TRecordGrid::rowOf(QObject* widget) const {
    for (int r = 0; r < rows_.size(); ++r)
        if (widget == rows_[r].panel || rows_[r].values.contains(widget)) return r;
    return -1;
}

QLineEdit* TRecordGrid::Editor(int row, const QString& field) const {
    const int i = specIndex(field);
    if (i < 0 || row < 0 || row >= rows_.size()) return nullptr;
    return qobject_cast<QLineEdit*>(rows_[row].values[i]);
}

QLabel* TRecordGrid::TextOf(int row, const QString& field) const {
    const int i = specIndex(field);
    if (i < 0 || row < 0 || row >= rows_.size()) return nullptr;
    return qobject_cast<QLabel*>(rows_[row].values[i]);
}

void TRecordGrid::styleEditor(QLineEdit* edit, bool editable) const {
    edit->setReadOnly(!editable);
    edit->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, palette().color(editable ? QPalette::Base : QPalette::Button));
    edit->setPalette(p);
}

void TRecordGrid::SetFieldEditable(const QString& field, bool editable) {
    const int i = specIndex(field);
    if (i < 0 || specs_[i].kind == Kind::Text) return;
    editable_[i] = editable;
    for (const Row& row : std::as_const(rows_))
        if (auto* edit = qobject_cast<QLineEdit*>(row.values[i])) styleEditor(edit, editable);
    chainFields();
}

bool TRecordGrid::FieldEditable(const QString& field) const {
    const int i = specIndex(field);
    return i >= 0 && editable_[i];
}

QStringList TRecordGrid::EditableFields() const {
    QStringList fields;
    for (int i = 0; i < specs_.size(); ++i)
        if (editable_[i]) fields << specs_[i].field;
    return fields;
}

bool TRecordGrid::FocusField(int row, bool last) {
    const QStringList fields = EditableFields();
    if (fields.isEmpty() || row < 0 || row >= rows_.size()) return false;
    QLineEdit* edit = Editor(row, last ? fields.last() : fields.first());
    if (!edit) return false;
    enterRow(row);
    edit->setFocus();
    edit->selectAll();
    return true;
}

void TRecordGrid::CommitEdit() {
    for (int r = 0; r < rows_.size(); ++r)
        for (int i = 0; i < specs_.size(); ++i) {
            auto* edit = qobject_cast<QLineEdit*>(rows_[r].values[i]);
            if (edit && edit->hasFocus() && !edit->isReadOnly())
                emit FieldEdited(rows_[r].key, specs_[i].field, edit->text());
        }
}

void TRecordGrid::enterRow(int row) {
    Dataset* ds = dataset();
    if (ds && row >= 0 && ds->RecNo() != row + 1) ds->SetRecNo(row + 1);
}

bool TRecordGrid::eventFilter(QObject* watched, QEvent* event) {
    if (rebuilding_) return QScrollArea::eventFilter(watched, event);
    const int row = rowOf(watched);
    if (row >= 0) {
        switch (event->type()) {
            case QEvent::FocusIn:
                enterRow(row);
                break;
            case QEvent::MouseButtonPress:
                if (watched == rows_[row].panel) {
                    enterRow(row);
                    emit PanelClicked(row);
                }
                break;
            case QEvent::KeyPress:
                if (keyHandler_) {
                    const int i = int(rows_[row].values.indexOf(static_cast<QWidget*>(watched)));
                    const QString field = i >= 0 ? specs_[i].field : QString();
                    if (keyHandler_(row, field, static_cast<QKeyEvent*>(event))) return true;
                }
                break;
            default:
                break;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}
