#pragma once
// The residents screen `FrPiople1` (screen 14, "Абоненты"): every apartment
// row of the object with its house and entrance, the resident's names and the
// row's settings in the edit panel, a selection by typed prefixes and a sort
// by clicked column titles. Laid out for fast entry: Enter walks the fields,
// Ctrl+Enter saves or moves on, a save moves to the next resident. The work
// is done by SubscriberList and StoreSubscriber.

#include "foundation/HeldRows.h"
#include "foundation/ui/TScreenFrame.h"
#include "site/Subscribers.h"
#include "site/ui/SiteControls.h"

class ArrowRepeat;
class DatasetGrid;
class DatasetModel;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolButton;

class TFrPiople : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrPiople(QWidget* parent = nullptr);
    ~TFrPiople() override;

    static TFrPiople* Instance();

    DatasetGrid* DBGrid1 = nullptr;
    // The edit panel.
    QFrame* Panel2 = nullptr;
    QLabel* LFam = nullptr;
    QLabel* LNam = nullptr;
    QLabel* LOch = nullptr;
    QLabel* LKv = nullptr;
    QLabel* LBv = nullptr;
    QLineEdit* EFam = nullptr;
    QLineEdit* ENam = nullptr;
    QLineEdit* EOch = nullptr;
    QLineEdit* E_kv = nullptr;
    QLineEdit* E_bv = nullptr;
    QGroupBox* Panel6 = nullptr;
    QSpinBox* E_kk = nullptr;
    QCheckBox* Call = nullptr;
    QCheckBox* C_otz = nullptr;
    QCheckBox* C_Video = nullptr;
    QCheckBox* C_Block = nullptr;
    QGroupBox* Panel3 = nullptr;
    QCheckBox* C_obr = nullptr;
    QCheckBox* STime = nullptr;
    QTimeEdit* TimeD = nullptr;
    QTimeEdit* TimeN = nullptr;
    QCheckBox* CPnp = nullptr;
    // Commands.
    QPushButton* BitSave = nullptr;
    QPushButton* BitFind = nullptr;
    QLabel* LEdit = nullptr;
    QPushButton* SortBeg = nullptr;
    QListWidget* SortView = nullptr;
    QPushButton* Panel5 = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    QPushButton* BitKey = nullptr;

    SearchState Search() const { return search_; }
    bool Sorting() const { return sorting_; }
    const SubscriberList& List() const { return list_; }

    void PrepareScreen(const QString& dbFolder) override;
    void UpdateEditState();
    void ShowSubscriber();
    void RequerySubscribers(qint64 keepIdKvr);
    void AnyChange();
    void E_kkExit();
    void STimeClick();
    void BitSaveClick();
    void BitFindClick();
    void SortBegClick();
    void DBGrid1TitleClick(int column);
    void Panel5Click();
    void BtnUpClick();
    void BtnDownClick();
    void DBGrid1CellClick();

  protected:
    QWidget* FirstControl() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildNames();
    QWidget* buildFlags();
    QWidget* buildConsole();
    QWidget* buildCommands();
    void wireControls();
    void attachGrid();
    void showList();
    void holdShownRow();

    qint64 currentRow() const;
    bool listEmpty() const;
    void showListFailure();
    bool objectHasConsole() const;
    ApartmentValues controlValues() const;
    void showValues(const ApartmentValues& v);
    void showNothing();
    void showGroups();
    void applyFilter();
    void resetLabels();
    void enterSelection();
    void showSortMode();
    bool stepRow(int direction);
    void setMoveButtons();
    QWidget* nextInChain(QWidget* from, bool back) const;
    bool chainKey(QWidget* watched, int key, Qt::KeyboardModifiers modifiers);

    SubscriberList list_;
    SiteControls::RowControls row_;
    DatasetModel* model_ = nullptr;
    ArrowRepeat* repeat_ = nullptr;
    SearchState search_ = SearchState::Editing;
    bool sorting_ = false;
    bool loading_ = false;  // controls set by code
    qint64 shown_ = 0;      // id_kvr of the row the fields show
    HeldRows held_;         // that apartment and its entrance
};
