#pragma once
// The rows a window that writes object data shows, taken by key when it shows
// them: its object, and the house, entrance and device under it. Its saves
// write those rows by key, never the shared lists' current rows at the click.
// Stands says whether the window may stay at all: the same reading of the
// file, the same current object, every row there (DataGround tells when to
// ask).
//
// The rule of every save over rows it read earlier (here, and in the key
// writes): inside the save's own transaction, before it writes, each row is
// looked up by its key. Another copy of the program on the same file may
// have removed one meanwhile; then the save writes nothing, not even what
// would bring the row back, and says in Russian what is gone ("Дом 2 удалён;
// изменения не сохранены."). StillThere asks the same before a question, so
// that nothing is asked about a row that is gone.

#include "foundation/BoundSql.h"

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

struct HeldRow {
    QString table;
    QString key;
    qint64 id = 0;
    QString gone;  // what the refusal says when the row is gone: "Коммутатор СКМ02 удалён"
};

namespace HeldRowTexts {
// gone + "; изменения не сохранены."
QString NotSaved(const QString& gone);
QString Object(const QString& ident);  // "Объект «Дом на Садовой» удалён"
// A house goes by its name, or by its call prefix when it has none; a name
// that is a number reads as one: "Дом 12а удалён", "Дом «Корпус Б» удалён".
QString House(const QString& name, const QString& prefix);
QString Entrance(int nPod, const QString& houseName, const QString& housePrefix);
QString Panel(const QString& name);  // "Блок вызова «БВ-К1» удалён"
QString Switch(int nNet);            // "Коммутатор СКМ02 удалён"
QString Apartment(const QString& number);
}  // namespace HeldRowTexts

// The look-up behind every check of held rows: each row by its key, inside
// whatever transaction the connection holds, one statement per table
// prepared once, so that a bulk write checks each of its rows at the cost of
// a look-up by key.
class HeldRowCheck {
  public:
    explicit HeldRowCheck(const QSqlDatabase& db);
    ~HeldRowCheck();
    HeldRowCheck(const HeldRowCheck&) = delete;
    HeldRowCheck& operator=(const HeldRowCheck&) = delete;

    // The first of rows (listed from the object down) the file lacks, -1
    // when every one is there. A row that cannot be looked up counts as
    // gone, with the reason in LastError().
    int FirstGone(const QList<HeldRow>& rows);
    // Why the last look-up failed; empty after one that did not.
    QString LastError() const { return error_; }

  private:
    bool present(const HeldRow& row);

    QSqlDatabase db_;
    QMap<QString, std::shared_ptr<BoundStatement>> lookups_;  // by "table.key"
    QString error_;
};

class HeldRows {
  public:
    // Read from the data module's file, each with what names it; empty when
    // the row is not there.
    static HeldRows OfObject(qint64 idNet);
    static HeldRows OfConsole(qint64 idNet);
    // The object with its houses and their entrances, in house order.
    static HeldRows OfObjectHouses(qint64 idNet);
    static HeldRows OfHouse(qint64 idDom);
    static HeldRows OfEntrance(qint64 idPod);
    static HeldRows OfSwitch(qint64 idPk);
    static HeldRows OfPanel(qint64 idBv);

    bool Holds() const { return !rows_.isEmpty(); }
    // The key of the row held from table, 0 without one.
    qint64 Id(const QString& table) const;
    // The object and the thing shown, for a window's title: "Дом на Садовой,
    // СКМ02"; the object alone for a window over the whole object.
    QString Name() const;
    // "Дом на Садовой, дом 1, подъезд 2" for a switch or an entrance (a
    // house with a name goes by it, else by its call prefix).
    QString EntranceName() const;
    // The caption with the name after it: "Определить мелодию КМ — Дом на
    // Садовой, СКМ02"; the caption alone while nothing is held.
    QString Title(const QString& caption) const { return Titled(caption, Name()); }
    QString Titled(const QString& caption, const QString& name) const;
    QString Object() const { return object_; }
    // "Дом на Садовой, дом 1": for a question over the house.
    QString HouseName() const;

    // One more row shown with these (an apartment of the entrance).
    HeldRows With(const HeldRow& row) const;
    // The rows of both, each once (the entrances of a house shown together).
    HeldRows With(const HeldRows& more) const;

    // The window still stands where it was shown; false also while no
    // database is open or nothing is held.
    bool Stands() const;
    // Every row is in the file; else the first one gone (from the object
    // down) is named in a refusal shown under "Ошибка", and false. False
    // without a word while nothing is held.
    bool StillThere() const;
    // The first row gone, empty when every one is there.
    QString Gone() const;

    // ---- the rule of a save, inside its own transaction
    // Inside tr, begun on the data module's connection: true when every row
    // is there, or nothing was taken (a save that holds nothing: its own
    // checks stand). Else tr is undone, then the first row gone is named in a
    // refusal shown under "Ошибка", and false: the save writes nothing. Rows
    // taken when they were already gone refuse without a word.
    bool StillThereIn(SqlTransaction& tr) const;
    // write run in one transaction on the data module's connection, once
    // StillThereIn passed. Anything but Written is undone before this
    // returns; a refusal is told already, a failure is the caller's to tell
    // (error holds the reason of the failed write or commit). write shows no
    // box: the file stays held while it runs.
    enum class Outcome { Written, Refused, Failed };
    Outcome Write(const std::function<bool(QString* error)>& write, QString* error) const;

  private:
    static HeldRows taken();  // taken from the file, with nothing found yet
    void takeGround();

    QList<HeldRow> rows_;
    QString object_;
    QString house_;
    QString entrance_;
    QString thing_;
    quint64 reading_ = 0;
    qint64 currentObject_ = 0;
    bool taken_ = false;  // read from the file (a default one holds nothing)
};

// A write over held rows run by their rule (HeldRows::Write), for an
// operation whose result says ok and gives its error: nothing is written
// once a row held is gone, which is told there, and the result is then not
// ok and has no error. A commit that fails makes it a failure with the
// reason.
template <class Result>
Result WriteHeld(const HeldRows& held, const std::function<Result()>& write) {
    Result r{};
    QString error;
    const HeldRows::Outcome outcome = held.Write(
        [&](QString* e) {
            r = write();
            *e = r.error;
            return r.ok;
        },
        &error);
    if (outcome != HeldRows::Outcome::Written) {
        r.ok = false;
        r.error = error;
    }
    return r;
}
