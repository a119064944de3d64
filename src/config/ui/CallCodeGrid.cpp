#include "config/ui/CallCodeGrid.h"

#include "config/ConfigEditorFile.h"
#include "platform/Dialogs.h"

namespace {
// A switch polls at most this many handsets, so no entrance has more rows;
// a damaged count larger than that shows this many.
constexpr int kMaxEntranceRows = 6200;
}  // namespace

CallCodeGrid::CallCodeGrid(const char* name, bool withTimes, QWidget* parent)
    : EditorGrid(name, 1, withTimes ? 5 : 3, 1, 1, parent), withTimes_(withTimes) {
    SetRowInput(kCodeRow, Input::Number);
    SetRowInput(kFlagRow, Input::Mask);
    FitHeight(RowCount());
    connect(this, &EditorGrid::cellTyped, this, &CallCodeGrid::typed);
    Clear();
}

void CallCodeGrid::Clear() {
    records_.clear();
    entrance_ = 0;
    SetColCount(1);
    QStringList titles{QStringLiteral("пор №"), QStringLiteral("код в"), QStringLiteral("маска")};
    if (withTimes_) titles << QStringLiteral("день") << QStringLiteral("ночь");
    SetColumnTitles(titles);
    FitColumns();
}

void CallCodeGrid::SetRecords(const QList<CallCodeRecord>& records) {
    records_ = records;
}

void CallCodeGrid::ShowEntrance(int column) {
    entrance_ = column;
    const QList<int> counts = Counts ? Counts() : QList<int>();
    const int count = qBound(0, counts.value(column - 1), kMaxEntranceRows);
    SetColCount(count + 1);
    NumberColumns();
    const int first = EntranceFirstRecord(counts, column);
    for (int i = 0; i < count; ++i) {
        const CallCodeRecord r = records_.value(first + i);
        SetCell(i + 1, kCodeRow, r.code);
        SetCell(i + 1, kFlagRow, r.flags);
        if (!withTimes_) continue;
        SetCell(i + 1, kDayRow, r.dayTime);
        SetCell(i + 1, kNightRow, r.nightTime);
    }
    FitColumns(36);
}

void CallCodeGrid::typed(int column, int row) {
    const QList<int> counts = Counts ? Counts() : QList<int>();
    const int index = column - 1;
    const int record = EntranceFirstRecord(counts, entrance_) + index;
    if (record >= records_.size()) records_.resize(record + 1);
    CallCodeRecord& r = records_[record];
    const QString text = Cell(column, row);
    switch (row) {
        case kCodeRow:
            if (const RepeatedCode repeat =
                    FindRepeatedCode(records_, counts, entrance_, index, text);
                repeat != RepeatedCode::None) {
                SetCell(column, row, r.code);
                Dialogs::Message(QStringLiteral("Предупреждение"), RepeatedCodeText(repeat),
                                 DlgButtons::Ok, DlgIcon::Warning);
                return;
            }
            r.code = text;
            break;
        case kFlagRow:
            r.flags = EditorFlagText(text, CarriedFlags ? CarriedFlags() : 0);
            SetCell(column, row, r.flags);
            break;
        case kDayRow:
            r.dayTime = text;
            break;
        default:
            r.nightTime = text;
            break;
    }
}
