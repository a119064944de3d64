#pragma once
// The apartment generation of the entrance screen ("Сохранить квартиры для
// КМ"): from the ranges of the entrances of the current object it renumbers
// the apartment rows there are, appends the missing ones, gives every entrance
// a security-post console handset when the object has a console, deletes
// what is left over together with its keys, recounts the entrances'
// apartment counts, counts repeated call codes per house (offering the
// correction for each repeat) and moves the object state.
//
// Everything from the first marked row to the state is one transaction: a
// failure, or the program's end in the middle, leaves the rows as they were.
// The key quota typed on the screen is stored before, as its own change.
//
// The operator's answers come through the dialog service; the correction of a
// repeated code through a callback (the dialog FRedVV in the program), so the
// whole run can be driven by a test.

#include <QString>

#include <functional>

#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "site/RowOrigin.h"

namespace GenerationTexts {
inline const QString kCaption = QStringLiteral("ВНИМАНИЕ");
inline const QString kKeepManual =
    QStringLiteral("Все номера квартир будут перезаписаны, Оставить введенные вручную?");
inline const QString kOverwrite =
    QStringLiteral("Все номера квартир будут перезаписаны! Подолжить?");
inline const QString kRangesCaption = QStringLiteral("Ошибка");
inline const QString kRangesMissing = QStringLiteral("Квартиры не пересчитаны или не введены!");
inline const QString kLengthCaption = QStringLiteral("Ошибка!");
inline const QString kCodeTooLong = QStringLiteral(
    "Длина префикса дома плюс кода вызова квартиры превышают 5 символов!!! Пересмотрите длину "
    "префикса дома!");
}  // namespace GenerationTexts

// A call code found more than once in a house, as the correction shows it.
struct CallCodeRepeat {
    qint64 idDom = 0;
    QString house;
    // The row being checked.
    qint64 idKvr = 0;
    QString nKvr;
    QString pKvr;
    // Another apartment of the house with that code, which a correction changes.
    qint64 otherIdKvr = 0;
    QString otherNKvr;
    QString otherPKvr;
};

// The correction dialog's result mark.
enum class CorrectionMark { Saved = 0, Ignored = 1, IgnoreAll = 2 };
using CallCodeCorrector = std::function<CorrectionMark(const CallCodeRepeat&)>;

enum class GenerationResult {
    Done,       // rows generated and committed
    Cancelled,  // the operator cancelled at the question
    Refused,    // an entrance's range is missing, or a row held is gone (shown)
    Failed,     // the database refused (shown), nothing changed
};

class ApartmentGenerator {
  public:
    // Without a corrector every repeat is ignored.
    void SetCorrector(CallCodeCorrector corrector) { corrector_ = std::move(corrector); }
    void SetProgress(ProgressFn progress) { progress_ = std::move(progress); }
    // Runs once the operator has agreed and the work begins, before any row
    // is rewritten (the screen hides its lists then); not after a cancel.
    void SetOnWorkStart(std::function<void()> start) { workStart_ = std::move(start); }
    // The rows the screen showed when the operator asked for the run: the
    // rows are rewritten only while every one of them is there.
    void SetHeld(const HeldRows& held) { held_ = held; }

    // Generates the apartment rows of the current object of FDM->Q_Net with
    // keysPerApartment as its key quota, then brings the shared datasets up
    // to date.
    GenerationResult Run(int keysPerApartment);

    // Longest call code plus longest house prefix met by the last run.
    int CodeAndPrefixLength() const { return codeLength_ + prefixLength_; }

  private:
    CallCodeCorrector corrector_;
    ProgressFn progress_;
    std::function<void()> workStart_;
    HeldRows held_;
    int codeLength_ = 0;
    int prefixLength_ = 0;
};
