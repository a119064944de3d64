#include "site/ui/SiteControls.h"

#include "platform/ui/TimeField.h"
#include "site/CallCodes.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTime>
#include <QTimeEdit>
#include <QToolButton>
#include <QWidget>

namespace SiteControls {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = Named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

QToolButton* Arrow(QWidget* parent, const char* name, Qt::ArrowType type, const QString& hint) {
    auto* b = Named(new QToolButton(parent), name);
    b->setArrowType(type);
    b->setToolTip(hint);
    return b;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, parent), name);
}

QLineEdit* MakeCodeEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(CallCodes::kMaxLength);
    // The code is dialled on the call panel's keys.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,5}")), edit));
    return edit;
}

QTimeEdit* MakeTimePicker(QWidget* parent, const char* name) {
    return Named(new TimeField(parent), name);
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
    // The palette is left alone: a text colour set on the group would hold in
    // every colour group, and its disabled texts would stay black.
    group->setEnabled(hasConsole);
    for (QWidget* w : also) w->setEnabled(hasConsole);
}

void RowControls::Show(const ApartmentValues& v) const {
    E_kv->setText(v.number);
    E_bv->setText(v.code);
    E_kk->setValue(v.keys);
    Call->setChecked(v.call);
    C_otz->setChecked(v.ringBack);
    C_Video->setChecked(v.video);
    C_Block->setChecked(v.blocked);
    C_obr->setChecked(v.callBack);
    CPnp->setChecked(v.redirect);
    STime->setChecked(v.followsConsole);
    SetMinutes(TimeD, v.dayMinutes);
    SetMinutes(TimeN, v.nightMinutes);
}

void RowControls::Read(ApartmentValues* v) const {
    v->number = E_kv->text();
    v->code = E_bv->text();
    v->keys = E_kk->value();
    v->call = Call->isChecked();
    v->ringBack = C_otz->isChecked();
    v->video = C_Video->isChecked();
    v->blocked = C_Block->isChecked();
    v->callBack = C_obr->isChecked();
    v->redirect = CPnp->isChecked();
    v->followsConsole = STime->isChecked();
    v->dayMinutes = Minutes(TimeD);
    v->nightMinutes = Minutes(TimeN);
}

void RowControls::FollowConsole(qint64 idNet, bool objectHasConsole) const {
    const bool follows = STime->isChecked();
    if (follows) {
        const ConsoleTimes times = ReadConsoleTimes(idNet, objectHasConsole);
        SetMinutes(TimeD, times.day);
        SetMinutes(TimeN, times.night);
    }
    TimeD->setEnabled(!follows);
    TimeN->setEnabled(!follows);
}

void MakePanelBoxes(QWidget* parent, RowControls* c) {
    c->Call = Check(parent, "Call", QStringLiteral("Прямой вызов"));
    c->C_otz = Check(parent, "C_otz", QStringLiteral("Отзвонка"));
    c->C_Video = Check(parent, "C_Video", QStringLiteral("Видеопросмотр"));
    c->C_Block = Check(parent, "C_Block", QStringLiteral("Блокировка трубки"));
}

QGridLayout* MakeConsoleGroup(QWidget* group, RowControls* c, bool numbered) {
    c->C_obr = Check(group, "C_obr", QStringLiteral("Обратный вызов"));
    c->STime = Check(group, "STime", QStringLiteral("Время смены дня и ночи как на ППО"));
    c->TimeD = MakeTimePicker(group, "TimeD");
    c->TimeN = MakeTimePicker(group, "TimeN");
    c->CPnp = Check(group, "CPnp", QStringLiteral("Перенаправление вызова на ППО при занятом КМ"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(c->C_obr, 0, 0, 1, 3);
    grid->addWidget(c->STime, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("День"), group), 2, 0);
    grid->addWidget(c->TimeD, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ночь"), group), 3, 0);
    grid->addWidget(c->TimeN, 3, 1);
    if (numbered) {
        grid->addWidget(new QLabel(QStringLiteral("01"), group), 4, 0, Qt::AlignRight);
        grid->addWidget(c->CPnp, 4, 1, 1, 2);
    } else {
        grid->addWidget(c->CPnp, 4, 0, 1, 3);
    }
    return grid;
}

}  // namespace SiteControls
