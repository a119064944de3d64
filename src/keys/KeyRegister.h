#pragma once
// The key register behind the key screen: which list of keys the screen works
// on (an apartment's, an entrance's common keys, a gate's), the rules for
// adding and rewriting a key in it (length, duplicates, quotas, the move to
// the next apartment or entrance, the label), the counters, and the change
// marks of the devices that serve a changed list.
//
// Confirm is the one entry point for a key number from any source: typed,
// read by a key reader, found in a file.

#include "foundation/ScreenServices.h"
#include "keys/KeyChangeFlags.h"

#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class Dataset;
class TFDM;

// The key screen's check boxes and label width.
struct KeyOptions {
    bool autoMove = true;          // CB_Auto: a full apartment or entrance passes to the next
    bool noLimitQuestion = false;  // CB_Lim: store above the quota without asking
    bool autoLabel = true;         // CB_ANom: number the labels
    bool beep = false;             // Beep: sound stored keys and moves
    int labelDigits = 4;           // AN
};

enum class ConfirmOutcome {
    Empty,        // nothing typed
    ShortNumber,  // fewer than 6 characters: refused with a message
    Stored,
    Refused,   // a duplicate, the empty-slot mark, or the row could not be written
    Declined,  // over the quota and not allowed, or no quota to fill: nothing stored, fields kept
    NoGate,    // gate keys on an object without gates
};

struct ConfirmResult {
    ConfirmOutcome outcome = ConfirmOutcome::Empty;
    QString number;  // what the number field shows afterwards
    QString label;   // what the label field shows afterwards
    // False when the confirmation stopped at a quota: the fields stay as they
    // were and neither the counters nor the focus move.
    bool finished = true;
};

// The columns that tie a key to the owner of the current list.
struct KeyOwner {
    QVariant idPod;  // the entrance, or the gate panel's id_bv
    int idKvr = 0;   // the apartment, or kCommonOwner / kGateOwner
    bool common = false;
};

struct KeyCounts {
    int entranceKeys = 0;     // LCtKeyPod: apartment and common keys of the entrance
    int objectKeys = 0;       // LCtKeyObj
    int entrancePlanned = 0;  // LRzKeyPod: the entrance's sum of x_key
    int extraSlots = 0;       // LRzKeyDop: d_key
    int commonSlots = 0;      // LRzKeyOb: o_key
};

class KeyRegister {
  public:
    static constexpr int kCommonOwner = -1;  // id_kvr of an entrance's common key
    static constexpr int kGateOwner = -2;    // id_kvr of a gate key

    explicit KeyRegister(TFDM& dm);

    TFDM& Data() const { return dm_; }
    KeyGroup Mode() const { return mode_; }
    // A mode change ends an edit.
    void SetMode(KeyGroup mode);
    const KeyOptions& Options() const { return options_; }
    void SetOptions(const KeyOptions& options) { options_ = options; }

    // 1 while the next confirmation rewrites the key the change began on.
    int EditMode() const { return held_ ? 1 : 0; }
    void EndEdit() { held_.reset(); }

    // The dataset of the mode's key list, and of the row that owns it.
    Dataset* KeyList() const;
    Dataset* Owner() const;

    // Confirms a key number into the current list (adding, or rewriting the
    // edited row).
    ConfirmResult Confirm(const QString& number, const QString& label);
    // Loads the list's current key into the fields (left alone without one) and
    // starts rewriting it when it has a number. The change holds that row by
    // its key: whatever the lists stand on at the confirmation, it rewrites
    // that row or nothing.
    bool BeginEdit(QString* number, QString* label);
    // The label the next added key gets with automatic labels.
    QString AutoLabel() const;

    // The owner of the current list; none without an owner row or an object.
    std::optional<KeyOwner> CurrentOwner() const;
    // The panel codes a new key of the current list must not repeat: the
    // list's own, and for a gate also the keys of the entrances wired to it.
    QSet<QString> CodesInScope();

    // Counters of the current entrance and the object; none outside the
    // apartment and common-key modes or without apartments.
    std::optional<KeyCounts> CountKeys();
    // Counts the whole object again at the next CountKeys: the keys may have
    // changed elsewhere (done when the screen is shown and the mode changes).
    void ForgetCounts() { outsideEntrance_ = -1; }

    // Marks the device that serves the current list: the switch of the
    // entrance, or the gate panel.
    void MarkServingDevice();
    KeyChangeFlags& ChangeFlags() { return flags_; }

    // The object's default keys per apartment (k_net.v_key).
    int ObjectKeyQuota() const;

  private:
    bool makeRoom();
    bool makeRoomInApartment();
    bool makeRoomInEntrance();
    struct RoomFound {
        bool found = false;
        int moves = 0;       // rows passed to reach it
        int firstQuota = 0;  // the quota of the first row moved to
    };
    // Walks on from the current owner to the first one that is not full; when
    // none is, the dataset goes back to the row it started on.
    static RoomFound moveOnToRoom(Dataset* owners, const std::function<bool()>& full,
                                  const char* quotaField);
    bool askOverQuota() const;
    bool isDuplicate(const QString& code, int editedRow);
    bool standOnHeldKey();
    bool heldKeyInFile() const;
    void sayHeldKeyGone(const QString& why) const;
    bool store(const QString& number, QString* label, bool editing);
    void writeColumns(Dataset* list, const QString& number, const QString& label);
    void markSwitchOfEntrance(const QVariant& idPod);
    ConfirmResult finish(ConfirmResult result);
    int objectKeyCount(const QVariant& idPod, int entranceKeys);

    TFDM& dm_;
    KeyGroup mode_ = KeyGroup::Apartment;
    KeyOptions options_;
    // The key a change began on: its row in the file and the number it had.
    struct HeldKey {
        QVariant rowid;
        QString number;
    };
    std::optional<HeldKey> held_;
    KeyChangeFlags flags_;
    QVariant countedEntrance_;
    int outsideEntrance_ = -1;  // the object's keys outside countedEntrance_
};

namespace KeyData {

// True when the dataset is open and stands on a row.
bool HasRow(const Dataset* ds);
// The 0-based row whose field equals value, without moving the dataset; -1 if none.
int FindRow(const Dataset* ds, const QString& field, const QVariant& value, int skipRow = -1);

}  // namespace KeyData
