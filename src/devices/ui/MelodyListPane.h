#pragma once
// The melody list of the two melody forms: the melodies of one kind with the
// buttons to add, rename and play one, the refresh button, the name panel and
// the list menu with "Удалить мелодию" and the closing command (which stays
// off). The forms put it in place and follow NotesMayChange to switch their
// notes grid on and off.

#include "devices/Melody.h"

#include <QGroupBox>

class DatasetGrid;
class MelodyNamePanel;
class QAction;
class QMenu;
class QPushButton;
class QToolButton;

struct MelodyListTexts {
    QString firstPurpose;
    QString secondPurpose;
    QString newName;        // what the name edit of a new melody shows
    const char* closeName;  // the closing command's design name and caption
    QString closeCaption;
};

class MelodyListPane : public QGroupBox {
    Q_OBJECT
  public:
    MelodyListPane(MelodyList list, const MelodyListTexts& texts, QWidget* parent);

    DatasetGrid* DBGm = nullptr;
    QPushButton* BitAppd = nullptr;
    QPushButton* BitEdit = nullptr;
    QPushButton* BitBeep = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    MelodyNamePanel* PanelName = nullptr;
    QMenu* PPMel = nullptr;
    QAction* PPDel = nullptr;
    QAction* PPClose = nullptr;

    void DBGmCellClick();
    void BitAppdClick();
    void BitEditClick();
    void BitBeepClick();
    void PPDelClick();
    void SpeedButton1Click();

  signals:
    // The current melody, or whether it may be edited, may have changed.
    void NotesMayChange();

  private:
    MelodyList list_;
    QString newName_;
};
