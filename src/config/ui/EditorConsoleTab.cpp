#include "config/ui/EditorConsoleTab.h"

#include "config/ui/CallCodeGrid.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorWidgets.h"
#include "devices/ui/SlideTextField.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"
#include "platform/ui/TimeField.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int kMinutesPerDay = 1440;

QTime timeOfDay(qint64 minutes) {
    return QTime(0, 0).addSecs(int(((minutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay) *
                               60);
}

qint64 minutesOf(const QTime& t) {
    return t.hour() * 60 + t.minute();
}

QLineEdit* textEdit(QFormLayout* form, const char* name, const QString& label) {
    auto* edit = Named(new QLineEdit(form->parentWidget()), name);
    MakeSlideTextField(edit, kPoTextChars);
    form->addRow(label, edit);
    return edit;
}

QString cellOf(const QString& mask, int i) {
    return i < mask.size() && mask.at(i) == QLatin1Char('1') ? QStringLiteral("1")
                                                             : QStringLiteral("0");
}

}  // namespace

EditorConsoleTab::EditorConsoleTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabCPO1"));
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildParams());
    columns->addWidget(buildTimeouts());
    columns->addWidget(buildMelodiesAndTexts(), 1);

    auto* bottom = new QHBoxLayout;
    L_po_net = Named(new QLabel(this), "L_po_net");
    BitSavePo = Named(new QPushButton(QStringLiteral("Сохранить для ППО"), this), "BitSavePo");
    bottom->addWidget(new QLabel(QStringLiteral("Сетевой номер ППО:"), this));
    bottom->addWidget(L_po_net);
    bottom->addStretch();
    bottom->addWidget(BitSavePo);

    auto* page = new QVBoxLayout(ScrollingPage(this, bottom));
    page->addLayout(columns);
    page->addWidget(buildEntrances());
    page->addWidget(buildCodes());
    SetSepDevice(sepDevice_);
}

