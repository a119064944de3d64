#pragma once
// The console tab of the configuration-file editor (TabCPO1): section 0 in
// spin edits, time pickers, lists, melody grids and texts; the entrances with
// the call panels wired to each; the call codes of the selected entrance with
// their flags and day/night times; the flag masks; the console handsets on
// switches. The tab keeps the decoded call-code table and panel masks while
// a file is open: its grids show and edit one entrance of them at a time.

#include "config/ConfigEditorFile.h"

#include <QWidget>

class CallCodeGrid;
class EditorGrid;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class CheckList;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimeEdit;

class EditorConsoleTab : public QWidget {
    Q_OBJECT
  public:
    explicit EditorConsoleTab(QWidget* parent = nullptr);

    QSpinBox* E_Vss = nullptr;
    QSlider* T_Vss = nullptr;
    QSpinBox* E_Vmv = nullptr;
    QSlider* T_Vmv = nullptr;
    QTimeEdit* TimeD = nullptr;
    QTimeEdit* TimeN = nullptr;
    CheckList* ChMs = nullptr;
    QSpinBox *Ncam = nullptr, *Scam = nullptr, *Frmi = nullptr;
    QGroupBox* PanelPass = nullptr;
    QLabel* LPassPo = nullptr;
    QLineEdit* PassPo = nullptr;
    QSpinBox *Buzy = nullptr, *Blato = nullptr, *Npce = nullptr;
    QSpinBox *Cbto = nullptr, *Rmto = nullptr, *Dpto = nullptr, *Exec = nullptr;
    QSpinBox *Clha = nullptr, *Cldp = nullptr, *Talk = nullptr;
    QSpinBox *Adccl = nullptr, *Adccm = nullptr, *Adcch = nullptr;
    QSpinBox *Adchl = nullptr, *Adchm = nullptr, *Adchh = nullptr;
    QLineEdit* E_Raz = nullptr;
    EditorGrid* MelGs = nullptr;
    EditorGrid* MelAb = nullptr;
    QLineEdit *Sobj1 = nullptr, *Sobj2 = nullptr;
    QLineEdit *Sus1 = nullptr, *Sus2 = nullptr, *Sus3 = nullptr, *Sus4 = nullptr;
    EditorGrid* MPod = nullptr;
    EditorGrid* MCbv = nullptr;
    QCheckBox* ReservPO = nullptr;
    CallCodeGrid* KodVv = nullptr;
    QCheckBox* FarcPO = nullptr;
    QLabel* LInc = nullptr;
    QLabel* LErrorPo = nullptr;  // named "LError", as on the call-panel tab
    CheckList* MFlag = nullptr;
    CheckList* MZn = nullptr;
    QSpinBox* KolAdr = nullptr;
    EditorGrid* SysAdr = nullptr;
    QLabel* L_po_net = nullptr;
    QPushButton* BitSavePo = nullptr;

    void SetSepDevice(int sepDevice);
    void Clear();
    // Shows the values of a loaded file, the codes of entrance column 1 first.
    void Show(const PoEditorValues& values, const std::optional<ConfigIdent>& ident);
    // The values as the controls hold them; extra (MPo0) is left as it was.
    void Read(PoEditorValues& values) const;

    // MPodSelectCell: the call-panel mask and the call codes of an entrance column.
    void ShowPoEntranceCodes(int column, int row);
    int ShownEntrance() const { return entrance_; }
    // Selects the entrance and the cell of a call-code record and focuses it.
    void FocusRecord(int entrance, int column, int row);
    void PassPoKeyUp();

  private:
    QWidget* buildParams();
    QWidget* buildTimeouts();
    QWidget* buildMelodiesAndTexts();
    QWidget* buildEntrances();
    QWidget* buildCodes();
    QSpinBox* linkedLevel(const char* spinName, const char* barName, QSlider*& bar);
    QList<int> counts() const;
    void mpodTyped(int column, int row);
    void mcbvTyped(int column, int row);
    void resizeSysAdr(int entries);

    int sepDevice_ = 63;
    int entrance_ = 0;  // the MPod column KodVv and MCbv show
    PoEntranceGrid entrances_;
};
