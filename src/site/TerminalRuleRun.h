#pragma once
// The terminal distribution of every switch of an object in one run: either
// each switch by its own stored rule, or all of them by one rule chosen for
// the whole object. The run is one transaction: a failure, or a program
// killed half-way, leaves every terminal as it was.

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace TerminalRuleTexts {
inline const QString kCaption = QStringLiteral("Внимание!");
inline const QString kQuestion = QStringLiteral("Будет все пересчитано заново. Продолжить?");
inline const QString kFailed = QStringLiteral("Клеммы коммутаторов не распределены.");
}  // namespace TerminalRuleTexts

// The rules of the dialog's second choice; kNoRule while none is chosen.
namespace TerminalRuleKind {
constexpr int kNoRule = -1;
constexpr int kIncrementOne = 0;  // "всегда приращение 1"
constexpr int kModulo100 = 1;     // "всегда приращение по модулю 100"
constexpr int kFloorSwitch = 3;  // "при использовании Lusk, порты не распредляются"
}  // namespace TerminalRuleKind

struct TerminalRuleChoice {
    bool individual = true;                // each switch by its own stored rule
    int kind = TerminalRuleKind::kNoRule;  // the common rule otherwise
    bool Runnable() const { return individual || kind != TerminalRuleKind::kNoRule; }
};

// One switch of the object in the order of the switch list (house, entrance).
struct ObjectSwitch {
    qint64 idPk = 0;
    bool hotel = false;  // its entrance numbers its apartments floor by floor
};

// The rule a switch gets from the common choice: modulo 100 does not apply to
// a hotel entrance, which counts from 1 instead.
int CommonRuleForSwitch(int kind, bool hotel);

// The switches of object idNet as the switch list holds them.
bool ListObjectSwitches(QSqlDatabase db, qint64 idNet, QList<ObjectSwitch>* out, QString* error);

struct TerminalRunResult {
    bool ok = false;
    int switches = 0;  // switches redistributed
    QString error;
};

// Redistributes every switch of object idNet by the choice, all or nothing.
// afterSwitch runs after each switch (the gauge). A choice without a rule is
// refused and changes nothing.
TerminalRunResult RedistributeObjectTerminals(
    QSqlDatabase db, qint64 idNet, const TerminalRuleChoice& choice,
    const std::function<void(int done)>& afterSwitch = {});
