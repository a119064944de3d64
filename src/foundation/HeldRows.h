#pragma once
// The rows a window that writes object data shows, taken by key when it shows
// them: its object, and the house, entrance and device under it. Its saves
// write those rows by key, never the shared lists' current rows at the click;
// before one, StillThere checks that they are all in the file and says in
// Russian which one is gone. Stands says whether the window may stay at all:
// the same reading of the file, the same current object, every row there
// (DataGround tells when to ask).

#include <QList>
#include <QString>

struct HeldRow {
    QString table;
    QString key;
    qint64 id = 0;
    QString gone;  // what the refusal says when the row is gone: "Коммутатор СКМ02 удалён"
};

namespace HeldRowTexts {
// gone + "; изменения не сохранены."
QString NotSaved(const QString& gone);
QString Switch(int nNet);  // "Коммутатор СКМ02 удалён"
QString Apartment(const QString& number);
}  // namespace HeldRowTexts

class HeldRows {
  public:
    // Read from the data module's file, each with what names it; empty when
    // the row is not there.
    static HeldRows OfObject(qint64 idNet);
    static HeldRows OfConsole(qint64 idNet);
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

    // The window still stands where it was shown; false also while no
    // database is open or nothing is held.
    bool Stands() const;
    // Every row is in the file; else the first one gone (from the object
    // down) is named in a refusal shown under "Ошибка", and false. False
    // without a word while nothing is held.
    bool StillThere() const;
    // The first row gone, empty when every one is there.
    QString Gone() const;

  private:
    bool present(const HeldRow& row) const;
    void takeGround();

    QList<HeldRow> rows_;
    QString object_;
    QString house_;
    QString entrance_;
    QString thing_;
    quint64 reading_ = 0;
    qint64 currentObject_ = 0;
};
