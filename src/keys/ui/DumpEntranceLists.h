#pragma once
// The two entrance lists of the dump tabs ("Место для заливки ключей:"):
// one line per entrance of the current object, each line keeping the
// entrance it stands for, so that entrances whose lines read alike are told
// apart. The БЭКУ list's "Tag" property holds the id_net they were filled for.

#include "keys/DumpKeyPour.h"

#include <QObject>

#include <optional>

class QListWidget;

class DumpEntranceLists : public QObject {
  public:
    DumpEntranceLists(QListWidget* bekuList, QListWidget* mirelList, QObject* parent = nullptr);

    // FillEntranceLists: both lists from the current object (empty without
    // one), under the progress window.
    void Fill();
    // A tab shown: the lists are filled again when the current object is
    // not the one they were filled for.
    void TabShow();
    // "Обновить": filled again whenever an object is current.
    void N1Click();

    // The entrance of the list's selected line; none without a selection.
    static std::optional<DumpEntrance> Selected(const QListWidget* list);

  private:
    QListWidget* beku_;
    QListWidget* mirel_;
};

// The current object's id_net and id_nom; none without one.
std::optional<qint64> CurrentObjectId();
std::optional<qint64> CurrentObjectNumber();
