#include "site/ui/ApartmentControls.h"

#include "site/ApartmentRow.h"
#include "site/CallCodes.h"

#include <QLineEdit>
#include <QPalette>
#include <QRegularExpressionValidator>
#include <QTime>
#include <QTimeEdit>
#include <QWidget>

namespace ApartmentControls {

QLineEdit* MakeCodeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(CallCodes::kMaxLength);
    // The code is dialled on the call panel's keys.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,5}")), edit));
    return edit;
}

QTimeEdit* MakeTimePicker(QWidget* parent, const char* name) {
    auto* picker = new QTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("HH:mm"));
    return picker;
}

void SetMinutes(QTimeEdit* picker, int minutes) {
    const int day = ApartmentRowLimits::kDayMinutes;
    picker->setTime(QTime(0, 0).addSecs(60 * (((minutes % day) + day) % day)));
}

int Minutes(const QTimeEdit* picker) {
    return QTime(0, 0).secsTo(picker->time()) / 60;
}

void RoundToTens(QTimeEdit* picker) {
    SetMinutes(picker, RoundToTenMinutes(Minutes(picker)));
}

void ShowConsoleGroup(QWidget* group, const QList<QWidget*>& also, bool hasConsole) {
    group->setEnabled(hasConsole);
    QPalette p = group->palette();
    p.setColor(QPalette::WindowText,
               group->palette().color(hasConsole ? QPalette::Active : QPalette::Disabled,
                                      QPalette::WindowText));
    group->setPalette(p);
    for (QWidget* w : also) w->setEnabled(hasConsole);
}

}  // namespace ApartmentControls
