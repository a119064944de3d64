#pragma once
// What the two device list screens (switches, call panels) build alike: the
// totals bar, the one-letter switch between normal and bold grids, and the
// split of the frame's height between the two grids.

#include <QList>
#include <QString>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

struct TotalsBar {
    QFrame* panel = nullptr;
    QLabel* switches = nullptr;  // "КМ"
    QLabel* panels = nullptr;    // "БВ"
    QLabel* gates = nullptr;     // "Калиток"
};

// "Итого" with the three totals, the labels named as given.
TotalsBar MakeTotalsBar(QWidget* parent, const char* switchesName, const char* panelsName,
                        const char* gatesName);
// The current object's totals (ReadDeviceTotals) as decimal texts.
void ShowTotals(const TotalsBar& bar);

// The font switch: "ж" while the grids are normal (drawn bold itself), "н"
// while they are bold; the grids' column titles keep their type. A button,
// so that Tab reaches it and Space presses it as a click does.
QToolButton* MakeBoldToggle(QWidget* parent);
void ShowGridsBold(QToolButton* toggle, const QList<QWidget*>& grids, bool bold);
bool GridsShownBold(const QToolButton* toggle);
// The main window keeps each screen's grid type in the settings file under a
// key of its own; a frame outside the main window keeps what it shows.
bool StoredGridsBold(const QWidget* frame, const QString& key, bool shownBold);
void StoreGridType(const QToolButton* toggle, const QString& key);

// The upper and lower grids (or the boxes holding them) take the split of
// what the header and the totals bar leave of the frame's height.
void SplitFrameHeight(const QWidget* frame, const QWidget* header, const QWidget* totals,
                      QWidget* upper, QWidget* lower);
