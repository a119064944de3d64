#pragma once
// The configuration-file editor (FrRedact1): opens one configuration file of
// a switch, call panel or the security-post console, shows its sections on
// the tab of its kind, and writes it back in place. The load, the save and
// their rules are ConfigEditorFile's; the tabs show and give back the values.
// The key parts of the screen (reading keys out of a call-panel file or a key
// dump and entering them into the database) are the keys' and are built into
// the editor by the maker the program installs (EditorKeyPlace); they use the
// key grids and the identification values on the service tab.

#include "config/ConfigEditorFile.h"
#include "config/ui/EditorKeyPlace.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/PathLabel.h"

#include <functional>

class BekuDumpTab;
class ConfigFileChooser;
class EditorConsoleTab;
class EditorKeysTab;
class EditorPanelTab;
class EditorSwitchTab;
class KeyGridMenu;
class KeySavePanel;
class MirelDumpTab;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

class TFrRedact : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrRedact(QWidget* parent = nullptr);

    ConfigFileChooser* ODtxt = nullptr;
    QRadioButton* RBany = nullptr;
    QRadioButton* RBarm = nullptr;
    QRadioButton* RBnet = nullptr;
    QPushButton* ButBit = nullptr;
    PathLabel* LFile1 = nullptr;
    QLabel* L_Izmen = nullptr;
    QLineEdit* EIdent = nullptr;
    QSpinBox* jDev = nullptr;
    QPushButton* StaticText2 = nullptr;  // shows or hides the service tab
    QPlainTextEdit* Memo4 = nullptr;

    QTabWidget* PageFile = nullptr;
    EditorSwitchTab* TabCPK1 = nullptr;
    EditorPanelTab* TabCBV1 = nullptr;
    EditorKeysTab* TabCBV2 = nullptr;  // the call panel's keys
    EditorConsoleTab* TabCPO1 = nullptr;
    QWidget* Sys = nullptr;

    // The service tab.
    QPushButton* ButDebug = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPlainTextEdit* MemoTitle = nullptr;
    QPlainTextEdit *MemoKm = nullptr, *MemoBv = nullptr, *MemoPo = nullptr;
    QPlainTextEdit *MKmN = nullptr, *MBvN = nullptr, *MPoN = nullptr;
    QPlainTextEdit *MKm0 = nullptr, *MBv0 = nullptr, *MPo0 = nullptr;
    QPlainTextEdit *Mpd = nullptr, *Mpp = nullptr;  // a call panel's entrance mask and the rest
    QSpinBox *V_id_net = nullptr, *V_id_bv = nullptr, *V_type_bv = nullptr;
    QSpinBox *V_n_net = nullptr, *V_id_nom = nullptr;

    // Which identification values matched the database in the last panel search.
    QCheckBox *Ch_id_net = nullptr, *Ch_id_nom = nullptr, *Ch_id_bv = nullptr;
    QCheckBox *Ch_type_bv = nullptr, *Ch_n_net = nullptr;

    // The key parts: "Сохранение ключей" beside the key grids, the dump tabs
    // "БЭКУ" and "Mirel", and the popup menu PGrupp of the five key grids;
    // their maker fills these in, and they stay empty without one.
    KeySavePanel* KeySave = nullptr;
    BekuDumpTab* TabBQ = nullptr;
    MirelDumpTab* TabCP = nullptr;
    KeyGridMenu* KeyGrids = nullptr;
    // Their controls the editor itself enables, clears and fills; the entrance
    // lists' "Tag" property holds the id_net they were filled for.
    QPushButton* BitKeys = nullptr;
    QLabel* L_Found = nullptr;
    QLabel* L_Keys = nullptr;
    QPushButton* BitBQkeys = nullptr;
    QListWidget* ListHdev = nullptr;
    QListWidget* ListKvKey = nullptr;
    QSpinBox* KolKey = nullptr;

    // Builds the key parts into an editor being made; the program installs
    // it before it makes its forms.
    using KeyPartsMaker = std::function<EditorKeyPlace*(TFrRedact& editor)>;
    static void SetKeyPartsMaker(KeyPartsMaker maker);

    // The database folder handed over by the main window.
    QString Path;

    void PrepareScreen(const QString& dbFolder) override;
    void PrepareFrame();
    void FillEntranceLists();
    void ButBitClick();
    // Reads, decodes and shows a file chosen through ButBitClick.
    void OpenConfigFile(const QString& fileName);
    void BitSaveKmClick();
    void BitSaveBvClick();
    void BitSavePoClick();
    void RBClick();
    void StaticText2Click();
    void ButDebugClick();

    // The file open in the screen, as loaded (kind unknown when none).
    const EditorFile& OpenFile() const { return file_; }
    // Adds a page to PageFile that scrolls when the screen is smaller than it.
    void AddPage(QWidget* page, const QString& title);
    // Whether a save button may write: only while a parsed file is open.
    bool SaveArmed() const { return armed_; }

  private:
    QWidget* buildTop();
    QWidget* buildSys();
    void buildKeyParts();
    void showFirstPage();
    void closeFile();
    void clearServiceTab();
    void showKindTab(int kind);
    void disarm();
    void showFile();
    void showPanel();
    void saveKind(int kind);
    bool collectFile(int kind);
    void focusFault(const EditorCellFault& fault);
    QPlainTextEdit* titleCopy(int kind) const;
    QPlainTextEdit* keptMemo(int kind) const;
    QPlainTextEdit* tailMemo(int kind) const;
    int tabIndex(int kind) const;
    void setKindTabsVisible(int kind);

    EditorFile file_;
    bool armed_ = false;
    EditorKeyPlace* keyParts_ = nullptr;
};
