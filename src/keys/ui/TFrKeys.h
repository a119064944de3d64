#pragma once
// The keys screen (FrKeys1): the keys of the current object's apartments,
// the common keys of its entrances and the keys of its gates. The rules live
// in KeyRegister and KeyListEditor; this frame holds the controls, reads them
// and shows what the rules did. It is also the keys screen service of the main
// window (its saved settings, the readers' stop and the change marks at exit).

#include "foundation/ScreenServices.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ReaderPortLocator.h"

#include <QPointer>

#include <memory>

class DatasetGrid;
class DatasetModel;
class KeyClipboard;
class KeyListEditor;
class KeyOwnerSearch;
class KeyRegister;
class OneWireKeyReader;
class TFMifare;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

class TFrKeys : public TScreenFrame, public KeysScreenService {
    Q_OBJECT
  public:
    explicit TFrKeys(QWidget* parent = nullptr);
    ~TFrKeys() override;

    // Mode choice and options.
    QRadioButton* RB_KvrKey = nullptr;
    QRadioButton* RB_ObsKey = nullptr;
    QRadioButton* RBTer = nullptr;
    QRadioButton* RB_KalKey = nullptr;
    QCheckBox* CB_Auto = nullptr;
    QCheckBox* CB_Lim = nullptr;
    QCheckBox* CB_ANom = nullptr;
    QCheckBox* Beep = nullptr;
    QCheckBox* AIn = nullptr;
    // Number and label entry.
    QLineEdit* E_sn = nullptr;
    QLineEdit* E_Met = nullptr;
    QPushButton* BitAdd = nullptr;
    QPushButton* BitEdit = nullptr;
    QSpinBox* AN = nullptr;
    QPushButton* BitMetLen = nullptr;
    QPushButton* BitRead = nullptr;
    QPushButton* BitHav = nullptr;
    // The key readers.
    QPushButton* Btn1WireOn = nullptr;
    QPushButton* Btn1WireOff = nullptr;
    QTimer* Timer1 = nullptr;
    // The four mode panels and their controls.
    QFrame* PanelKv = nullptr;
    QFrame* PanelOb = nullptr;
    QFrame* PanelTr = nullptr;
    QFrame* PanelKl = nullptr;
    DatasetGrid* DBGrid1 = nullptr;  // apartments
    DatasetGrid* DBGrid3 = nullptr;  // entrances
    DatasetGrid* DBGrid4 = nullptr;  // houses
    DatasetGrid* DBGrid5 = nullptr;  // apartments, lost-key replacement
    DatasetGrid* DBGrid6 = nullptr;  // gate panels
    QSpinBox* KeyObs = nullptr;
    QPushButton* BitDelOb = nullptr;
    QLineEdit* E_Find = nullptr;
    QPushButton* BitDel = nullptr;
    QPushButton* BitDelKl = nullptr;
    // The key list and what it reports.
    DatasetGrid* DBGrid2 = nullptr;
    QLabel* OtmBlue = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* NXrez = nullptr;
    QAction* NCopy = nullptr;
    QAction* NInsert = nullptr;
    QAction* NSelectAll = nullptr;
    QAction* NUnselect = nullptr;
    QAction* NDelete = nullptr;
    // Counters.
    QLabel* LCtKeyPod = nullptr;
    QLabel* LCtKeyObj = nullptr;
    QLabel* LRzKeyPod = nullptr;
    QLabel* LRzKeyDop = nullptr;
    QLabel* LRzKeyOb = nullptr;

    // The main window's service.
    KeyScreenSettings Settings() const override;
    void ApplySettings(const KeyScreenSettings& s, bool objectHasGates) override;
    // Switches both key readers off (also when the program closes).
    void Btn1WireOffClick() override;
    void FrameExit() override;

    void PrepareScreen(const QString& dbFolder) override;
    void ShowFrKeys();

    // Confirms the number field: the entry point of every key source.
    void BitAddClick();
    void BitEditClick();
    void CountKeys();
    void ClearKeySelection();
    // Puts the residents' list on the chosen apartment.
    void DBGrid1DblClick();

    void RB_KvrKeyClick();
    void RB_ObsKeyClick();
    void RBTerClick();
    void RB_KalKeyClick();

    // The key readers: switching on, one poll of the 1-Wire line.
    void Btn1WireOnClick();
    void Timer1Timer();
    bool OneWireOn() const;
    bool ReaderPortOpen() const { return readerPortOpen_; }

    // The owner search ("Найти") and the way back to the chosen key.
    void BitHavClick();
    // The key list's clipboard commands.
    void NXrezClick();
    void NCopyClick();
    void NInsertClick();
    KeyClipboard* Clipboard() const { return clipboard_.get(); }

    void DeleteOneKey();
    void BitDelClick();
    void BitDelObClick();
    void BitDelKlClick();
    void NDeleteClick();
    void NSelectAllClick();
    void NUnselectClick();
    void DBGrid2TitleClick(int column);
    void BitMetLenClick();
    void KeyObsExit();
    void E_FindKeyUp();

    // The key list's value: its sort state, or the number of rows selected.
    int ListValue() const { return listValue_; }
    KeyRegister* Register() const { return keys_.get(); }

  protected:
    QWidget* FirstControl() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildModeChoice(class QHBoxLayout* top);
    void buildEntry(class QHBoxLayout* top);
    void buildPanels(class QHBoxLayout* middle);
    void buildKeyList(class QHBoxLayout* middle);
    void buildCounters(class QVBoxLayout* content);
    void buildModels();
    void wireControls();
    void wireGrid(DatasetGrid* grid);

    bool ready() const;
    void syncOptions();
    void showMode(KeyGroup mode);
    void selectMode(KeyGroup mode);
    KeyGroup selectedMode() const;
    void endEditAndClear();
    void showListCount();
    bool filterNumberKeys(QEvent* event);
    bool filterLabelKeys(QEvent* event);
    bool filterKeyListKeys(QEvent* event);
    bool filterClipboardKeys(const class QKeyEvent* key);
    bool filterOwnerListKeys(QEvent* event);
    void chooseRowOnTab(const class QFocusEvent* focus);
    void E_snTextEdited(const QString& text);
    void popupMenuShow(const QPoint& at);
    void afterDeletion(const QString& report);
    void buildReaders(class QVBoxLayout* column);
    bool switchOnCardReader();
    void switchOnOneWire();
    void showReadersState();
    void readersLog(const QString& line);
    void takeReaderNumber(const QString& number, bool confirm);
    void goToFoundKey(KeyOwnerSearch& search);

    std::unique_ptr<KeyRegister> keys_;
    std::unique_ptr<KeyListEditor> editor_;
    std::unique_ptr<KeyClipboard> clipboard_;
    std::unique_ptr<OneWireKeyReader> oneWire_;
    bool readerPortOpen_ = false;
    ReaderPort readerPort_;
    QPointer<TFMifare> console_;  // the console the card reader hands its numbers through
    DatasetModel* keyModels_[3] = {nullptr, nullptr, nullptr};  // apartment, common, gate
    int listValue_ = 3;
};
