#pragma once
// The switch list screen (FrPk1, screen 4): every entrance switch of the
// current object with its entrance, and below it the call panels wired to the
// selected switch. From here the engineer opens the three switch editors and
// prints the terminal report of the selected switch's entrance and the tract
// report of all switches. The main window opens the screen after it has
// brought the device records up to date; "<< Назад" (ButBack) and "Далее >>"
// (VvodObj) are routed by the main window.

#include "devices/ui/DeviceListParts.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"

#include <functional>
#include <memory>

class DatasetGrid;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class TReportForm;

class TFrPk : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrPk(QWidget* parent = nullptr);

    // Controls, by their design names.
    QFrame* PanelHead = nullptr;
    ElidedLabel* LIdent = nullptr;  // the object's name
    ElidedLabel* LAdres = nullptr;  // and its address
    QPushButton* ButBack = nullptr;
    QPushButton* VvodObj = nullptr;
    QPushButton* BitskEdit = nullptr;
    QPushButton* BitpkEdit = nullptr;
    QPushButton* BitkvEdit = nullptr;
    QPushButton* BitKlemm = nullptr;
    QPushButton* BitTract = nullptr;
    QLabel* LabWait = nullptr;
    QToolButton* P3_Fs = nullptr;  // the font switch
    QGroupBox* GBoxPk = nullptr;
    QGroupBox* GBoxBv = nullptr;
    DatasetGrid* DBGrid1 = nullptr;  // switches (Q_MNpk)
    DatasetGrid* DBGrid2 = nullptr;  // panels wired to the selected switch (Q_MNbv)
    QFrame* PanelTotals = nullptr;
    QLabel* P3_Itpk = nullptr;
    QLabel* P3_Itbv = nullptr;
    QLabel* P3_VKal = nullptr;

    void PrepareScreen(const QString& dbFolder) override;
    void ShowDeviceTotals();
    void ShowObjectHeader();

    void BitpkEditClick();
    void BitskEditClick();
    void BitkvEditClick();
    void BitKlemmClick();
    void BitTractClick();
    void P3_FsDblClick();
    bool GridsBold() const;
    // Shares the height between the grids (only while the screen shows).
    void FrameResize();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    using ReportMaker = std::function<std::unique_ptr<TReportForm>(QString* error)>;

    QFrame* buildHead();
    QGroupBox* buildSwitchGrid();
    QGroupBox* buildPanelGrid();
    QFrame* buildTotals();
    void wireControls();
    void printReport(QPushButton* button, const ReportMaker& make);
    void showBoldToggle(bool gridsBold);

    TotalsBar totals_;
};
