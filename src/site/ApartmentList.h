#pragma once
// The apartment screen's work without its window, on the rows of one entrance
// (k_kvr by p_nom): hotel numbering floor by floor, call codes made from the
// apartment numbers, the checks for repeated call codes, and inserting and
// deleting manual apartments and handsets.
//
// Rows are read from the database, changed in memory and written back in one
// transaction per operation; the frame then refreshes the shared datasets
// (RefreshViews). Messages and questions go through the dialog service.

#include <QList>
#include <QString>
#include <QVector>

#include <functional>

#include "foundation/TFDM.h"

namespace ApartmentListTexts {
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kZeroCaption = QStringLiteral("Ноль");
inline const QString kEnterPerFloor = QStringLiteral("Введите количество квартир на этаже!");
inline const QString kRecountCaption = QStringLiteral("Подтверждение перераспределения");
inline const QString kRecount = QStringLiteral("Пересчитать?");
inline const QString kCodeRepeated = QStringLiteral("Повторение кода вызова!");
inline const QString kEmptyCode = QStringLiteral("Пустой код вызова!");
inline const QString kCodeTaken = QStringLiteral("Данный код вызова занят!");
inline const QString kTestFailed =
    QStringLiteral("Проверка не пройдена, имеются двойные коды вызова!");
inline const QString kTestPassed = QStringLiteral("Проверка пройдена.");
inline const QString kSuccess = QStringLiteral("Успех");
inline const QString kSearchCaption = QStringLiteral("Поиск");
inline const QString kNumberNotFound = QStringLiteral("Не найден номер квартиры!");
inline const QString kForbidden = QStringLiteral("Запрет");
inline const QString kConsoleHandset = QStringLiteral("Нельзя удалить трубку для ППО!");
inline const QString kDeleteCaption = QStringLiteral("Удаление");
inline const QString kDeleteHandset = QStringLiteral("Удалить трубку?");
inline const QString kDeleteApartment = QStringLiteral("Удалить квартиру?");
// Followed by the apartment number and "»!".
inline const QString kNoFloor = QStringLiteral("Этаж не определяется по номеру квартиры «");
}  // namespace ApartmentListTexts

namespace ApartmentWidths {
constexpr int kNumber = 12;  // k_kvr.n_kvr
}

// Hotel numbering: D digits per position ("В десятках 10" 1, "В сотнях   100"
// 2, "В тысячах 1000" 3), the first position on a floor (E_n1, 0 or 1) and
// the apartments on a floor (E_Kk).
struct HotelNumbering {
    int digits = 2;
    int firstPosition = 1;
    int perFloor = 0;
};

// One row as the numbering sees it.
struct NumberingRow {
    QString number;        // n_kvr, which the numbering also writes as p_kvr
    bool skipped = false;  // a handset or a manual row takes no position
    bool changed = false;
};

struct FloorStep {
    bool ok = true;
    int cursor = 0;     // 0-based row after the floor (the row count at the end)
    QString badNumber;  // when !ok: the number no floor can be read from
};

// Numbers one floor from the row at cursor: the floor follows the last
// numbered row before it (the first floor when there is none).
FloorStep NumberOneFloor(QVector<NumberingRow>& rows, int cursor, const HotelNumbering& n);
// Numbers floor after floor from cursor to the end of the list.
FloorStep NumberAllFloors(QVector<NumberingRow>& rows, int cursor, const HotelNumbering& n);

// The outcome of the call-code check of one entrance.
struct CodeCheck {
    bool ok = true;
    QString text;  // the message when !ok
    int row = -1;  // 0-based row it stopped on
};

class ApartmentList {
  public:
    void SetProgress(ProgressFn progress) { progress_ = std::move(progress); }

    // One floor (DBGrid1DblClick) or every floor (all = true) of the entrance
    // from row cursor (0-based); returns the row to stand on, or -1 when a
    // floor could not be read (shown).
    int NumberFloors(qint64 idPod, int cursor, const HotelNumbering& n, bool all);
    // "Код вызова = номер квартиры".
    bool CodesFromNumbers(qint64 idPod);
    CodeCheck CheckEntranceCallCodes(qint64 idPod);
    // "Проверка на дублирование кодов вызова": the check of the entrance and
    // its mark; returns the row the check stopped on (-1: passed).
    int CheckAndMarkEntrance(qint64 idPod);
    // "Проверка ": every entrance of the object; returns the id of the last
    // failing entrance, 0 when all passed.
    qint64 CheckObject();

    // "Вставить квартиру": the new row's id, 0 when refused or failed.
    qint64 Insert(qint64 idPod, const QString& after, const QString& number, const QString& code);
    // "Удалить": true when a row was deleted.
    bool Delete(qint64 idKvr);

    // k_net.incr, the first position on a floor.
    bool SetFloorStart(int incr);

  private:
    bool markEntrance(qint64 idPod, bool failed);
    void step();

    ProgressFn progress_;
    int gauge_ = 0;
    int gaugeMax_ = 0;
};

// The shared datasets after a change of the rows: the object (its state), the
// apartments, switches, call panels and keys, with the current house,
// entrance and apartment row kept (or put on idKvr when given).
void RefreshApartmentViews(qint64 idKvr = 0);
