#pragma once
// The tract panel of the switch editor: the wired call panels of the current
// switch (FDM->Q_MNbv) with the tract of each, typed in SGTract, and its two
// camera masks in the check lists ChMskBv and ChMskPo; reassignment for the
// switch or the object, and the fixed numbering of the object by ranges.

#include "devices/SwitchTracts.h"

#include <QGroupBox>

#include <functional>

class DatasetGrid;
class EnterMovesFocus;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTableWidget;

class SwitchTractPanel : public QGroupBox {
    Q_OBJECT
  public:
    SwitchTractPanel(QWidget* parent, EnterMovesFocus* enter);

    QTableWidget* SGTract = nullptr;
    DatasetGrid* DBGrid2 = nullptr;
    QListWidget* ChMskBv = nullptr;
    QListWidget* ChMskPo = nullptr;
    QSpinBox* E_k1 = nullptr;
    QSpinBox* E_k2 = nullptr;
    QSpinBox* E_p1 = nullptr;
    QSpinBox* E_p2 = nullptr;
    QPushButton* BitSaveTrack = nullptr;
    QPushButton* BitSaveMask = nullptr;
    QPushButton* BitRetryTr = nullptr;
    QPushButton* BitRetryTrAll = nullptr;
    QPushButton* BitAvtoTr = nullptr;

    const TractPanelModel& Model() const { return model_; }
    bool MasksChanged() const { return model_.MasksChanged(); }
    TractRanges Ranges() const;
    // The object the ranges were last set up for (0: none yet).
    qint64 RangesObject() const { return rangesObject_; }

    // The rows the editor shows (it outlives the panel): every write is made
    // only while each of them is there, and the operator is told of one gone.
    void SetHeld(const HeldRows* held) { held_ = held; }

    // The editor's load of the current switch: the lists start empty, then
    // its tracts. ShowTracts shows those of the switch loaded.
    void Reload();
    void ShowTracts();
    void SaveMasks();
    void BitSaveMaskClick() { SaveMasks(); }
    void BitSaveTrackClick();
    void BitRetryTrClick();
    void BitRetryTrAllClick();
    void BitAvtoTrClick();
    // The ranges for the current object (idNet) and its largest door count.
    void MaxDoors(qint64 idNet);
    void E_k1Change();
    void ChMskBvClickCheck(int row);
    void ChMskPoClickCheck(int row);
    void SGTractSetEditText(int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildLists();
    QWidget* buildButtons();
    QWidget* buildRanges(EnterMovesFocus* enter);
    void showAfresh(SwitchColumn sw);  // by value: the model's own is cleared
    void render();
    void renderChecks();
    void fitHeights();
    void showRanges(const TractRanges& r);
    QStringList typedCells() const;
    void maskClicked(QListWidgetItem* item, bool console);

    bool mayWrite() const { return !held_ || held_->StillThere(); }
    HeldRows held() const { return held_ ? *held_ : HeldRows(); }

    TractPanelModel model_;
    const HeldRows* held_ = nullptr;
    qint64 rangesObject_ = 0;
    bool rendering_ = false;
};
