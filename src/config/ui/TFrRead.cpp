#include "config/ui/TFrRead.h"

#include "config/ConfigReadScreen.h"
#include "config/ConfigScreenSettings.h"
#include "config/ui/ConfigFileChooser.h"
#include "config/ui/MemoLines.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/ui/NamedWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFrRead::TFrRead(QWidget* parent) : TScreenFrame(QStringLiteral("FrRead1"), QString(), parent) {
    QVBoxLayout* content = ContentLayout();
    auto* top = new QGridLayout;

    auto* file = new QGroupBox(QStringLiteral("Файл"), this);
    auto* grid = new QGridLayout(file);
    ODtxt = new ConfigFileChooser(file);
    RBany = ODtxt->RBany;
    RBarm = ODtxt->RBarm;
    RBnet = ODtxt->RBnet;
    ButBit = Named(new QPushButton(QStringLiteral("Чтение файла"), file), "ButBit");
    BitClear = Named(new QPushButton(QStringLiteral("Очистить поля"), file), "BitClear");
    CB_not = Named(new QCheckBox(QStringLiteral("Без анализа"), file), "CB_not");
    grid->addWidget(ODtxt, 0, 0, 1, 3);
    grid->addWidget(ButBit, 1, 0);
    grid->addWidget(CB_not, 1, 1);
    grid->addWidget(BitClear, 1, 2);

    auto* device = new QGroupBox(QStringLiteral("Устройство"), this);
    auto* form = new QGridLayout(device);
    EIdent = Named(new QLineEdit(device), "EIdent");
    EIdent->setReadOnly(true);
    jDev = Named(new QSpinBox(device), "jDev");
    jDev->setRange(-1, 255);
    jDev->setValue(-1);
    jDev->setReadOnly(true);
    jDev->setButtonSymbols(QAbstractSpinBox::NoButtons);
    form->addWidget(new QLabel(QStringLiteral("Идентификатор объекта"), device), 0, 0);
    form->addWidget(EIdent, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Сетевой номер"), device), 1, 0);
    form->addWidget(jDev, 1, 1);

    top->addWidget(buildKindGroup(), 0, 0);
    top->addWidget(device, 0, 1);
    top->addWidget(file, 1, 0, 1, 2);
    top->setColumnStretch(1, 1);
    content->addLayout(top);

    auto* memos = new QHBoxLayout;
    memos->addWidget(buildMemo(Memo1, "Memo1", QStringLiteral("Окно детализации")), 3);
    memos->addWidget(buildMemo(Memo2, "Memo2", QStringLiteral("Окно шагов выполнения")), 2);
    content->addLayout(memos, 1);

    auto* nav = new QHBoxLayout;
    ButWrite = Named(new QPushButton(QStringLiteral("Создание КФ"), this), "ButWrite");
    ButRedact = Named(new QPushButton(QStringLiteral("Просмотр КФ"), this), "ButRedact");
    nav->addWidget(ButWrite);
    nav->addStretch();
    nav->addWidget(ButRedact);
    content->addLayout(nav);

    connect(ButBit, &QPushButton::clicked, this, &TFrRead::ButBitClick);
    connect(BitClear, &QPushButton::clicked, this, &TFrRead::BitClearClick);
}

QGroupBox* TFrRead::buildKindGroup() {
    R_Div = Named(new QGroupBox(QStringLiteral("Тип устройства"), this), "R_Div");
    auto* column = new QVBoxLayout(R_Div);
    kinds_ = new QButtonGroup(this);
    const QStringList items = {QStringLiteral("КМ - подъездный коммутатор"),
                               QStringLiteral("БВ - блок вызова"),
                               QStringLiteral("ППО - пост охраны")};
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], R_Div);
        item->setObjectName(QStringLiteral("R_Div%1").arg(i));
        kinds_->addButton(item, i);
        column->addWidget(item);
    }
    return R_Div;
}

QGroupBox* TFrRead::buildMemo(QPlainTextEdit*& memo, const char* name, const QString& title) {
    auto* box = new QGroupBox(title, this);
    memo = Named(new QPlainTextEdit(box), name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(memo);
    return box;
}

int TFrRead::RDivIndex() const {
    return kinds_->checkedId();
}

void TFrRead::setRDivIndex(int index) {
    // A group's last checked button stays checked unless the group lets go of it.
    kinds_->setExclusive(false);
    for (QAbstractButton* b : kinds_->buttons()) b->setChecked(kinds_->id(b) == index);
    kinds_->setExclusive(true);
}

void TFrRead::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    dbFolder_ = dbFolder;
    R_Div->setToolTip(dbFolder);
    FormActivate();
}

void TFrRead::FormActivate() {
    const ConfigCurrentObject object = CurrentConfigObject();
    if (object.idNet) EIdent->setText(QString::number(object.idNom));
    LoadConfigScreenSettings();  // reloads the program's SepDevice
}

void TFrRead::ButBitClick() {
    const QString file = ODtxt->Choose(dbFolder_, false);
    if (file.isEmpty()) return;
    WaitCursor wait;
    const bool raw = CB_not->isChecked();
    const ReadScreenResult r = ReadScreenFile(file, raw, shownKind_, LoadConfigScreenSettings());
    AppendLines(Memo1, r.detail);
    AppendLines(Memo2, r.steps);
    if (raw || r.status != ConfigReadStatus::Ok) return;
    jDev->setValue(r.jDev);
    shownKind_ = r.kind;
    setRDivIndex(r.kind - 1);
}

void TFrRead::BitClearClick() {
    Memo1->clear();
    Memo2->clear();
}

void TFrRead::RBClick() {
    ODtxt->Reset();
}
