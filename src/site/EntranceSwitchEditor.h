#pragma once
// The entrance switch parameters ("Подъездные параметры  для КМ и БВ")
// without their window: one entrance's switch at a time, its type ("Торвин",
// an apartment switch, or "Lusk", a floor switch), the rule by which its
// apartments are laid on the terminals, the handset numbering offsets, the
// key slots the call panels keep for the entrance, and the distribution of
// the terminals itself (AssignTerminals).
//
// The editor keeps what the form shows (View) and the state between the
// operator's steps: the fill method in force when the entrance was shown or
// distributed, and a pending distribution after the first handset number
// changed. Both belong to the switch shown; leaving it asks or distributes
// (ConfirmDistribution). A type or method chosen is stored at once; the
// terminals change only by a distribution or a terminal typed in the grid.
//
// Works on the data module's connection; failures are shown through the
// dialog service and leave the database as it was. Every write is made only
// while the switch shown, its entrance, house and object are there: another
// copy of the program may have removed one, and a write to it would change
// nothing and pass as done.

#include "foundation/HeldRows.h"

#include <QString>
#include <QVariant>

namespace EntranceSwitchTexts {
inline const QString kCaption = QStringLiteral("Подъездные параметры  для КМ и БВ");
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kNumberingFailed =
    QStringLiteral("Проверка квартир не пройдена, сделайте пересчет и сохранение квартир!");
inline const QString kNoApartments =
    QStringLiteral("Квартир нет, определите их в форме \"Подъездная структура объекта\"!");
inline const QString kMethodNotDistributed = QStringLiteral(
    "Изменился способ заполнения коммутатора, но распределение не произведено! Распределить?");
inline const QString kWarnIncrement = QStringLiteral(
    "Внимание!  Номер первой клеммы не совпадает с приращением!!! Сделайте распределение!");
inline const QString kWarnFirstHandset = QStringLiteral(
    "Внимание!  Номер первой клеммы не совпадает с номером начальной "
    "трубки!!! Сделайте распределение!");
inline const QString kWarnFloor = QStringLiteral("Внимание!  Необходимо сделать распределение!");
inline const QString kApartmentSwitch = QStringLiteral("Торвин");
inline const QString kFloorSwitch = QStringLiteral("Lusk");
inline const QString kRecount = QStringLiteral("Пересчет клемм и номеров трубок");
inline const QString kDistribute = QStringLiteral("Распределить клеммы по квартирам");
}  // namespace EntranceSwitchTexts

namespace EntranceSwitchLimits {
constexpr int kMaxFirstHandset = 99;  // Pr1kv
constexpr int kMaxHundreds = 50;      // AH
constexpr int kMaxKeysPerApartment = 5040;
constexpr int kMaxCommonKeys = 7000;
constexpr int kMaxTerminal = 1000;
}  // namespace EntranceSwitchLimits

enum class SwitchType { None, Apartment, Floor };

// Fill methods of the method group; kNoMethod while none is chosen.
namespace FillMethod {
constexpr int kNoMethod = -1;
constexpr int kFirstHandset = 0;  // "Выбрать номер начальной трубки, циклический"
constexpr int kModulo100 = 1;  // "С приращением по модулю 100, циклический"
}  // namespace FillMethod

// The increment modulo 100 of an entrance whose first apartment is n1kvr:
// n1kvr below 100, else its last two digits (100 gives 0).
int IncrementModulo100(int n1kvr);
// k_pk.type_f as a working mode: empty, negative or above 4 counts as 0.
int WorkingMode(const QVariant& typeF);

// What the form shows of the switch.
struct EntranceSwitchView {
    SwitchType type = SwitchType::None;
    bool methodEnabled = false;
    int method = FillMethod::kNoMethod;
    bool firstHandsetShown = true;  // Pr1kv with its label
    int firstHandset = 0;           // Pr1kv
    int increment = 0;              // AI
    int hundreds = 0;               // AH
    bool hundredsEnabled = false;
    int maxHandset = 0;  // E_mxl
    int keysPerApartment = 0;
    int commonKeys = 0;
    int gates = 0;  // call panels wired to the switch less the entrance's doors
    QString warning;
    QString portsCaption = EntranceSwitchTexts::kRecount;
};

// Which entrances a key slot count is saved for.
enum class KeySlotScope { Entrance, House, Object };

class EntranceSwitchEditor {
  public:
    const EntranceSwitchView& View() const { return view_; }
    // The switch shown, 0 before any.
    qint64 ShownSwitch() const { return sw_.idPk; }
    qint64 ShownObject() const { return sw_.idNet; }
    bool Pending() const { return pending_; }
    int DistributedMethod() const { return distributed_; }

    // Loads switch idPk, with the corrections showing stores (a floor switch's
    // offsets, the increment, an unset mode, ranges of a mode that has none).
    bool ShowEntrance(qint64 idPk);
    // "Тип коммутатора: Lusk" and "Тип коммутатора: Торвин".
    bool ChooseFloorSwitch();
    bool ChooseApartmentSwitch();
    // The method group (RGkm), by the operator or from code.
    bool ChooseMethod(int method);
    // The first handset number typed, and the field left.
    void SetFirstHandset(int value);
    void FirstHandsetLeft(int value);
    // "Распределить клеммы по квартирам".
    bool Distribute();
    // Before the entrance is left: a changed method is distributed or put back
    // (the question), a pending distribution is made. Only for a switch of the
    // object currentObject; any other's state is forgotten.
    void ConfirmDistribution(qint64 currentObject);
    void Forget();

    bool SaveKeysPerApartment(int value, KeySlotScope scope);
    // Common key slots, for the entrance or every entrance of the object; each
    // entrance keeps at least the common keys it holds.
    bool SaveCommonKeys(int value, bool wholeObject);
    // "Приращение в сотнях" left.
    bool SaveHundreds(int value);
    // A terminal typed in the grid for row idKvr of the entrance.
    bool TypeTerminal(qint64 idKvr, int terminal);

  private:
    struct Snapshot {
        qint64 idPk = 0;
        qint64 idPod = 0;
        qint64 idNet = 0;
        qint64 idDom = 0;
        int nNet = 0;
        QString typeK;
        QVariant typeF;
        QVariant pFc;
        int ai = 0;
        int ah = 0;
        int nXl = 0;
        int kfPr = 0;
        int n1kvr = 0;
        bool hotel = false;
        int dKey = 0;
        int oKey = 0;
        int vDvr = 0;
        int rows = 0;
        int maxTerminal = 0;
        QVariant firstTerminal;
        int ranges = 0;
        int panels = 0;
    };

    bool read(qint64 idPk);
    bool write(const QString& what, const QString& sql, const QVariantList& values);
    void selectFloor();
    bool selectApartment();
    bool applyMethod(int method);
    bool correctOnShow(int mode);
    void showValues();
    QString warning() const;
    int firstTerminalFor(int method) const;

    Snapshot sw_;
    HeldRows held_;  // the switch shown, taken when shown
    EntranceSwitchView view_;
    int distributed_ = FillMethod::kNoMethod;
    bool pending_ = false;
};
