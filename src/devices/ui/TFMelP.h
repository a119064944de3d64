#pragma once
// "Мелодии пульта поста охраны": the console melodies (FDM->Q_MelP) with their
// notes (FDM->Q_Bepo), the 10-tone picker to compose from, the preview, and
// the assignment of the selected melody to the console of the object current
// when it was shown, held by its key. At most 5 notes a melody.

#include "devices/ui/MelodyNamePanel.h"

#include "foundation/HeldRows.h"
#include "platform/ui/ElidedLabel.h"

#include <QDialog>

class DatasetGrid;
class MelodyListPane;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

class TFMelP : public QDialog {
    Q_OBJECT
  public:
    explicit TFMelP(QWidget* parent = nullptr);

    MelodyListPane* Melodies = nullptr;
    DatasetGrid* DBGm = nullptr;  // melodies
    DatasetGrid* DBGb = nullptr;  // notes of the selected melody
    QTableWidget* GNoot = nullptr;
    QSpinBox* Dol = nullptr;
    ElidedLabel* TxVzv = nullptr;
    ElidedLabel* TxOtz = nullptr;
    MelodyNamePanel* PanelName = nullptr;
    QPushButton* BitAppd = nullptr;
    QPushButton* BitEdit = nullptr;
    QPushButton* BitBeep = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* BitSavePk = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    QMenu* PPMel = nullptr;
    QAction* PPDel = nullptr;
    QAction* N1 = nullptr;

    // Writes the picker's ten cells; the console screen runs it before showing.
    void FillNotePicker();
    const HeldRows& Shown() const { return held_; }
    void FormActivate();
    void ShowAssignedMelodies();
    void GNootClick(int cell);
    void GNootDblClick(int cell);
    void DBGbDblClick();
    void DBGbKeyDown();
    void BitSavePkClick();
    void N1Click();
    void ButExitClick();
    void ButHelpClick();

    bool NotesEnabled() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 211;

    QWidget* buildMelodyPane();
    QWidget* buildNotePane();
    QWidget* buildPickerPane();
    QWidget* buildAssignPane();
    void enableNotes();

    HeldRows held_;
};

extern TFMelP* FMelP;
