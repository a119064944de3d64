#pragma once
// Small builders the editor's tabs share: controls named after their design
// names, labelled spin edits and the check lists of flags and cameras.

#include "platform/ui/NamedWidget.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QLayout;
class QFormLayout;
class QScrollArea;
class QSpinBox;
class QWidget;

// The editor's pages are taller than a small screen: a page's controls go
// into a body that scrolls, and the row at its foot (the save button), when
// there is one, stays in view below it. Returns the body.
QWidget* ScrollingPage(QWidget* page, QLayout* foot = nullptr);
// A scroll area, without a frame, holding the widget at its size.
QScrollArea* ScrollingArea(QWidget* content, QWidget* parent);

// A flat button draws no focus under some styles (Fusion among them): it
// stands raised while it has the focus, so that Tab shows where it is.
void RaiseFlatButtonOnFocus(QPushButton* flat);

// A spin edit in lo..hi, added to the form with its label.
QSpinBox* AddSpin(QFormLayout* form, const char* name, const QString& label, int lo, int hi);

// A check list: its items as check boxes in rows of perRow, item 0 first.
class CheckList : public QWidget {
  public:
    CheckList(const char* name, const QStringList& items, int perRow, QWidget* parent);
    int Count() const { return int(items_.size()); }
    QCheckBox* Item(int i) const { return items_.value(i); }

  private:
    QList<QCheckBox*> items_;
};

// Ticks item i when character i of items is '1'.
void SetChecks(CheckList* list, const QString& items);
// '1' per ticked item, item 0 first.
QString Checks(const CheckList* list);
int CheckedCount(const CheckList* list);

// The items "01" .. "16" of the flag lists.
QStringList FlagItems();

// The access-code lock of a protected panel: unlocked, the panel is enabled
// in the window text colour and the code field's label turns grey; locked,
// the reverse.
void ApplyAccessLock(QWidget* panel, QLabel* codeLabel, bool unlocked);
