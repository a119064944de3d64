#pragma once
// The matrix screen's editing of the current object's matrix table, as the
// data module's Q_Matr shows it: which cells the operator may change and how
// (double click, typed keys, Backspace and Delete, "Клик для калитки"), the
// door count of an entrance, adding a gate, renumbering all call panels or
// all switches, and the checks and the save behind "Сохранить".
//
// A cell is addressed by its row in Q_Matr (0-based, rows in name order) and
// its field: "name", "sys_n", "pk_NN" (switch column NN) or "nm_bv". Edits go
// into the matrix table at once; m_pk, m_bv and k_pod change only when the
// matrix is saved, except the two renumberings and a new gate's count, which
// write through. Questions and refusals go through the dialog service.

#include "foundation/HeldRows.h"
#include "site/MatrixRules.h"

#include <QString>

#include <optional>

struct MatrixEdit {
    bool changed = false;   // the matrix changed
    bool reopened = false;  // rows came or went: Q_Matr was read again
};

class MatrixEditor {
  public:
    static constexpr int kDefaultEmax = 2;
    static constexpr int kMaxEmax = 8;

    // P3_Emax: the upper end of the door counts a double click cycles through.
    void SetEmax(int emax) { emax_ = emax; }
    int Emax() const { return emax_; }
    // Secret: the number the last FindFreePanelNumber found.
    int Secret() const { return secret_; }

    // The switch column of a field ("pk_03" gives 3), 0 for other fields.
    static int SwitchColumnOf(const QString& field);
    // Call panels the matrix holds (its rows less the header rows).
    static int PanelTotal();

    // Double click: a gate cell cycles, a door count of row "3" steps.
    MatrixEdit DblClick(int row, const QString& field);
    // A typed character: space/Enter on gate cells, space/Enter/digits on
    // row "3", digits on panel and switch numbers, characters on names.
    MatrixEdit KeyPress(int row, const QString& field, QChar key);
    // Backspace shortens, Delete clears an entrance name or a display name.
    // True when the key was the cell's.
    bool KeyDown(int row, const QString& field, int key);
    // "Клик для калитки": one new text for the gate row's column and every
    // later one.
    bool GateClick(int row, const QString& field);
    // "Добавить калитку": count gate rows with "+" in every column, v_kal
    // raised. Returns the gates added.
    int AddGates(int count);
    // The lowest panel number no row has, into Secret; nothing (and a
    // message) when every number is in use.
    std::optional<int> FindFreePanelNumber();

    // Every panel row numbered from start on (wrapping at MaxDevice), into
    // m_bv and the call-panel records as well.
    bool RenumberCallBlocks(int start);
    // Every switch column numbered from start on, into m_pk and the switch
    // records as well.
    bool RenumberSwitches(int start);

    MatrixRules::NumberCheck CheckCallBlockNumbers() const;
    MatrixRules::NumberCheck CheckSwitchNumbers() const;
    // "Сохранить": the checks, then the save and the entry into the
    // entrances, each writing only while every row held is there. False
    // when a check refused, a row held is gone or the save failed.
    bool SaveMatrix(const HeldRows& held = HeldRows());

  private:
    MatrixEdit doorCountByClick(int row, int column);
    MatrixEdit doorCountByKey(int row, int column, QChar key);
    MatrixEdit setDoors(int row, int column, int current, int target);
    MatrixEdit cycleGateCell(int row, const QString& field, int column);

    int emax_ = kDefaultEmax;
    int secret_ = 0;
};
