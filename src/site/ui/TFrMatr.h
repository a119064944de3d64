#pragma once
// The object screen `FrMatr1` (screen 1): the object list, and the edit panel
// in which a new object is entered or an existing one changed together with
// its houses and the entrance count of each house. The work is done by
// ObjectScreen; the handlers here read the controls, call it and show what
// it leaves. The main window puts its state line `P1_LSt` and the folder
// choice `BitSelect` at the top of the frame, and opens the matrix screen
// from "Далее >>" (`VvodObj`, the frame's next button).

#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"
#include "site/ObjectScreen.h"

class DatasetModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class MainWindowHost;
class THouseGrid;

class TFrMatr : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrMatr(QWidget* parent = nullptr);
    ~TFrMatr() override;

    // The frame the main window hosts (the last one made), or nullptr.
    static TFrMatr* Instance();

    // Controls, by their design names.
    QFrame* Panel1 = nullptr;
    QPushButton* VvodObj = nullptr;  // the frame's next button, "Далее >>"
    QPushButton* BEdit = nullptr;
    QTableView* DBGrid1 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* BNew = nullptr;
    QFrame* PanelEdit = nullptr;
    ElidedLabel* P1_LInf = nullptr;
    QLabel* P1_LNew = nullptr;
    QLabel* P1_LAdr = nullptr;
    QLabel* P1_LDom = nullptr;
    QLabel* P1_LKal = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* P1_ENew = nullptr;
    QSpinBox* P1_EPod = nullptr;
    QPlainTextEdit* P1_EAdr = nullptr;
    QSpinBox* P1_EKal = nullptr;
    QSpinBox* P1_EDom = nullptr;
    QPushButton* BitSave = nullptr;
    QPushButton* BitCancel = nullptr;
    QCheckBox* CB_po = nullptr;
    THouseGrid* CGridD = nullptr;
    QPushButton* BitSavePod = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;

    ObjectScreen& Screen() { return screen_; }

    // The object list refreshed on the current object.
    void PrepareScreen(const QString& dbFolder) override;

    // The frame's own operations.
    void LoadObjectPanel();
    void ShowEditPanel();
    void HideEditPanel();
    void BNewClick();
    void BEditClick();
    void BitSaveClick();
    void BitCancelClick();
    void VvodObjClick();

    // The screen's handlers that the design gives the main window.
    void FrMatr1BNewClick();
    void FrMatr1BEditClick();
    void FrMatr1DBGrid1CellClick();
    void FrMatr1BitSaveClick();
    void FrMatr1BitSavePodClick();
    void FrMatr1BitCancelClick();
    void FrMatr1VvodObjClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildObjectList();
    QWidget* buildEditPanel();
    void wireControls();
    void attachObjectList();
    void selectCurrentObject();
    void followListRow();
    ObjectPanelValues readPanel() const;
    void showPanel(const ObjectPanelValues& v);
    void sizeHouseGrid();
    void focusField(PanelField field);
    void limitAddress();
    bool moveOnEnter(QObject* watched, QKeyEvent* key);
    bool addressKey(QKeyEvent* key);
    // The hosting main window, when there is one.
    MainWindowHost* host() const;
    void showMatrixState();
    void setNewObjectEntry(bool on);

    ObjectScreen screen_;
    DatasetModel* objectModel_ = nullptr;
    bool followingList_ = false;
};
