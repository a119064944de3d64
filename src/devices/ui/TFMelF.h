#pragma once
// "Определить мелодию КМ": the switch melodies (FDM->Q_Mel) with their notes
// (FDM->Q_Beep), the note staff t_not to compose from, the preview, and the
// assignment of the selected melody to the switch the switch editor shows,
// its house or the whole object, held by their keys from the showing on.

#include "devices/Melody.h"
#include "foundation/HeldRows.h"
#include "devices/ui/MelodyNamePanel.h"
#include "platform/ui/ElidedLabel.h"

#include <QDialog>

class DatasetGrid;
class MelodyListPane;
class Dataset;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TFMelF : public QDialog {
    Q_OBJECT
  public:
    explicit TFMelF(QWidget* parent = nullptr);
    ~TFMelF() override;

    // The note staff the form reads ("SELECT * FROM t_not").
    Dataset* NotKeys = nullptr;

    MelodyListPane* Melodies = nullptr;
    DatasetGrid* DBGm = nullptr;     // melodies
    DatasetGrid* DBGb = nullptr;     // notes of the selected melody
    DatasetGrid* DBGrid1 = nullptr;  // note staff
    ElidedLabel* TxVzv = nullptr;
    ElidedLabel* TxOtz = nullptr;
    MelodyNamePanel* PanelName = nullptr;
    QLineEdit* ENew = nullptr;
    QRadioButton* RBvz = nullptr;
    QRadioButton* RBot = nullptr;
    QSpinBox* SLen = nullptr;
    QPushButton* BitAppd = nullptr;
    QPushButton* BitEdit = nullptr;
    QPushButton* BitSaveMel = nullptr;
    QPushButton* BitBeep = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* BitSavePk = nullptr;
    QPushButton* BitSaveDm = nullptr;
    QPushButton* BitSaveOb = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    QMenu* PPMel = nullptr;
    QAction* PPDel = nullptr;
    QAction* PPClose = nullptr;
    QMenu* PPNote = nullptr;
    QAction* NoteApp = nullptr;
    QAction* NoteEdit = nullptr;
    QAction* N2 = nullptr;

    // Shown for switch idPk (the one the switch editor shows).
    void ShowForSwitch(qint64 idPk);
    const HeldRows& Shown() const { return held_; }
    void FormActivate();
    void ShowAssignedMelodies();
    void DBGmCellClick();
    void BitAppdClick();
    void BitEditClick();
    void ENewEnter();
    void NameChanged();
    void BitSaveMelClick();
    void BitBeepClick();
    void NoteAppClick();
    void NoteEditClick();
    void N2Click();
    void DBGrid1CellClick(int column);
    void DBGmKeyDown();
    void PPDelClick();
    void BitSavePkClick();
    void BitSaveDmClick();
    void BitSaveObClick();
    void SpeedButton1Click();
    void ButExitClick();
    void ButHelpClick();

    bool NotesEnabled() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 234;

    QWidget* buildMelodyPane();
    QWidget* buildNotePane();
    QWidget* buildStaffPane();
    QWidget* buildAssignPane();
    void buildMenus();
    void enableNotes();
    void assign(MelodyScope scope, const QString& table, const QString& named);
    int staffTone() const;

    HeldRows held_;
    qint64 switchToShow_ = 0;
};

extern TFMelF* FMelF;
