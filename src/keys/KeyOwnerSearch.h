#pragma once
// Who holds a key: every key of every object whose call-panel code equals
// the number typed, with its apartment, entrance, house and object (a gate
// key with its gate panel), and the way back from a found key to its list on
// the key screen.

#include "foundation/ScreenServices.h"  // KeyGroup

#include <QString>
#include <QVariant>

#include <optional>

class TFDM;

// A found key: the mode whose list holds it, its owner and its number.
struct FoundKey {
    KeyGroup mode = KeyGroup::Apartment;
    QVariant owner;  // id_kvr of an apartment, id_pod of an entrance, id_bv of a gate
    QString number;  // un_key
    QVariant idNet;
};

class KeyOwnerSearch {
  public:
    explicit KeyOwnerSearch(TFDM& dm);

    // The code searched for: the last 6 characters of the trimmed text (the
    // whole text when shorter); empty when nothing is typed.
    static QString SearchCode(const QString& typed);
    // Fills the found-keys list (the data module's HavKeys); the number of
    // keys found, 0 when nothing was typed, -1 when the search failed.
    int Run(const QString& typed);
    // The found key the list stands on.
    std::optional<FoundKey> Current() const;
    // The found key belongs to the object the key screen shows.
    bool InCurrentObject(const FoundKey& key) const;
    // Puts the key screen's lists on the found key; the caller has chosen
    // its mode. A row not found leaves its list where it was.
    void GoTo(const FoundKey& key);

  private:
    TFDM& dm_;
};
