#pragma once
// The popup menu PGrupp of the editor's five key grids (copy, paste, erase,
// select all, cancel the selection), the selection counter in L_Keys, and
// the cell editing of the three section grids: Enter switches editing on,
// Esc and a mouse press off, and a typed cell keeps only what its column
// holds. The menu acts on the key grid that has the input focus. The rules
// are EditorKeyGrids'; this class reads the grids and shows the result.

#include "keys/ui/EditorKeyControls.h"

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QTableWidget;

class KeyGridMenu : public QObject {
    Q_OBJECT
  public:
    KeyGridMenu(const EditorKeyControls& editor, QTableWidget* keysBQ, QTableWidget* keysCP,
                QLabel* lKeys, QWidget* parent);

    QMenu* PGrupp = nullptr;
    QAction* NCopy = nullptr;
    QAction* NInsert = nullptr;
    QAction* NDelete = nullptr;
    QAction* N7 = nullptr;
    QAction* NSelAll = nullptr;
    QAction* NSelCan = nullptr;

    void NCopyClick();
    void NInsertClick();
    void NDeleteClick();
    void NSelAllClick();
    void NSelCanClick();
    // A click in a section grid: "Выдел " + rows when more than one is selected.
    void CountSelectedKeys(QTableWidget* grid);

    // The frame's private copy buffer.
    const QString& CopyBuffer() const { return buffer_; }
    // The key grid the menu acts on; None while no key grid has the focus.
    KeyGrid FocusedGrid() const { return focused_; }
    // Cell editing of a section grid.
    bool Editing(KeyGrid grid) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void attach(QTableWidget* grid, KeyGrid kind);
    QTableWidget* widget(KeyGrid grid) const;
    KeyGrid kindOf(const QObject* object) const;
    bool selectedRows(QTableWidget* grid, int& top, int& bottom) const;
    void clearSelection(QTableWidget* grid);
    void readLists(EditorKeyLists& lists) const;
    void setEditing(KeyGrid grid, bool on);
    bool keyDown(KeyGrid grid, QTableWidget* table, int key, Qt::KeyboardModifiers modifiers);
    void contextPopup(QTableWidget* table, KeyGrid grid, const QPoint& at);

    EditorKeyControls editor_;
    QTableWidget* keysBQ_;
    QTableWidget* keysCP_;
    QLabel* lKeys_;
    QString buffer_;
    KeyGrid focused_ = KeyGrid::None;
    bool editing_[6] = {};
    const QObject* viewports_[6] = {};  // of each grid, as attached
};
