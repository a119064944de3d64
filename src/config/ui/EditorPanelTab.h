#pragma once
// The call-panel tab of the configuration-file editor (TabCBV1): section 0
// in spin edits, check boxes and the door-open code grid; the entrances the
// panel serves with their AI and AH; the call codes and flag groups of the
// selected entrance; the flag masks. Its key lists are on the next tab
// (EditorKeysTab).

#include "config/ConfigEditorFile.h"

#include <QWidget>

class CallCodeGrid;
class CheckList;
class EditorGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class EditorPanelTab : public QWidget {
    Q_OBJECT
  public:
    explicit EditorPanelTab(QWidget* parent = nullptr);

    QSpinBox* SL = nullptr;
    QSpinBox* OT = nullptr;
    QCheckBox *Bell = nullptr, *Auto = nullptr, *Nrcs = nullptr, *DSoc = nullptr;
    QCheckBox *PH_0 = nullptr, *PH_1 = nullptr, *Scud = nullptr, *ReservBv = nullptr;
    QSpinBox* KFilt = nullptr;
    QSpinBox* BlatoBv = nullptr;
    QSpinBox* ADRCS = nullptr;
    EditorGrid* Ocode = nullptr;
    EditorGrid* MsPod = nullptr;
    QSpinBox* AI = nullptr;
    QSpinBox* AH = nullptr;
    QPushButton* BitASave = nullptr;
    CallCodeGrid* KodBv = nullptr;
    QCheckBox* FArc = nullptr;
    QLineEdit* EInc = nullptr;
    QLabel* LError = nullptr;
    CheckList* Mask = nullptr;
    CheckList* MVal = nullptr;
    QLabel* L_bv_net = nullptr;
    QPushButton* BitSaveBv = nullptr;

    void SetSepDevice(int sepDevice);
    void Clear();
    // Shows the values of a loaded file, the codes of entrance column 1 first.
    void Show(const BvEditorValues& values, const std::optional<ConfigIdent>& ident);
    // The values as the controls hold them; the key lists and MBv0 are left as they were.
    void Read(BvEditorValues& values) const;

    // MsPodSelectCell: the codes, AI and AH of an entrance column.
    void ShowBvEntranceCodes(int column, int row);
    // Selects the entrance and the cell of a call-code record and focuses it.
    void FocusRecord(int entrance, int column, int row);
    void PH_0Click();
    void AChange();
    void BitASaveClick();

  private:
    QWidget* buildParams();
    QWidget* buildEntrances();
    QWidget* buildCodes();
    void msPodTyped(int column, int row);

    int sepDevice_ = 63;
    BvEntranceGrid entrances_;
};
