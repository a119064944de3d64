#pragma once
// The controls of the configuration-file editor that its key parts read and
// write but do not own: the key grids of the call-panel tab with their slot
// counts, and the identification values, checks and section-2 memos of the
// service tab. The editor frame hands them over; the key parts work on them.
//
// A key grid keeps the editor's layout: row 0 holds the titles and column 0
// the row numbers, both as cells; data rows start at row 1.

#include "keys/EditorKeyGrids.h"

#include <functional>

class QCheckBox;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

struct EditorKeyControls {
    QTableWidget* Keys5 = nullptr;
    QTableWidget* Keys6 = nullptr;
    QTableWidget* Keys7 = nullptr;
    QSpinBox* KolSl5 = nullptr;
    QSpinBox* KolSl6 = nullptr;
    QSpinBox* KolSl7 = nullptr;

    QSpinBox* V_id_net = nullptr;
    QSpinBox* V_id_nom = nullptr;
    QSpinBox* V_id_bv = nullptr;
    QSpinBox* V_type_bv = nullptr;
    QSpinBox* V_n_net = nullptr;
    QCheckBox* Ch_id_net = nullptr;
    QCheckBox* Ch_id_nom = nullptr;
    QCheckBox* Ch_id_bv = nullptr;
    QCheckBox* Ch_type_bv = nullptr;
    QCheckBox* Ch_n_net = nullptr;
    QPlainTextEdit* Mpd = nullptr;
    QPlainTextEdit* Mpp = nullptr;

    // How the key parts read and show the three section lists when the
    // editor has its own way; without them, straight from and into the grids
    // and slot counts above.
    std::function<void(EditorKeyLists&)> readSections;
    std::function<void(const EditorKeyLists&)> showSections;
};

// The key column of each grid and, where it has one, its apartment index column.
int KeyGridKeyColumn(KeyGrid grid);
int KeyGridIndexColumn(KeyGrid grid);  // -1 without one

// A grid's cell as text; empty for a cell never filled.
QString GridCell(const QTableWidget* grid, int row, int column);
void SetGridCell(QTableWidget* grid, int row, int column, const QString& text);

// The three section lists as the grids and spin edits show them, and back.
void ReadSectionKeyGrids(const EditorKeyControls& controls, EditorKeyLists& lists);
void ShowSectionKeyGrids(const EditorKeyControls& controls, const EditorKeyLists& lists);
// A dump list as its grid shows it (the grid's closing empty row left out).
void ReadDumpKeyGrid(const QTableWidget* grid, KeyGrid kind, EditorKeyLists& lists);
// Shows one list in its grid: a row per list row, numbered from 1; the dump
// lists end with one row more, its key cell empty.
void ShowKeyGrid(QTableWidget* grid, KeyGrid kind, const EditorKeyLists& lists);
