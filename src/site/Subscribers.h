#pragma once
// The residents screen ("Абоненты") without its window: the list of every
// apartment row of the object with its house and entrance, narrowed by the
// prefixes typed into the edit fields and sorted by the columns chosen by
// clicking their titles; the key quota rule, the case of the names, and the
// save of a resident's row with the marks of the devices that carry it.
//
// The list query is rebuilt from its parts and reopened at every change
// (Requery): the fixed select and condition, the filter (the typed texts,
// bound as parameters, compared as case-insensitive prefixes) and the order
// (only from the grid's columns).

#include "foundation/HeldRows.h"
#include "site/ApartmentEditor.h"

#include <QList>
#include <QString>
#include <QStringList>

class Dataset;

namespace SubscriberTexts {
inline const QString kStartSearch = QStringLiteral("Начать выборку");
inline const QString kConfirmSearch = QStringLiteral("Подтвердить выборку");
inline const QString kEndSearch = QStringLiteral("Снять ограничение");
inline const QString kEditing = QStringLiteral("Редактирование");
inline const QString kEnteringSearch = QStringLiteral("Ввод параметров выбора");
inline const QString kSort = QStringLiteral("Сортировать");
inline const QString kView = QStringLiteral("Просмотреть");
// The sort's keyboard road, named where the mouse road starts.
inline const QString kSortKeyHint = QStringLiteral(
    "При сортировке пробел на столбце таблицы делает то же, что щелчок по его заголовку");
inline const QString kAscending = QStringLiteral(" возрастание");
inline const QString kDescending = QStringLiteral(" убывание");
inline const QString kDescendingItem = QStringLiteral(" DESC");
// The fixed condition of the list.
inline const QString kWhere =
    QStringLiteral("WHERE p.id_pod=v.id_pod AND p.id_dom=d.id_dom AND v.id_net=:id_net");
}  // namespace SubscriberTexts

// The texts typed into the five fields while a selection is entered.
struct SubscriberFilterTexts {
    QString fam, nam, och, number, code;
};

// The five fields of the filter, in the order of their clauses.
enum class SubscriberField { Fam, Nam, Och, Number, Code };
constexpr int kSubscriberFields = 5;
// The label of a field: with a trailing "*" while it narrows the list.
QString SubscriberFieldLabel(SubscriberField field, bool inForce);

// The selection cycle of "Начать выборку": editing, entering a selection,
// a selection in force.
enum class SearchState { Editing = 0, Entering = 1, Selected = 2 };
SearchState NextSearchState(SearchState state, bool filterEmpty);
QString SearchCaption(SearchState state);  // BitFind
QString SearchLabel(SearchState state);    // LEdit

// "Количество ключей " left: typed, the keys registered and the object's
// default quota.
int SubscriberKeyQuota(int typed, int keysHeld, int objectQuota);

// The grid's columns: field, title. Sorting accepts only these fields.
struct SubscriberColumn {
    QString field;
    QString title;
};
const QList<SubscriberColumn>& SubscriberColumns();

class SubscriberList {
  public:
    // Rebuilds the filter from the texts; true for each field that narrows.
    QList<bool> SetFilter(const SubscriberFilterTexts& texts);
    void ClearFilter();
    bool FilterEmpty() const { return filter_.isEmpty(); }

    // A title clicked in sort mode: added ascending, turned descending,
    // removed. Fields that are not grid columns are ignored.
    void CycleSort(const QString& field);
    const QStringList& SortItems() const { return sortItems_; }  // SortList
    const QStringList& SortView() const { return sortView_; }    // SortView
    // Sort mode ended: the items in force become the order (none: the order
    // stays as it was).
    void ApplySort();
    // "Снять ограничения": no sort items, no order.
    void ClearSort();
    bool Ordered() const { return !order_.isEmpty(); }

    // The list's condition, filter and order as they stand.
    QString Tail() const;
    // Rebuilds and reopens ds on its master's object, on row keepIdKvr when
    // it is still listed (else the first row). False with ds->LastError().
    bool Requery(Dataset* ds, qint64 keepIdKvr = 0) const;

  private:
    struct Clause {
        QString condition;
        QList<QPair<QString, QString>> params;  // name, value
    };
    QList<Clause> filter_;
    QStringList sortItems_;
    QStringList sortView_;
    QStringList order_;  // ORDER BY items in force
};

struct SubscriberSaveOutcome {
    bool saved = false;
    bool codeTaken = false;  // refused: the code is held by a row of the house
};

// "Сохранить изменения" of row idKvr with the values of the controls (names
// included). A code another row of the house holds is refused and nothing is
// written; so is everything once a row of shown (the apartment with its
// entrance, as the screen showed them) is gone.
SubscriberSaveOutcome StoreSubscriber(qint64 idKvr, const ApartmentValues& values,
                                      const HeldRows& shown = HeldRows());
