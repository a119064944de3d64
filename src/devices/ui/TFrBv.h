#pragma once
// The call panel list screen (FrBv1, screen 5): the current object's call
// panels (FDM->Q_bv), below them the switches the chosen panel is wired to
// (FDM->Q_Bpk), the device totals, and the way into the call panel editor.
// "<< Назад" and "Далее >>" stand in the header and are routed by the main
// window.

#include "devices/ui/DeviceListParts.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"

class DatasetGrid;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

class TFrBv : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrBv(QWidget* parent = nullptr);

    QFrame* PanelHead = nullptr;
    ElidedLabel* TxIdent = nullptr;  // the object's name
    ElidedLabel* TxAdres = nullptr;  // and its address
    QToolButton* P3_Fs = nullptr;    // the font switch
    QPushButton* BitpkEdit = nullptr;
    DatasetGrid* DBGrid1 = nullptr;  // call panels
    DatasetGrid* DBGrid2 = nullptr;  // their wired switches
    QFrame* PanelTotals = nullptr;
    QLabel* TxKm = nullptr;
    QLabel* TxBv = nullptr;
    QLabel* TxKal = nullptr;

    void PrepareScreen(const QString& dbFolder) override;
    void ShowDeviceTotals();
    void BitpkEditClick();
    void P3_FsClick();
    bool GridsBold() const;
    // Shares the height between the grids (only while the screen shows).
    void FrameResize();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QFrame* buildHeader();
    QFrame* buildTotals();
    void buildGrids();
    void showObject();
    void showGridType(bool bold);

    TotalsBar totals_;
};
