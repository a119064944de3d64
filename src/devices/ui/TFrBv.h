#pragma once
// The call panel list screen (FrBv1, screen 5): the current object's call
// panels (FDM->Q_bv), below them the switches the chosen panel is wired to
// (FDM->Q_Bpk), the device totals, and the way into the call panel editor.

#include "foundation/ui/TScreenFrame.h"

class CodedCellDelegate;
class DatasetGrid;
class QLabel;
class QPushButton;
class QWidget;

class TFrBv : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrBv(QWidget* parent = nullptr);

    QWidget* PanelHead = nullptr;
    QLabel* TxAdres = nullptr;
    QLabel* TxIdent = nullptr;
    QLabel* P3_Fs = nullptr;  // the font switch
    QPushButton* BitpkEdit = nullptr;
    DatasetGrid* DBGrid1 = nullptr;  // call panels
    DatasetGrid* DBGrid2 = nullptr;  // their wired switches
    QWidget* PanelTotals = nullptr;
    QLabel* TxKm = nullptr;
    QLabel* TxBv = nullptr;
    QLabel* TxKal = nullptr;
    CodedCellDelegate* PanelAddress = nullptr;
    CodedCellDelegate* PanelKind = nullptr;
    CodedCellDelegate* SwitchAddress = nullptr;

    void PrepareScreen(const QString& dbFolder) override;
    void ShowDeviceTotals();
    void BitpkEditClick();
    void P3_FsClick();
    void FrameResize();
    bool GridsBold() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildHeader();
    QWidget* buildTotals();
    void buildGrids();
    void showObject();
};
