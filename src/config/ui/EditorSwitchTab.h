#pragma once
// The switch tab of the configuration-file editor (TabCPK1): section 0 in
// spin edits and camera lists, the call panels by tract, the callback, video
// and blocking masks, the melodies and the handset ranges. It shows the
// values of a loaded file and gives them back for saving.

#include "config/ConfigEditorFile.h"

#include <QWidget>

class EditorGrid;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class CheckList;
class QPushButton;
class QSpinBox;

class EditorSwitchTab : public QWidget {
    Q_OBJECT
  public:
    explicit EditorSwitchTab(QWidget* parent = nullptr);

    QList<QSpinBox*> ParamSpins;  // in the order of PkParamSpins()
    CheckList* ChMskPo = nullptr;
    CheckList* ChMskBv = nullptr;
    QGroupBox* PanelAcp = nullptr;
    QLabel* LPass = nullptr;
    QLineEdit* PassEdit = nullptr;
    QLabel* L_pk_net = nullptr;
    EditorGrid* TractDev = nullptr;
    EditorGrid* MObr = nullptr;
    EditorGrid* MVideo = nullptr;
    QCheckBox* ChVideo = nullptr;
    QSpinBox* E_Video = nullptr;
    EditorGrid* MelVv = nullptr;
    EditorGrid* MelOt = nullptr;
    EditorGrid* DiapTrub = nullptr;
    EditorGrid* MBlock = nullptr;
    QSpinBox* PTTO = nullptr;
    QSpinBox* Edge = nullptr;
    QSpinBox* ReservPk = nullptr;
    QSpinBox* EDT = nullptr;
    QSpinBox* DET = nullptr;
    QPushButton* BitSaveKm = nullptr;

    // PrepareFrame's part: empty grids with their titles.
    void Clear();
    void Show(const PkEditorValues& values, const std::optional<ConfigIdent>& ident);
    // The values as the controls hold them; section 5 and MKm0 are left as they were.
    void Read(PkEditorValues& values) const;
    // Every cell naming a call panel at or above maxDevice is told ("Уменьшите
    // значение сетевого адреса!") and the grid keeps the focus; false then.
    bool TractDevExit(int maxDevice);
    // The bound TractDev checks when it loses the focus.
    void SetMaxDevice(int maxDevice) { maxDevice_ = maxDevice; }
    void PassEditKeyUp();
    void OffObrClick();
    void InObrClick();
    void ChVideoClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildParams();
    QWidget* buildTracts();
    QWidget* buildMasks();
    QWidget* buildMelodies();
    QWidget* buildBlocking();
    void showMask(EditorGrid* grid, const QString& mask);
    QString readMask(const EditorGrid* grid) const;
    void showMelody(EditorGrid* grid, const QList<MelodyCells>& notes);
    QList<MelodyCells> readMelody(const EditorGrid* grid) const;
    void showRanges(const PkHandsetRanges& ranges);
    void setRow(EditorGrid* grid, const QString& value);

    int maxDevice_ = 50;
};