QSpinBox* EditorConsoleTab::linkedLevel(const char* spinName, const char* barName, QSlider*& bar) {
    auto* spin = Named(new QSpinBox(this), spinName);
    spin->setRange(0, 15);
    bar = Named(new QSlider(Qt::Horizontal, this), barName);
    bar->setRange(0, 15);
    connect(spin, &QSpinBox::valueChanged, bar, &QSlider::setValue);
    connect(bar, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    return spin;
}

QWidget* EditorConsoleTab::buildParams() {
    auto* box = new QGroupBox(QStringLiteral("Основные параметры"), this);
    auto* form = new QFormLayout(box);
    E_Vss = linkedLevel("E_Vss", "T_Vss", T_Vss);
    E_Vmv = linkedLevel("E_Vmv", "T_Vmv", T_Vmv);
    auto levelRow = [&](QSpinBox* spin, QSlider* bar, const QString& label) {
        auto* row = new QHBoxLayout;
        row->addWidget(spin);
        row->addWidget(bar, 1);
        form->addRow(label, row);
    };
    levelRow(E_Vss, T_Vss, QStringLiteral("Громкость служебных сигналов"));
    levelRow(E_Vmv, T_Vmv, QStringLiteral("Громкость мелодий вызова"));
    TimeD = Named(new TimeField(box), "TimeD");
    TimeN = Named(new TimeField(box), "TimeN");
    form->addRow(QStringLiteral("Переход в дневной режим"), TimeD);
    form->addRow(QStringLiteral("Переход в ночной режим"), TimeN);
    Ncam = AddSpin(form, "Ncam", QStringLiteral("Смена камер панорамы, с"), 1, 255);
    Scam = AddSpin(form, "Scam", QStringLiteral("Просмотр выбранной камеры, с"), 1, 255);
    Frmi = AddSpin(form, "Frmi", QStringLiteral("Позиция разделителя дом/кв."), 0, 6);
    E_Raz = Named(new QLineEdit(QStringLiteral("45"), box), "E_Raz");
    form->addRow(QStringLiteral("Код символа-разделителя"), E_Raz);
    QStringList cameras{QStringLiteral("СПК")};
    for (int i = 1; i < kPoCameraItems; ++i) cameras << QString::number(i);
    ChMs = new CheckList("ChMs", cameras, 4, box);
    form->addRow(QStringLiteral("Камеры панорамы"), ChMs);
    return box;
}

QWidget* EditorConsoleTab::buildTimeouts() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    PanelPass = Named(new QGroupBox(QStringLiteral("Тайм-ауты и пороги"), box), "PanelPass");
    auto* form = new QFormLayout(PanelPass);
    Buzy = AddSpin(form, "Buzy", QStringLiteral("Прохождение пакета, x0,03 с"), 0, 65536);
    Blato = AddSpin(form, "Blato", QStringLiteral("Принятие, x0,03 с"), 0, 65536);
    Npce = AddSpin(form, "Npce", QStringLiteral("Уведомление о присутствии, x0,03 с"), 0, 65536);
    Cbto = AddSpin(form, "Cbto", QStringLiteral("Коммутатор, с"), 1, 255);
    Rmto = AddSpin(form, "Rmto", QStringLiteral("Вызовы отзвонки, с"), 1, 255);
    Dpto = AddSpin(form, "Dpto", QStringLiteral("Прямые вызовы, с"), 1, 255);
    Exec = AddSpin(form, "Exec", QStringLiteral("Подготовка команды, с"), 1, 255);
    Clha = AddSpin(form, "Clha", QStringLiteral("Вызов абонента, с"), 1, 255);
    Cldp = AddSpin(form, "Cldp", QStringLiteral("Вызов оператора, с"), 1, 255);
    Talk = AddSpin(form, "Talk", QStringLiteral("Разговор с постом, с"), 1, 255);
    Adccl = AddSpin(form, "Adccl", QStringLiteral("Порог БВ нижний"), 1, 255);
    Adccm = AddSpin(form, "Adccm", QStringLiteral("Порог БВ средний"), 1, 255);
    Adcch = AddSpin(form, "Adcch", QStringLiteral("Порог БВ верхний"), 1, 255);
    Adchl = AddSpin(form, "Adchl", QStringLiteral("Порог трубок нижний"), 0, 255);
    Adchm = AddSpin(form, "Adchm", QStringLiteral("Порог трубок средний"), 0, 255);
    Adchh = AddSpin(form, "Adchh", QStringLiteral("Порог трубок верхний"), 0, 255);
    column->addWidget(PanelPass);
    auto* code = new QHBoxLayout;
    LPassPo = Named(new QLabel(QStringLiteral("Код доступа"), box), "LPassPo");
    PassPo = Named(new QLineEdit(box), "PassPo");
    PassPo->setEchoMode(QLineEdit::Password);
    PassPo->setMaxLength(20);
    code->addWidget(LPassPo);
    code->addWidget(PassPo);
    column->addLayout(code);
    column->addStretch();
    connect(PassPo, &QLineEdit::textChanged, this, &EditorConsoleTab::PassPoKeyUp);
    ApplyAccessLock(PanelPass, LPassPo, false);
    return box;
}

