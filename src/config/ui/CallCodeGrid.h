#pragma once
// The call-code grid of the call-panel and console tabs (KodBv, KodVv): the
// codes, flag groups and (console) day and night times of one entrance at a
// time, a window into the decoded call-code table the grid keeps. A typed
// code that repeats another of the entrance or of its neighbours is put back.

#include "config/CallCodeSection.h"
#include "config/ui/EditorGrid.h"

#include <functional>

class CallCodeGrid : public EditorGrid {
    Q_OBJECT
  public:
    // Rows: the ordinal, the code, the flag group and, withTimes, the day and night times.
    enum Row { kCodeRow = 1, kFlagRow = 2, kDayRow = 3, kNightRow = 4 };

    CallCodeGrid(const char* name, bool withTimes, QWidget* parent = nullptr);

    // The apartment counts of the entrance columns (column 1 first) and the
    // number of flags the file carries, asked when they are needed.
    std::function<QList<int>()> Counts;
    std::function<int()> CarriedFlags;

    void SetRecords(const QList<CallCodeRecord>& records);
    const QList<CallCodeRecord>& Records() const { return records_; }
    void Clear();
    // Shows the codes of an entrance column; none for a column of no apartments.
    void ShowEntrance(int column);
    int Entrance() const { return entrance_; }

  private:
    void typed(int column, int row);

    bool withTimes_;
    int entrance_ = 0;
    QList<CallCodeRecord> records_;
};
