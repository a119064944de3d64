#pragma once
// "Выбор набора общих параметров для КМ": the stored switch parameter sets
// (FDM->Q_ke) in a grid. Closing with OK means "use the current row of Q_ke";
// the picker also renames and deletes sets itself.

#include <QDialog>

class DatasetGrid;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

class TFFindPar : public QDialog {
    Q_OBJECT
  public:
    // The result of "Закрыть, не применяя" and of Esc: apply nothing.
    static constexpr int kNoResult = 7;

    explicit TFFindPar(QWidget* parent = nullptr);

    DatasetGrid* DBGrid1 = nullptr;
    QLineEdit* E_Name = nullptr;
    QPushButton* BitName = nullptr;
    QPushButton* BitYes = nullptr;
    QPushButton* BitNo = nullptr;
    QPushButton* ButHelp = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* M_Nane = nullptr;
    QAction* N1 = nullptr;
    QAction* NReOpen = nullptr;
    QAction* MHelp = nullptr;

    void FormActivate();
    void DBGrid1DblClick();
    void BitYesClick();
    void BitNoClick();
    void M_NaneClick();
    // Enter or a double click in the name edit.
    void StoreName();
    void N1Click();
    void NReOpenClick();
    void ButHelpClick();
    // Esc in the grid: back to the row that was current when the picker opened.
    void ReturnAndClose();

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 233;

    void buildGrid();
    void buildActions();
    void hideNameEdit();
    bool gridKey(int key);
    bool nameEditKey(int key);

    int openedOnRecNo_ = 0;
};

extern TFFindPar* FFindPar;
