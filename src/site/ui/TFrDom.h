#pragma once
// The matrix screen `FrDom1` (screen 2): the access matrix of the current
// object in the grid `DBGrid3` over the data module's Q_Matr, the door-count
// limit `P3_Emax`, the totals, and the commands that save, restore and
// renumber it. The rules live in the core units AccessMatrix and
// MatrixEditor; the handlers here read the grid's current cell, call them
// and show what comes back. The main window routes "<< Назад" and
// "Далее >>" and lays out the grid's switch columns (FormResize).

#include "foundation/HeldRows.h"
#include "foundation/ui/TScreenFrame.h"
#include "site/MatrixEditor.h"

class DatasetModel;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableView;
class MainWindowHost;

class TFrDom : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrDom(QWidget* parent = nullptr);
    ~TFrDom() override;

    // The frame the main window hosts (the last one made), or nullptr.
    static TFrDom* Instance();

    // Controls, by their design names.
    QTableView* DBGrid3 = nullptr;
    QSpinBox* P3_Emax = nullptr;
    QLabel* P3_Itpk = nullptr;
    QLabel* P3_Itbv = nullptr;
    QSpinBox* Secret = nullptr;
    QLabel* P3_Fs = nullptr;
    QPushButton* BitAppKal = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnRetry = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* KClear = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N2 = nullptr;
    QAction* N1 = nullptr;

    MatrixEditor& Editor() { return editor_; }

    // P3_Emax's limit from the global parameters, the grid on Q_Matr, the
    // font from the main window's toggle and the totals.
    void PrepareScreen(const QString& dbFolder) override;

    // The frame's own operations.
    void ShowMatrixTotals();
    void BitAppKalClick();
    void DBGrid3KeyDown(int key);
    void P3_FsDblClick();
    void N1Click();
    void N2Click();

    // The screen's handlers that the design gives the main window.
    void FrDom1DBGrid3DblClick();
    void FrDom1DBGrid3KeyPress(QChar key);
    void FrDom1KClearClick();
    void FrDom1BitAppKalClick();
    void FrDom1N3Click();
    void FrDom1N4Click();
    void FrDom1BtnSaveClick();
    void FrDom1BtnRetryClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTopPanel();
    QWidget* buildBottomPanel();
    void buildGrid();
    void buildMenu();
    void wireControls();
    void attachMatrix();
    void useDelegateOnEveryColumn();
    void setBold(bool bold);
    // The hosting main window, when there is one.
    MainWindowHost* host() const;
    void relayout();
    // The grid's current cell: its row and the field of its column.
    int currentRow() const;
    QString currentField() const;
    // After rows came or went: back to row `header` (0..4) in column field.
    void returnToCell(int header, const QString& field);
    void showRowsChanged(const MatrixEdit& edit, const QString& field);
    // Asks the first number in the generic dialog, then renumbers from it.
    void renumberFrom(const QString& caption, const QString& text,
                      bool (MatrixEditor::*renumber)(int));
    bool gridKey(QKeyEvent* key);
    void holdObject();
    void showCurrentMatrix();

    MatrixEditor editor_;
    HeldRows held_;  // the object whose matrix is shown
    DatasetModel* model_ = nullptr;
    class MatrixCellDelegate* delegate_ = nullptr;
};
