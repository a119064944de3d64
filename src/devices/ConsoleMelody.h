#pragma once
// The console's two melodies: the visitor melody (k_po.id_mel0) and the
// subscriber melody (id_mel1), t_mel rows of purpose "посетитель" and
// "абонент". A console melody has at most 5 notes, each one of the 10 tones of
// the console's picker; the picked cell is kept in t_bp.noot.

#include "devices/DeviceChange.h"

#include <QSqlDatabase>
#include <QString>

inline const QString kVisitorPurpose = QStringLiteral("посетитель");
inline const QString kSubscriberPurpose = QStringLiteral("абонент");
inline constexpr int kConsoleToneCells = 10;
inline constexpr int kMaxConsoleNotes = 5;

// The tone value of a picker cell (0..9); cell 0 is a pause.
int ConsoleTone(int cell);
// The picker's text of a cell: "3-106".
QString ConsoleToneText(int cell);

// While the melody has fewer than 5 notes a note of the cell's tone is added
// after the last one, else the note noteRowid is replaced. A closed melody is
// refused with "Мелодия закрыта для редактирования!" ("Пусто").
DeviceChange PickConsoleNote(QSqlDatabase db, qint64 idMel, qint64 noteRowid, int cell, int leng,
                             QString* error = nullptr);

// The melody becomes the console's visitor melody (purpose "посетитель") or
// else its subscriber melody; the console's kf_pr advances as an edit does.
DeviceChange AssignConsoleMelody(QSqlDatabase db, qint64 idNet, qint64 idMel,
                                 QString* error = nullptr);

// Asks "Закрыть мелодию для редактирования? Она останется навсегда
// неизменной." ("Осторожно!") and closes the melody for good on Yes.
DeviceChange CloseMelody(QSqlDatabase db, qint64 idMel, QString* error = nullptr);

// ---- data-module operations --------------------------------------------------
// The melody and note are the current rows of FDM->Q_MelP and FDM->Q_Bepo.

// "Добавьте мелодию!" ("Пусто") while there is no console melody at all.
DeviceChange PickNoteForCurrent(int cell, int leng);
// Asks "Сохранить для ПО?" under named (the object) and assigns the current
// melody to the console of object idNet, the one the form shows, while every
// row of held (what the form shows) is there (Refused, told, when one is gone).
DeviceChange AssignCurrentMelodyToConsole(qint64 idNet, const QString& named,
                                          const HeldRows& held = HeldRows());
