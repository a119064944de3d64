#pragma once
// The apartment screen `FrKvr1` (screen 6): the apartment and handset rows of
// one entrance, moving between entrances, hotel numbering floor by floor,
// call codes from apartment numbers, the checks for repeated codes, and
// inserting and deleting manual rows. The work is done by ApartmentList; the
// handlers here read the controls, call it and show what it leaves.

#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"
#include "site/ApartmentList.h"

class DatasetGrid;
class DatasetModel;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TFrKvr : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrKvr(QWidget* parent = nullptr);
    ~TFrKvr() override;

    static TFrKvr* Instance();

    // Header.
    QFrame* PanelHead = nullptr;
    ElidedLabel* DBTextHouse = nullptr;
    ElidedLabel* DBTextNPod = nullptr;
    ElidedLabel* DBTextVKvr = nullptr;
    ElidedLabel* DBTextNmPod = nullptr;
    QPushButton* BtnUp = nullptr;
    QPushButton* BtnDown = nullptr;
    QPushButton* BitUpGrup = nullptr;
    QPushButton* BitDownGrup = nullptr;
    // The list.
    DatasetGrid* DBGrid1 = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* PM_Level = nullptr;
    QAction* PM_All = nullptr;
    QAction* PM_Kodvv = nullptr;
    QAction* PM_Double = nullptr;
    // Hotel numbering.
    QSpinBox* E_Kk = nullptr;
    QComboBox* CBLevel = nullptr;
    QSpinBox* E_n1 = nullptr;
    QRadioButton* Ch_lv = nullptr;
    QRadioButton* Ch_all = nullptr;
    QPushButton* BitNum = nullptr;
    // Insert and delete.
    QLineEdit* Efkv = nullptr;
    QSpinBox* VKol = nullptr;
    QLineEdit* Enkv = nullptr;
    QLineEdit* Ekvv = nullptr;
    QPushButton* BitInsert = nullptr;
    QPushButton* BitDelete = nullptr;
    QPushButton* BitTest = nullptr;
    QPushButton* BitPpl = nullptr;

    ApartmentList& List() { return list_; }

    void PrepareScreen(const QString& dbFolder) override;

    void RefreshEntrance();
    void BtnUpClick();
    void BtnDownClick();
    void BitUpGrupClick();
    void BitDownGrupClick();
    void DBGrid1DblClick();
    void PM_LevelClick();
    void PM_AllClick();
    void BitNumClick();
    void PM_KodvvClick();
    void PM_DoubleClick();
    void BitTestClick();
    void BitInsertClick();
    void BitDeleteClick();
    void Ch_lvClick();
    void E_n1Exit();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildHeader();
    QWidget* buildList();
    QWidget* buildNumbering();
    QWidget* buildInsert();
    void buildMenu();
    void wireControls();
    void attachList();

    qint64 currentEntrance() const;
    int currentRow() const;
    HotelNumbering numbering() const;
    bool hotelEntrance() const;
    void numberFrom(int cursor, bool all);
    void showRow(int row);
    void showHeader();
    void followSwitchList();
    void setEntranceButtons();
    void jumpToEnd(bool last);
    void updateInsertButton();
    void updateDeleteButton();

    ApartmentList list_;
    DatasetModel* model_ = nullptr;
};
