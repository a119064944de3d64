#include "site/ui/TFdpkPort.h"

#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dialogs.h"
#include "site/SiteData.h"
#include "site/ui/SiteControls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TFdpkPort* FdpkPort = nullptr;

namespace {

const QString kWindowCaption = QStringLiteral("Распределение клемм КМ");

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint) {
    auto* r = Named(new QRadioButton(caption, parent), name);
    r->setToolTip(hint);
    return r;
}

QPushButton* hintedButton(QWidget* parent, const char* name, const QString& caption,
                          const QString& hint) {
    auto* b = SiteControls::Button(parent, name, caption);
    b->setToolTip(hint);
    return b;
}

}  // namespace

TFdpkPort::TFdpkPort(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FdpkPort"));
    setWindowTitle(kWindowCaption);
    CloseWhenGroundMoves(this, &held_);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setMinimumSize(455, 356);

    Label1 = Named(
        new QLabel(QStringLiteral("Можно заполнить все КМ автоматически, выбрав одно из условий:"),
                   this),
        "Label1");
    Label1->setWordWrap(true);
    RBTop1 = radio(this, "RBTop1",
                   QStringLiteral("Использовать установленные индивидуальные настройки для "
                                  "каждого коммутатора"),
                   QStringLiteral("Использовать установленные индивидуальные настройки для "
                                  "каждого коммутатора при пересчете"));
    RBTop2 = radio(this, "RBTop2",
                   QStringLiteral("Использовать следующие настройки для каждого коммутатора"),
                   QStringLiteral("Выбор одинаковых настроек всем коммутаторам. Использовать "
                                  "следующие настройки для каждого коммутатора"));
    RBTop1->setChecked(true);

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    RB_3 = radio(Panel1, "RB_3", QStringLiteral("при использовании Lusk, порты не распредляются"),
                 QStringLiteral("Обнулит все номера клемм."));
    RB_0 = radio(Panel1, "RB_0", QStringLiteral("всегда приращение 1"),
                 QStringLiteral("Начнет нумерацию с нуля."));
    RB_1 = radio(Panel1, "RB_1", QStringLiteral("всегда приращение по модулю 100"),
                 QStringLiteral("Для каждого подъезда будет использовано его приращение по 100"));
    RB_2 =
        radio(Panel1, "RB_2", QStringLiteral("всегда использовать диапазон, начиная с 1-й клеммы"),
              QStringLiteral("Не реализовано"));
    RB_2->setEnabled(false);
    // The rules are their own group; none is chosen at first.
    rules_ = new QButtonGroup(this);
    rules_->addButton(RB_3, TerminalRuleKind::kFloorSwitch);
    rules_->addButton(RB_0, TerminalRuleKind::kIncrementOne);
    rules_->addButton(RB_1, TerminalRuleKind::kModulo100);
    rules_->addButton(RB_2, 2);
    auto* rules = new QVBoxLayout(Panel1);
    for (QRadioButton* r : {RB_3, RB_0, RB_1, RB_2}) rules->addWidget(r);

    OKBtn = hintedButton(this, "OKBtn", QStringLiteral("Да, заполнить все"),
                         QStringLiteral("Начать заполнение "));
    CancelBtn = hintedButton(this, "CancelBtn", QStringLiteral("Не заполнять"),
                             QStringLiteral("Выйти без заполнения"));
    ButHelp = hintedButton(this, "ButHelp", QStringLiteral("Справка"), QStringLiteral("Справка"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    buttons->addWidget(ButHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(RBTop1);
    layout->addWidget(RBTop2);
    layout->addWidget(Panel1);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(RBTop1, &QRadioButton::clicked, this, &TFdpkPort::RBTop1Click);
    connect(RBTop2, &QRadioButton::clicked, this, &TFdpkPort::RBTop2Click);
    connect(rules_, &QButtonGroup::idClicked, this, &TFdpkPort::updateRulePanel);
    connect(OKBtn, &QPushButton::clicked, this, &TFdpkPort::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFdpkPort::CancelBtnClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFdpkPort::ButHelpClick);
    updateRulePanel();
}

TerminalRuleChoice TFdpkPort::Choice() const {
    TerminalRuleChoice choice;
    choice.individual = RBTop1->isChecked();
    const int checked = rules_->checkedId();
    if (checked == TerminalRuleKind::kFloorSwitch || checked == TerminalRuleKind::kIncrementOne ||
        checked == TerminalRuleKind::kModulo100)
        choice.kind = checked;
    return choice;
}

// The rules count only for the second choice, and OK waits for one of them.
void TFdpkPort::updateRulePanel() {
    Panel1->setEnabled(RBTop2->isChecked());
    OKBtn->setEnabled(Choice().Runnable());
}

void TFdpkPort::RBTop1Click() {
    updateRulePanel();
}

void TFdpkPort::RBTop2Click() {
    updateRulePanel();
}

void TFdpkPort::OKBtnClick() {
    if (!Choice().Runnable() || busy_) return;
    busy_ = true;
    const bool done = run();
    busy_ = false;
    if (done) close();
}

bool TFdpkPort::run() {
    if (!held_.StillThere() ||
        Dialogs::Message(TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return false;
    const int switches = FDM->Q_pk->RecordCount();
    const auto gauge = ProgressGauge();
    TerminalRunResult result;
    {
        WaitCursor wait;
        gauge(0, switches, true);
        repaint();
        const int recNo = FDM->Q_MNpk->RecNo();
        // Made only while the object shown is there: one that another copy of
        // the program removed while the question was open is told of.
        result = WriteHeld<TerminalRunResult>(held_, [&] {
            return RedistributeObjectTerminals(
                FDM->ConnectionDB(), held_.Id(QStringLiteral("k_net")), Choice(),
                [&gauge, switches](int done) { gauge(done, switches, true); });
        });
        FDM->ReopenSwitches();
        FDM->ReopenApartments();
        if (FDM->Q_Diap->IsOpen()) FDM->Q_Diap->Reopen();
        if (recNo > 0) FDM->Q_MNpk->SetRecNo(recNo);
        gauge(0, 0, false);
        repaint();
    }
    if (!result.ok) {
        if (!result.error.isEmpty())
            SiteData::ShowFailure(TerminalRuleTexts::kFailed, result.error);
        return false;
    }
    emit Distributed();
    return true;
}

void TFdpkPort::CancelBtnClick() {
    close();
}

void TFdpkPort::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

// The object current as it shows is the one it redistributes.
void TFdpkPort::showEvent(QShowEvent* event) {
    held_ = HeldRows::OfObject(SiteData::CurrentObjectId());
    setWindowTitle(held_.Title(kWindowCaption));
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    updateRulePanel();
}

// Another window of the program taking the focus closes it; the help viewer
// and its own questions do not.
void TFdpkPort::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || busy_ || isActiveWindow() || !isVisible())
        return;
    QWidget* active = QApplication::activeWindow();
    if (active && active != this)
        QTimer::singleShot(0, this, [this] {
            if (!busy_ && !isActiveWindow()) close();
        });
}
