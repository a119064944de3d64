#pragma once
// Controls the apartment editor and the residents screen build alike: the
// call-code field, the day and night pickers with their rounding, and the
// console group that only an object with a console may use.

#include <QList>
#include <QString>

class QLineEdit;
class QTimeEdit;
class QWidget;

namespace ApartmentControls {

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

}  // namespace ApartmentControls
