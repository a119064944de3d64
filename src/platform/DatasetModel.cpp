#include "platform/DatasetModel.h"

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), ds_(dataset) {
    connect(ds_, &Dataset::RowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(ds_, &Dataset::RowChanged, this, [this](int row) {
        if (columnCount() > 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    // Rows arrive and leave one at a time; the signal comes after the cache
    // changed, so a reset keeps the view consistent.
    connect(ds_, &Dataset::RowInserted, this, [this](int) {
        beginResetModel();
        endResetModel();
    });
    connect(ds_, &Dataset::RowRemoved, this, [this](int) {
        beginResetModel();
        endResetModel();
    });
}

void DatasetModel::AddColumn(const QString& field, const QString& title, bool editable,
                             bool check) {
    beginResetModel();
    columns_ << Column{field, title, editable, check};
    forgetShown();
    endResetModel();
}

void DatasetModel::ClearColumns() {
    beginResetModel();
    columns_.clear();
    forgetShown();
    endResetModel();
}

// A view asks while it paints or lays out: it never makes the dataset read
// (see rowCount), so rows pending read show as the columns declared, without fields.
const DatasetModel::Shown& DatasetModel::shown() const {
    const quint64 layout = ds_ ? ds_->Layout() : 0;
    if (shownValid_ && layout == shownLayout_) return shown_;
    shown_ = Shown();
    if (ds_ && ds_->RowsPending()) {
        shown_.columns = columns_;
        shown_.fields.fill(-1, columns_.size());
        return shown_;
    }
    if (!columns_.isEmpty() || !ds_)
        shown_.columns = columns_;
    else
        for (const QString& name : ds_->FieldNames())
            shown_.columns << Column{name, name, false, false};
    for (const Column& c : std::as_const(shown_.columns))
        shown_.fields << (ds_ ? ds_->FieldIndex(c.field) : -1);
    shownValid_ = true;
    shownLayout_ = layout;
    return shown_;
}

int DatasetModel::ColumnOf(const QString& field) const {
    const QList<Column>& cols = shownColumns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int DatasetModel::fieldOf(int column) const {
    const Shown& s = shown();
    if (!ds_ || column < 0 || column >= s.fields.size()) return -1;
    return s.fields[column];
}

// Rows pending read (stale, or closed until read) show as none: a view
// (often of a screen not shown) never makes them read; a grid shown reads
// them (DatasetGrid).
int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !ds_ || ds_->RowsPending() ? 0 : ds_->RecordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shownColumns().size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ds_ || ds_->RowsPending()) return QVariant();
    const int field = fieldOf(index.column());
    if (field < 0) return QVariant();
    const QVariant v = ds_->Value(index.row(), field);
    const bool check = shownColumns().at(index.column()).check;
    if (check) {
        if (role == Qt::CheckStateRole) return v.toDouble() != 0 ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) return v;
    return QVariant();
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !ds_ ||
        !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const bool check = shownColumns().at(index.column()).check;
    if (check ? role != Qt::CheckStateRole : role != Qt::EditRole) return false;
    const int field = fieldOf(index.column());
    ds_->SetRecNo(index.row() + 1);
    if (ds_->RecNo() != index.row() + 1) return false;
    const QVariant stored = check ? QVariant(value.toInt() == Qt::Checked ? 1 : 0) : value;
    ds_->Fields(field).SetValue(stored);
    if (!ds_->Post()) {
        ds_->Cancel();
        return false;
    }
    return true;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Vertical) return section + 1;
    const QList<Column>& cols = shownColumns();
    return section >= 0 && section < cols.size() ? QVariant(cols[section].title) : QVariant();
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const Column& c = shownColumns().at(index.column());
    if (c.editable && ds_ && ds_->FieldWritable(fieldOf(index.column())))
        f |= c.check ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}
