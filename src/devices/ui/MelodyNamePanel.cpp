#include "devices/ui/MelodyNamePanel.h"

#include "devices/ui/FormControls.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "platform/Dialogs.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& caption) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}

Dataset* MelodyListOf(MelodyList list) {
    return list == MelodyList::Switch ? FDM->Q_Mel : FDM->Q_MelP;
}

}  // namespace

MelodyNamePanel::MelodyNamePanel(MelodyList list, const QString& firstPurpose,
                                 const QString& secondPurpose, QWidget* parent)
    : QGroupBox(parent), list_(list), firstPurpose_(firstPurpose), secondPurpose_(secondPurpose) {
    setObjectName(QStringLiteral("PanelName"));
    ENew = new QLineEdit(kNewMelodyPrompt, this);
    ENew->setObjectName(QStringLiteral("ENew"));
    LimitChars(ENew, 50);
    ENew->installEventFilter(this);
    RBvz = MakeRadio(this, "RBvz", firstPurpose);
    RBot = MakeRadio(this, "RBot", secondPurpose);
    RBvz->setChecked(true);
    BitSaveMel = MakeButton(this, "BitSaveMel", QStringLiteral("Сохранить имя мелодии"));
    connect(ENew, &QLineEdit::textChanged, this, &MelodyNamePanel::NameChanged);
    connect(RBvz, &QRadioButton::toggled, this, &MelodyNamePanel::NameChanged);
    connect(BitSaveMel, &QPushButton::clicked, this, &MelodyNamePanel::BitSaveMelClick);
    auto* purpose = new QHBoxLayout;
    purpose->addWidget(RBvz);
    purpose->addWidget(RBot);
    purpose->addStretch();
    purpose->addWidget(BitSaveMel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ENew);
    layout->addLayout(purpose);
    hide();
}

void MelodyNamePanel::StartNew(const QString& text) {
    newMelody_ = true;
    ENew->setText(text);
    show();
    ENew->setFocus();
}

void MelodyNamePanel::StartEdit() {
    if (CurrentMelodyId(list_) == 0) return;
    if (CurrentMelodyClosed(list_)) {
        Dialogs::Message(QStringLiteral("Запрет"),
                         QStringLiteral("Данная мелодия защищена от редактирования!"),
                         DlgButtons::Ok, DlgIcon::Warning);
        return;
    }
    newMelody_ = false;
    Dataset* melodies = MelodyListOf(list_);
    const bool first = melodies->FieldByName(QStringLiteral("forr")).AsString() == firstPurpose_;
    (first ? RBvz : RBot)->setChecked(true);
    ENew->setText(melodies->FieldByName(QStringLiteral("name")).AsString());
    show();
    ENew->setFocus();
}

void MelodyNamePanel::ENewEnter() {
    if (ENew->text() == kNewMelodyPrompt) ENew->clear();
}

void MelodyNamePanel::NameChanged() {
    nameChanged_ = true;
}

void MelodyNamePanel::BitSaveMelClick() {
    const QString name = ENew->text().trimmed();
    if (nameChanged_ && !name.isEmpty() && name != kNewMelodyPrompt &&
        Dialogs::AskYesNo(QStringLiteral("Подтверждение"), QStringLiteral("Сохраняем?")) &&
        SaveCurrentMelody(newMelody_, name, RBvz->isChecked() ? firstPurpose_ : secondPurpose_,
                          list_) == DeviceChange::Done)
        newMelody_ = false;
    nameChanged_ = false;
    hide();
    emit Closed();
}

bool MelodyNamePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ENew && event->type() == QEvent::FocusIn) ENewEnter();
    return QGroupBox::eventFilter(watched, event);
}
