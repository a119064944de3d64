#pragma once
// A grid of one panel per record of a dataset, in place of the control grid
// of the design: each panel shows the record's fields as captions, read-only
// texts and edit fields on one or two lines. The grid follows the dataset
// (its rows and its current record, whose panel is highlighted), makes the
// record of a panel the operator works in current, and reports edits, which
// its owner writes back. Fields can be locked and unlocked by name; a locked
// field has the button-face colour, an editable one the window colour.
//
// The grid is a Tab stop of its own, where its owner's keys for the grid
// act; while it has the focus its current panel is framed. Tab goes on from
// the grid into the editable fields of the current panel; the other panels'
// fields take the focus by a click.

#include <QList>
#include <QStringList>
#include <QVector>

#include <functional>

#include "site/ui/TDatasetPanels.h"

class QKeyEvent;
class QLabel;
class QLineEdit;

class TRecordGrid : public TDatasetPanels {
    Q_OBJECT
  public:
    enum class Kind {
        Caption,  // a fixed text only
        Text,     // a read-only value
        Edit,     // an edit field
        Number,   // an edit field taking digits only
    };
    struct FieldSpec {
        Kind kind = Kind::Edit;
        QString field;    // dataset field (empty for a caption)
        QString caption;  // the fixed text, or the caption before the value
        QString name;     // object name of the value control
        int line = 0;     // 0 or 1
        int width = 60;   // of the value control
        int maxLength = 32767;
    };
    // Handles a key pressed in a field of panel row; true when consumed.
    using KeyHandler = std::function<bool(int row, const QString& field, QKeyEvent* key)>;

    TRecordGrid(const QString& name, const QList<FieldSpec>& fields, int rowHeight,
                const QString& keyField, QWidget* parent = nullptr);

    void SetKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
    int RowHeight() const { return rowHeight_; }
    int RowCount() const { return int(rows_.size()); }
    int PanelWidth() const;

    // The dataset's current record as a panel row (0-based), -1 without one.
    int CurrentRow() const;
    // The value control of a field in a panel row, nullptr outside.
    QLineEdit* Editor(int row, const QString& field) const;
    QLabel* TextOf(int row, const QString& field) const;
    void SetFieldEditable(const QString& field, bool editable);
    bool FieldEditable(const QString& field) const;
    // The editable fields in panel order.
    QStringList EditableFields() const;
    // Focuses the first (or last) editable field of a panel row.
    bool FocusField(int row, bool last);
    // Reports the edit of the field that has the focus, as leaving it would.
    void CommitEdit();
    // Shows the stored values of a row again (after a refused edit).
    void ShowValues(int row) { showRow(row); }

  signals:
    void FieldEdited(qint64 key, const QString& field, const QString& text);
    // The operator clicked a panel outside its fields.
    void PanelClicked(int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void rebuild() override;
    void showRow(int row) override;
    void showCurrent() override;

  private:
    struct Row {
        qint64 key = 0;
        QWidget* panel = nullptr;
        QList<QWidget*> values;  // one per spec, nullptr for captions
    };
    Row makeRow();
    void enterRow(int row);
    void styleEditor(QLineEdit* edit, bool editable) const;
    // The current panel's editable fields follow the grid in the Tab order.
    void chainFields();
    int specIndex(const QString& field) const;
    int rowOf(QObject* widget) const;

    QList<FieldSpec> specs_;
    QList<bool> editable_;
    int rowHeight_;
    QString keyField_;
    QVector<Row> rows_;
    KeyHandler keyHandler_;
    bool rebuilding_ = false;
};
