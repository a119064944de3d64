#pragma once
// The entrance screen `FrPod1` (screen 3): the houses of the current object
// and the entrances of the current house with their apartment ranges, the
// numbering choice, the recounts, the key quota, the flag masks of the
// apartments, and "Сохранить квартиры для КМ", which generates the apartment
// rows. The work is done by EntranceScreen and ApartmentGenerator; the
// handlers here read the controls, call them and show what they leave.

#include "foundation/HeldRows.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"
#include "site/ApartmentFlags.h"
#include "site/EntranceScreen.h"

#include <QHash>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TRecordGrid;

class TFrPod : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrPod(QWidget* parent = nullptr);
    ~TFrPod() override;

    // The frame the main window hosts (the last one made), or nullptr.
    static TFrPod* Instance();

    // Top panel.
    QFrame* Panel1 = nullptr;
    ElidedLabel* DBTextAdres = nullptr;
    ElidedLabel* DBTextIdent = nullptr;
    QPushButton* ButBack = nullptr;  // the frame's back button
    QPushButton* VvodObj = nullptr;  // the frame's next button
    QRadioButton* RBPod = nullptr;
    QRadioButton* RBGos = nullptr;
    QGroupBox* GroupVvod = nullptr;
    QCheckBox* ChBxFirst = nullptr;
    QCheckBox* ChBxLast = nullptr;
    QCheckBox* ChKolKv = nullptr;
    QCheckBox* ChNomPod = nullptr;
    QPushButton* But1kv = nullptr;
    QPushButton* ButKolKv = nullptr;
    // Grids.
    QWidget* PanelGrids = nullptr;
    TRecordGrid* CGridD = nullptr;
    TRecordGrid* CGridP = nullptr;
    // Bottom panel.
    QFrame* Panel2 = nullptr;
    QLabel* P1_Itob = nullptr;
    QLabel* P1_Itkv = nullptr;
    QSpinBox* E_Kk = nullptr;
    QPushButton* BitFlag = nullptr;
    QPushButton* BtnSave = nullptr;
    // Flag-mask panel.
    QFrame* PanelFlag = nullptr;
    QGroupBox* GroupBv = nullptr;
    QGroupBox* GroupPo = nullptr;
    QListWidget* MaskSv = nullptr;
    QListWidget* MaskPs = nullptr;
    QListWidget* MspoSv = nullptr;
    QListWidget* MspoPs = nullptr;
    QPushButton* ButYes = nullptr;
    QPushButton* ButNo = nullptr;
    QPushButton* ButHelp = nullptr;
    QPlainTextEdit* MemoFlag = nullptr;
    QFrame* PanelExample = nullptr;

    EntranceScreen& Screen() { return screen_; }

    void PrepareScreen(const QString& dbFolder) override;

    // Handlers, by their design names.
    void BtnSaveClick();
    void But1kvClick();
    void ButKolKvClick();
    void RBGosClick();
    void RBPodClick();
    void ChBxFirstClick();
    void ChBxLastClick();
    void ChKolKvClick();
    void ChNomPodClick();
    void BitFlagClick();
    void ButYesClick();
    void ButNoClick();
    void ButHelpClick();
    void ShowApartmentTotals();
    void rovno_col();
    // Focuses the entrances grid on its first (or last) editable field.
    void FocusPod(bool forward = true);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTopPanel();
    QWidget* buildGrids();
    QWidget* buildBottomPanel();
    QWidget* buildFlagPanel();
    QWidget* buildExample();
    void wireControls();
    void attachDatasets();

    void commitEdits();
    void holdEntrances();
    HeldRows entrancesHeld() const;
    HeldRows currentEntranceHeld() const;
    void lockRangeFields();
    void lockField(QCheckBox* box, const QString& field);
    void inputChosen(QCheckBox* box, const QString& field);
    void followEntrance();
    void showObject();
    void fitGrids();

    void loadFlagLists();
    void showFlagList(const FlagMaskList& model, QListWidget* stored, QListWidget* defaults);
    void flagItemChanged(QListWidgetItem* item);
    void closeFlagPanel();

    bool entranceKey(int row, const QString& field, QKeyEvent* key);
    bool houseKey(int row, QKeyEvent* key);
    void moveEntrance(int row, bool down, bool toLastField);
    void moveHouse(bool down);
    static void moveRecord(class Dataset* ds, bool down);
    bool gridKey(QObject* watched, QKeyEvent* key);
    void focusHouseName();
    bool moveField(int row, const QString& field, bool forward, bool wrap);

    EntranceScreen screen_;
    FlagMaskList bvFlags_{FlagMaskKind::CallPanel};
    FlagMaskList poFlags_{FlagMaskKind::Console};
    bool syncingFlags_ = false;
    QHash<qint64, HeldRows> entrancesShown_;  // by id_pod
    QHash<qint64, HeldRows> housesShown_;     // by id_dom
};
