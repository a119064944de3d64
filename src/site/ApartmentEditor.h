#pragma once
// The apartment editor ("Коды вызова квартир и трубки. Редактирование")
// without its window: the rows of one switch's entrance, each shown, checked
// and saved; handsets added and deleted; one permission set for the whole
// entrance or flipped in one row. Every saved change marks the devices whose
// files carry it (DeviceMarks); adding or deleting a row moves the object's
// state.
//
// The editor keeps the state between the operator's steps: whether a new
// handset is being entered, its kind and position, and the marks not yet
// applied. Questions and refusals go through the dialog service; every write
// is one transaction.

#include "foundation/HeldRows.h"
#include "site/ApartmentRow.h"
#include "site/DeviceMarks.h"

#include <QString>

namespace ApartmentEditorTexts {
inline const QString kCaption = QStringLiteral("Коды вызова квартир и трубки. Редактирование");
inline const QString kTerminalTaken = QStringLiteral("Данная клемма коммутатора занята!");
inline const QString kNumberTaken = QStringLiteral("Данная квартира существует!");
inline const QString kEmptyCode = QStringLiteral("Код вызова не может быть пустым!!");
inline const QString kConsoleHandsetCaption = QStringLiteral("Ввод типа трубки");
inline const QString kConsoleHandsetQuestion = QStringLiteral("Трубка для ППО?");
inline const QString kBulkCaption = QStringLiteral("Подтверждение изменения");
inline const QString kNewHandset = QStringLiteral("трубка");
}  // namespace ApartmentEditorTexts

// What the editor works on: the switch current in the switch list, its
// entrance and house, and the object's settings the rows depend on.
struct ApartmentEditorContext {
    qint64 idNet = 0;
    qint64 idPod = 0;
    qint64 idPk = 0;
    qint64 idDom = 0;
    bool hasConsole = false;  // k_net.l_pok
    int maskBv = 16;          // t_global.MaskBvEnabled: flags above it are not used
    int maskPo = 16;          // t_global.MaskPoEnabled
    // The rows the window shows: every write is made only while each of them
    // is there (a row gone is told and nothing is written).
    HeldRows held;
};

// The context of the data module's current switch (Q_MNpk), object and
// global parameters.
ApartmentEditorContext CurrentSwitchContext();

// "Количество ключей на квартиру" left: a quota other than 0 is at least the
// object's default, and never below the keys the apartment holds.
int ApartmentKeyQuota(int typed, int objectQuota, int keysHeld);

// The permissions the grid and the bulk commands change for a whole entrance.
enum class RowFlag { CallBack, RingBack, Video, Block, Call, Redirect };
enum class BulkChange { Clear, Set, Invert };

// The k_kvr column of a permission, and the devices its change marks.
QString RowFlagColumn(RowFlag flag);
DeviceMarks RowFlagMarks(RowFlag flag);
// The question a bulk change asks.
QString BulkQuestion(RowFlag flag, BulkChange change);

// Kinds of the row being added (BitAdd.Tag).
namespace AddKind {
constexpr int kNone = 0;
constexpr int kHandset = 1;  // "ввод"
constexpr int kConsole = 2;  // "СПО", the entrance's console handset
}  // namespace AddKind

struct ApartmentSaveOutcome {
    bool written = false;
    qint64 idKvr = 0;          // the row written (the new one after an add)
    bool keysChanged = false;  // x_key changed: the key lists want refreshing
};

class ApartmentEditor {
  public:
    bool RowChanged() const { return rowChanged_; }
    bool RowAdding() const { return rowAdding_; }
    int Kind() const { return kind_; }
    int NewPNom() const { return newPNom_; }
    const DeviceMarks& Marks() const { return marks_; }

    // The row's values for the controls (false when it cannot be read).
    // Ends an add that was not saved.
    bool ShowApartment(const ApartmentEditorContext& ctx, qint64 idKvr, ApartmentValues* out);
    // "Добавить трубку": the values of the new handset; current is the row
    // shown (0 in an empty entrance).
    void BeginAdd(const ApartmentEditorContext& ctx, qint64 current, ApartmentValues* values);
    // "Сохранить изменения" for row idKvr (ignored while adding). The values
    // may come back changed: a refused call code is emptied.
    ApartmentSaveOutcome Save(const ApartmentEditorContext& ctx, qint64 idKvr,
                              ApartmentValues* values);
    // "Удалить трубку": true when a row was deleted.
    bool Delete(const ApartmentEditorContext& ctx, qint64 idKvr);
    // A permission set, cleared or flipped for every row of the entrance.
    bool Bulk(const ApartmentEditorContext& ctx, RowFlag flag, BulkChange change);
    // A double click (Enter, Space) on a permission of row idKvr.
    bool Toggle(const ApartmentEditorContext& ctx, qint64 idKvr, RowFlag flag);
    // Applies the marks collected so far to the switch of ctx.
    bool MarkConfigChanged(const ApartmentEditorContext& ctx);

  private:
    bool newRowAllowed(const ApartmentEditorContext& ctx, const ApartmentValues& values);
    bool codeAccepted(const ApartmentEditorContext& ctx, const QString& storedCode,
                      ApartmentValues* values);
    bool write(const ApartmentEditorContext& ctx, const StoredApartment* stored,
               const ApartmentValues& values, qint64* id);
    bool applyNow(const ApartmentEditorContext& ctx, const QString& what, const QString& statement,
                  const QVariantList& values, const DeviceMarks& marks);

    bool rowChanged_ = false;
    bool rowAdding_ = false;
    int kind_ = AddKind::kNone;
    int newPNom_ = 0;
    DeviceMarks marks_;
};