QWidget* EditorConsoleTab::buildMelodiesAndTexts() {
    auto* box = new QGroupBox(QStringLiteral("Мелодии и слайды"), this);
    auto* layout = new QGridLayout(box);
    MelGs = new EditorGrid("MelGs", 3, kPoNotes + 1, 1, 1, box);
    MelAb = new EditorGrid("MelAb", 3, kPoNotes + 1, 1, 1, box);
    for (EditorGrid* g : {MelGs, MelAb}) {
        g->SetInput(EditorGrid::Input::Number);
        g->FitHeight(kPoNotes + 1);
    }
    layout->addWidget(new QLabel(QStringLiteral("Вызов посетителем"), box), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Вызов абонентом"), box), 0, 1);
    layout->addWidget(MelGs, 1, 0);
    layout->addWidget(MelAb, 1, 1);
    auto* texts = new QFormLayout;
    Sobj1 = textEdit(texts, "Sobj1", QStringLiteral("Слайд объекта 1"));
    Sobj2 = textEdit(texts, "Sobj2", QStringLiteral("Слайд объекта 2"));
    Sus1 = textEdit(texts, "Sus1", QStringLiteral("Слайд оператора 1"));
    Sus2 = textEdit(texts, "Sus2", QStringLiteral("Слайд оператора 2"));
    Sus3 = textEdit(texts, "Sus3", QStringLiteral("Слайд оператора 3"));
    Sus4 = textEdit(texts, "Sus4", QStringLiteral("Слайд оператора 4"));
    layout->addLayout(texts, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return box;
}

QWidget* EditorConsoleTab::buildEntrances() {
    auto* box = new QGroupBox(QStringLiteral("Подъезды и блоки вызова"), this);
    auto* layout = new QGridLayout(box);
    MPod = new EditorGrid("MPod", 2, 3, 1, 1, box);
    MPod->SetRowInput(1, EditorGrid::Input::Mask);
    MPod->SetRowInput(2, EditorGrid::Input::Number);
    MCbv = new EditorGrid("MCbv", 65, 2, 1, 1, box);
    MCbv->SetRowInput(1, EditorGrid::Input::Mask);
    for (EditorGrid* g : {MPod, MCbv}) g->FitHeight(g->RowCount());
    ReservPO = Named(new QCheckBox(QStringLiteral("Резервный бит"), box), "ReservPO");
    layout->addWidget(MPod, 0, 0);
    layout->addWidget(ReservPO, 0, 1);
    layout->addWidget(MCbv, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    connect(MPod, &EditorGrid::currentCellChanged, this,
            [this](int row, int column) { ShowPoEntranceCodes(column, row); });
    connect(MPod, &EditorGrid::cellTyped, this, &EditorConsoleTab::mpodTyped);
    connect(MCbv, &EditorGrid::cellTyped, this, &EditorConsoleTab::mcbvTyped);
    return box;
}

QWidget* EditorConsoleTab::buildCodes() {
    auto* box = new QGroupBox(QStringLiteral("Коды вызова подъезда"), this);
    auto* layout = new QGridLayout(box);
    KodVv = new CallCodeGrid("KodVv", true, box);
    KodVv->Counts = [this] { return counts(); };
    FarcPO = Named(new QCheckBox(QStringLiteral("Упакованные коды"), box), "FarcPO");
    LInc = Named(new QLabel(box), "LInc");
    LErrorPo = Named(new QLabel(box), "LError");
    MFlag = new CheckList("MFlag", FlagItems(), 8, box);
    MZn = new CheckList("MZn", FlagItems(), 8, box);
    KodVv->CarriedFlags = [this] { return CheckedCount(MFlag); };
    KolAdr = Named(new QSpinBox(box), "KolAdr");
    KolAdr->setRange(0, kPoHandsetsMax);
    SysAdr = new EditorGrid("SysAdr", 1, 3, 1, 1, box);
    SysAdr->SetInput(EditorGrid::Input::Number);
    SysAdr->setToolTip(QStringLiteral(
        "Соответствие сетевого номера СПК и индекса трубки в СПК, подключенных к СПО"));
    SysAdr->FitHeight(3);
    connect(KolAdr, &QSpinBox::valueChanged, this, &EditorConsoleTab::resizeSysAdr);

    auto* options = new QHBoxLayout;
    options->addWidget(FarcPO);
    options->addWidget(new QLabel(QStringLiteral("Инкремент:"), box));
    options->addWidget(LInc);
    options->addWidget(LErrorPo, 1);
    auto* flags = new QFormLayout;
    flags->addRow(QStringLiteral("Флаги квартир"), MFlag);
    flags->addRow(QStringLiteral("По умолчанию"), MZn);
    auto* handsets = new QHBoxLayout;
    handsets->addWidget(new QLabel(QStringLiteral("Трубки ПО на КМ:"), box));
    handsets->addWidget(KolAdr);
    handsets->addWidget(SysAdr, 1);

    layout->addWidget(KodVv, 0, 0, 1, 2);
    layout->addLayout(options, 1, 0);
    layout->addLayout(flags, 2, 0);
    layout->addLayout(handsets, 3, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    return box;
}

void EditorConsoleTab::SetSepDevice(int sepDevice) {
    sepDevice_ = qMax(sepDevice, 1);
    MPod->SetColCount(sepDevice_ + 1);
}

void EditorConsoleTab::Clear() {
    MPod->ClearData();
    MPod->SetColumnTitles({QStringLiteral("п"), QStringLiteral("м"), QStringLiteral("кв")});
    for (int c = 1; c < MPod->ColCount(); ++c) MPod->SetCell(c, 0, QString::number(c - 1));
    MPod->FitColumns(24);
    MCbv->ClearData();
    MCbv->SetColumnTitles({QStringLiteral("бв"), QStringLiteral("м")});
    for (int c = 1; c < MCbv->ColCount(); ++c) MCbv->SetCell(c, 0, QString::number(c - 1));
    MCbv->FitColumns(24);
    KodVv->Clear();
    for (EditorGrid* g : {MelGs, MelAb}) {
        g->ClearData();
        g->SetRowTitles({QStringLiteral("№"), QStringLiteral("долгота"), QStringLiteral("№ ноты")});
        g->NumberRows();
        g->FitColumns(56);
    }
    SysAdr->SetColCount(1);
    SysAdr->SetColumnTitles({QString(), QStringLiteral("сет №"), QStringLiteral("ин.тр.")});
    SysAdr->FitColumns();
    entrances_ = DecodePoEntranceMask(QString(), sepDevice_);
    entrance_ = 0;
    LInc->clear();
    LErrorPo->clear();
    L_po_net->clear();
}

QList<int> EditorConsoleTab::counts() const {
    // A switch not in the mask has no entrance, whatever count its column keeps.
    QList<int> counts = entrances_.apartments;
    for (int c = 0; c < counts.size(); ++c)
        if (c >= entrances_.switchMask.size() || entrances_.switchMask.at(c) != QLatin1Char('1'))
            counts[c] = 0;
    return counts;
}

void EditorConsoleTab::Show(const PoEditorValues& v, const std::optional<ConfigIdent>& ident) {
    const PoParamValues& p = v.params;
    E_Vss->setValue(int(p.klvl));
    E_Vmv->setValue(int(p.clvl));
    TimeD->setTime(timeOfDay(p.mtdy));
    TimeN->setTime(timeOfDay(p.mtnt));
    SetChecks(ChMs, p.cameras);
    const std::pair<QSpinBox*, qint64> spins[] = {
        {Ncam, p.ncam},   {Scam, p.scam},   {Buzy, p.busy},   {Blato, p.blato}, {Npce, p.npce},
        {Cbto, p.cbto},   {Rmto, p.rmto},   {Dpto, p.dpto},   {Exec, p.exec},   {Clha, p.clha},
        {Cldp, p.cldp},   {Talk, p.talk},   {Frmi, p.frmi},   {Adccl, p.adccl}, {Adccm, p.adccm},
        {Adcch, p.adcch}, {Adchl, p.adchl}, {Adchm, p.adchm}, {Adchh, p.adchh}};
    for (const auto& [spin, value] : spins) spin->setValue(int(value));
    E_Raz->setText(p.frmc);
    for (int i = 0; i < kPoNotes; ++i) {
        MelGs->SetCell(1, i + 1, p.visitor[i].leng);
        MelGs->SetCell(2, i + 1, p.visitor[i].noot);
        MelAb->SetCell(1, i + 1, p.subscriber[i].leng);
        MelAb->SetCell(2, i + 1, p.subscriber[i].noot);
    }
    const std::pair<QLineEdit*, QString> texts[] = {{Sobj1, p.sobj1}, {Sobj2, p.sobj2},
                                                    {Sus1, p.sus1},   {Sus2, p.sus2},
                                                    {Sus3, p.sus3},   {Sus4, p.sus4}};
    for (const auto& [edit, text] : texts) edit->setText(text);

    entrances_ = v.entrances;
    KodVv->SetRecords(v.records);
    for (int c = 1; c < MPod->ColCount(); ++c) {
        MPod->SetCell(c, 1, cellOf(entrances_.switchMask, c - 1));
        const int count = entrances_.apartments.value(c - 1);
        MPod->SetCell(c, 2, count > 0 ? QString::number(count) : QString());
    }
    ReservPO->setChecked(entrances_.reserve);
    FarcPO->setChecked(v.packed);
    LInc->setText(v.increment);
    LErrorPo->setText(v.codeError);
    SetChecks(MFlag, v.flags.dataMask);
    SetChecks(MZn, v.flags.defaultMask);
    KolAdr->setValue(v.handsets.count);
    resizeSysAdr(int(v.handsets.entries.size()));
    for (int i = 0; i < v.handsets.entries.size(); ++i) {
        SysAdr->SetCell(i + 1, 1, v.handsets.entries[i].switchNo);
        SysAdr->SetCell(i + 1, 2, v.handsets.entries[i].handset);
    }
    if (ident && ident->nNet >= 0) L_po_net->setText(IntToStrZ(ident->nNet, 2));
    ShowPoEntranceCodes(1, 1);
}

void EditorConsoleTab::Read(PoEditorValues& v) const {
    PoParamValues& p = v.params;
    p.klvl = E_Vss->value();
    p.clvl = E_Vmv->value();
    p.mtdy = minutesOf(TimeD->time());
    p.mtnt = minutesOf(TimeN->time());
    p.cameras = Checks(ChMs);
    const std::pair<qint64*, QSpinBox*> spins[] = {
        {&p.ncam, Ncam},   {&p.scam, Scam},   {&p.busy, Buzy},   {&p.blato, Blato},
        {&p.npce, Npce},   {&p.cbto, Cbto},   {&p.rmto, Rmto},   {&p.dpto, Dpto},
        {&p.exec, Exec},   {&p.clha, Clha},   {&p.cldp, Cldp},   {&p.talk, Talk},
        {&p.frmi, Frmi},   {&p.adccl, Adccl}, {&p.adccm, Adccm}, {&p.adcch, Adcch},
        {&p.adchl, Adchl}, {&p.adchm, Adchm}, {&p.adchh, Adchh}};
    for (const auto& [value, spin] : spins) *value = spin->value();
    p.frmc = E_Raz->text();
    for (int i = 0; i < kPoNotes; ++i) {
        p.visitor[i] = {MelGs->Cell(1, i + 1), MelGs->Cell(2, i + 1)};
        p.subscriber[i] = {MelAb->Cell(1, i + 1), MelAb->Cell(2, i + 1)};
    }
    const std::pair<QString*, QLineEdit*> texts[] = {{&p.sobj1, Sobj1}, {&p.sobj2, Sobj2},
                                                     {&p.sus1, Sus1},   {&p.sus2, Sus2},
                                                     {&p.sus3, Sus3},   {&p.sus4, Sus4}};
    for (const auto& [text, edit] : texts) *text = edit->text();

    v.entrances = entrances_;
    v.entrances.reserve = ReservPO->isChecked();
    v.records = KodVv->Records();
    v.packed = FarcPO->isChecked();
    v.increment = LInc->text();
    v.flags.dataMask = Checks(MFlag);
    v.flags.defaultMask = Checks(MZn);
    v.handsets.count = KolAdr->value();
    v.handsets.entries.clear();
    for (int c = 1; c < SysAdr->ColCount(); ++c)
        v.handsets.entries << PoHandsetCells{SysAdr->Cell(c, 1), SysAdr->Cell(c, 2)};
}

void EditorConsoleTab::ShowPoEntranceCodes(int column, int) {
    if (column < 1 || column >= MPod->ColCount()) return;
    entrance_ = column;
    const QString panels = entrances_.panelMasks.value(column - 1);
    for (int c = 1; c < MCbv->ColCount(); ++c) MCbv->SetCell(c, 1, cellOf(panels, c - 1));
    KodVv->ShowEntrance(column);
}

void EditorConsoleTab::FocusRecord(int entrance, int column, int row) {
    MPod->setCurrentCell(1, entrance);
    ShowPoEntranceCodes(entrance, 1);
    KodVv->FocusCell(column, row);
}

void EditorConsoleTab::mpodTyped(int column, int row) {
    if (column < 1 || column > sepDevice_) return;
    if (row == 1) {
        QString& mask = entrances_.switchMask;
        if (mask.size() < sepDevice_) mask = PadRight(mask, QLatin1Char('0'), sepDevice_);
        mask[column - 1] =
            MPod->Cell(column, 1) == QLatin1String("1") ? QLatin1Char('1') : QLatin1Char('0');
    } else if (row == 2) {
        if (entrances_.apartments.size() < sepDevice_) entrances_.apartments.resize(sepDevice_);
        entrances_.apartments[column - 1] = MPod->Cell(column, 2).toInt();
    }
    if (column == entrance_) ShowPoEntranceCodes(column, row);
}

void EditorConsoleTab::mcbvTyped(int column, int) {
    if (entrance_ < 1) return;
    QString& mask = entrances_.panelMasks[entrance_ - 1];
    mask = PadRight(mask, QLatin1Char('0'), sepDevice_ + 1);
    if (column - 1 < mask.size())
        mask[column - 1] =
            MCbv->Cell(column, 1) == QLatin1String("1") ? QLatin1Char('1') : QLatin1Char('0');
}

void EditorConsoleTab::resizeSysAdr(int entries) {
    SysAdr->SetColCount(qMax(entries, 0) + 1);
    SysAdr->NumberColumns();
    SysAdr->FitColumns(28);
}

void EditorConsoleTab::PassPoKeyUp() {
    ApplyAccessLock(PanelPass, LPassPo, EditorUnlocks(PassPo->text()));
}
