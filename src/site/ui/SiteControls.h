#pragma once
// Controls the site registry's editors build alike: named buttons and boxes,
// the call-code field, the day and night pickers with their rounding, the
// console group that only an object with a console may use, and the controls
// of one apartment row that the apartment editor and the residents screen
// both show and read.

#include <QList>
#include <QString>

#include "platform/ui/NamedWidget.h"
#include "site/ApartmentRow.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolButton;
class QWidget;

namespace SiteControls {

// A push button that never becomes the dialog's default button.
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);
QToolButton* Arrow(QWidget* parent, const char* name, Qt::ArrowType type, const QString& hint);
QCheckBox* Check(QWidget* parent, const char* name, const QString& caption);

// A call-code field: digits and "." only, at most five characters.
QLineEdit* MakeCodeEdit(QWidget* parent, const char* name);
// A time picker showing hours and minutes.
QTimeEdit* MakeTimePicker(QWidget* parent, const char* name);
void SetMinutes(QTimeEdit* picker, int minutes);
int Minutes(const QTimeEdit* picker);
// A picker left: its time rounded to tens of minutes.
void RoundToTens(QTimeEdit* picker);
// The console group (and the controls outside it that serve the console):
// enabled with the window-text colour only for an object with a console.
void ShowConsoleGroup(QWidget* group, const QList<QWidget*>& also, bool hasConsole);

// The controls of one apartment row, by their design names.
struct RowControls {
    QLineEdit* E_kv = nullptr;
    QLineEdit* E_bv = nullptr;
    QSpinBox* E_kk = nullptr;
    QCheckBox* Call = nullptr;
    QCheckBox* C_otz = nullptr;
    QCheckBox* C_Video = nullptr;
    QCheckBox* C_Block = nullptr;
    QCheckBox* C_obr = nullptr;
    QCheckBox* STime = nullptr;
    QTimeEdit* TimeD = nullptr;
    QTimeEdit* TimeN = nullptr;
    QCheckBox* CPnp = nullptr;

    // The permission boxes of the call panels, in the group's order.
    QList<QCheckBox*> PanelBoxes() const { return {Call, C_otz, C_Video, C_Block}; }
    void Show(const ApartmentValues& v) const;
    void Read(ApartmentValues* v) const;
    // "Время смены дня и ночи как на ППО" clicked: following the console
    // shows its times and locks the pickers.
    void FollowConsole(qint64 idNet, bool objectHasConsole) const;
};

// The row's permission boxes and, in group, the console's controls laid out
// from the grid's first row; numbered puts the console flag's number before
// its box.
void MakePanelBoxes(QWidget* parent, RowControls* c);
QGridLayout* MakeConsoleGroup(QWidget* group, RowControls* c, bool numbered);

}  // namespace SiteControls
