#pragma once
// "Коды вызова квартир и трубки. Редактирование": the rows of the current
// switch's entrance, one at a time in the controls and all of them in the
// grid; saving, adding and deleting handsets, whole-entrance commands, and
// walking row by row across the object's switches. The work is done by
// ApartmentEditor; the handlers read the controls, call it and show what it
// leaves. Shown without blocking. The switch, entrance and row shown are
// taken when they are shown and every write goes to them.

#include "foundation/HeldRows.h"
#include "platform/ui/ElidedLabel.h"
#include "site/ApartmentEditor.h"
#include "site/ui/SiteControls.h"

#include <QDialog>

class ArrowRepeat;
class DatasetGrid;
class DatasetModel;
class EnterMovesFocus;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolButton;

class TFkvEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFkvEdit(QWidget* parent = nullptr);

    // Header.
    ElidedLabel* DBTextHouse = nullptr;
    ElidedLabel* DBTextNPod = nullptr;
    ElidedLabel* DBTextNmPod = nullptr;
    ElidedLabel* Label15 = nullptr;
    // The rows.
    DatasetGrid* DBGrid1 = nullptr;
    QMenu* PMmas = nullptr;
    // The row shown.
    QLineEdit* E_kv = nullptr;
    QLineEdit* E_bv = nullptr;
    QSpinBox* E_kk = nullptr;
    QSpinBox* E_nk = nullptr;
    QCheckBox* Call = nullptr;
    QCheckBox* C_otz = nullptr;
    QCheckBox* C_Video = nullptr;
    QCheckBox* C_Block = nullptr;
    QCheckBox* Trubka = nullptr;
    QCheckBox* ChFlbv = nullptr;
    QListWidget* Mask = nullptr;
    QGroupBox* Panel4 = nullptr;
    QCheckBox* C_obr = nullptr;
    QCheckBox* STime = nullptr;
    QTimeEdit* TimeD = nullptr;
    QTimeEdit* TimeN = nullptr;
    QCheckBox* CPnp = nullptr;
    QCheckBox* ChFlpo = nullptr;
    QListWidget* Mspo = nullptr;
    // Commands.
    QPushButton* BitSave = nullptr;
    QPushButton* BitAdd = nullptr;
    QPushButton* BitDelete = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    QToolButton* BitUpGrup = nullptr;
    QToolButton* BitDownGrup = nullptr;
    QToolButton* BitFirst = nullptr;
    QToolButton* BitLast = nullptr;
    QPushButton* BitTrub = nullptr;
    QPushButton* Bitsp = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* ButHelp = nullptr;

    ApartmentEditor& Editor() { return editor_; }
    // The switch and entrance shown, with their house and object.
    const HeldRows& Shown() const { return held_; }
    ArrowRepeat* TmRun() const { return repeat_; }
    // The values the controls hold.
    ApartmentValues ControlValues() const;

    void ShowApartment();
    void BitSaveClick();
    void BitAddClick();
    void BitDeleteClick();
    void MarkConfigChanged();
    void BtnUpClick();
    void BtnDownClick();
    void BitUpGrupClick();
    void BitDownGrupClick();
    void BitFirstClick();
    void BitLastClick();
    void BitTrubClick();
    void BitspClick();
    void ButExitClick();
    void ButHelpClick();
    void E_kkExit();
    void STimeClick();
    // A double click, Enter or Space on a permission of the grid.
    void ToggleCell(int column);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 242;

    QWidget* buildHeader();
    QWidget* buildRow();
    QWidget* buildConsole();
    QWidget* buildCommands();
    void buildMenu();
    void wireControls();
    void attachGrid();

    qint64 currentRow() const;
    // The switch list no longer stands on the switch shown (another window
    // moved it): the grid shows another entrance.
    bool listMovedAway() const;
    // The switch, entrance and (unless a row is being added) the row shown
    // are all still in the file; else the operator is told.
    ApartmentEditorContext shownContext() const;
    bool shownStillThere() const;
    void showValues(const ApartmentValues& v, const ApartmentEditorContext& ctx);
    void showHeader();
    void refreshAfterWrite(qint64 idKvr, bool keys, bool rows);
    void setMoveButtons();
    bool stepRow(int direction, bool crossSwitches);
    void moveRow(int direction);
    void moveSwitch(int direction);
    void bulk(RowFlag flag, BulkChange change);

    ApartmentEditor editor_;
    SiteControls::RowControls row_;
    DatasetModel* model_ = nullptr;
    EnterMovesFocus* enter_ = nullptr;
    ArrowRepeat* repeat_ = nullptr;
    qint64 shown_ = 0;  // the row the controls show
    ApartmentEditorContext ctx_;  // the switch and entrance shown
    HeldRows held_;
};

extern TFkvEdit* FkvEdit;
