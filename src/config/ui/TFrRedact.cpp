#include "config/ui/TFrRedact.h"

#include "config/ConfigScreenSettings.h"
#include "config/ui/ConfigFileChooser.h"
#include "config/ui/EditorConsoleTab.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/EditorSwitchTab.h"
#include "config/ui/EditorWidgets.h"
#include "config/ui/MemoLines.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSizePolicy>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The pages of PageFile: the tab of each kind, the call panel's keys, the service tab.
constexpr int kSwitchTab = 0;
constexpr int kPanelTab = 1;
constexpr int kKeysTab = 2;
constexpr int kConsoleTab = 3;
constexpr int kSysTab = 4;

QPlainTextEdit* memo(const char* name, QWidget* parent) {
    auto* m = Named(new QPlainTextEdit(parent), name);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Lines of hexadecimal digits hold no tab: Tab goes on to the next control.
    m->setTabChangesFocus(true);
    return m;
}

QStringList linesOf(const QPlainTextEdit* m) {
    return m->toPlainText().split(QLatin1Char('\n'));
}

QSpinBox* valueSpin(QFormLayout* form, const char* name) {
    auto* spin = AddSpin(form, name, QString::fromLatin1(name), -1, 2147483647);
    spin->setValue(-1);
    return spin;
}

}  // namespace

TFrRedact::TFrRedact(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrRedact1"), QString(), parent) {
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildTop());
    PageFile = Named(new QTabWidget(this), "PageFile");
    TabCPK1 = new EditorSwitchTab(PageFile);
    TabCBV1 = new EditorPanelTab(PageFile);
    TabCBV2 = new EditorKeysTab(PageFile);
    TabCPO1 = new EditorConsoleTab(PageFile);
    // The tabs of the kinds scroll inside, above their save buttons.
    PageFile->addTab(TabCPK1, QStringLiteral("СКМ"));
    PageFile->addTab(TabCBV1, QStringLiteral("СБВ"));
    AddPage(TabCBV2, QStringLiteral("СБВ ключи"));
    PageFile->addTab(TabCPO1, QStringLiteral("СПО"));
    PageFile->addTab(buildSys(), QStringLiteral("Служебная"));
    content->addWidget(PageFile, 1);
    Memo4 = memo("Memo4", this);
    Memo4->setReadOnly(true);
    Memo4->setMaximumHeight(110);
    content->addWidget(Memo4);
    buildKeyParts();

    connect(ButBit, &QPushButton::clicked, this, &TFrRedact::ButBitClick);
    connect(TabCPK1->BitSaveKm, &QPushButton::clicked, this, &TFrRedact::BitSaveKmClick);
    connect(TabCBV1->BitSaveBv, &QPushButton::clicked, this, &TFrRedact::BitSaveBvClick);
    connect(TabCPO1->BitSavePo, &QPushButton::clicked, this, &TFrRedact::BitSavePoClick);
    connect(ButDebug, &QPushButton::clicked, this, &TFrRedact::ButDebugClick);
    connect(StaticText2, &QPushButton::clicked, this, &TFrRedact::StaticText2Click);
    PageFile->setTabVisible(kSysTab, false);
    disarm();
}

QWidget* TFrRedact::buildTop() {
    auto* top = new QWidget(this);
    auto* rows = new QVBoxLayout(top);
    rows->setContentsMargins(0, 0, 0, 0);
    ODtxt = new ConfigFileChooser(top);
    RBany = ODtxt->RBany;
    RBarm = ODtxt->RBarm;
    RBnet = ODtxt->RBnet;
    ButBit = Named(new QPushButton(QStringLiteral("Открыть файл"), top), "ButBit");
    ButBit->setToolTip(QStringLiteral("Выбрать файл для просмотра"));
    // Reads as a caption, and Tab reaches it: Space or Enter presses it as a click does.
    StaticText2 = Named(new QPushButton(QStringLiteral("Служебная"), top), "StaticText2");
    StaticText2->setFlat(true);
    RaiseFlatButtonOnFocus(StaticText2);
    StaticText2->setToolTip(QStringLiteral("Показать или скрыть служебную вкладку"));
    auto* choice = new QHBoxLayout;
    choice->addWidget(ODtxt);
    choice->addWidget(ButBit, 0, Qt::AlignBottom);
    choice->addStretch();
    choice->addWidget(StaticText2, 0, Qt::AlignBottom);
    rows->addLayout(choice);

    LFile1 = Named(new PathLabel(top), "LFile1");
    L_Izmen = Named(new QLabel(top), "L_Izmen");
    EIdent = Named(new QLineEdit(top), "EIdent");
    EIdent->setReadOnly(true);
    EIdent->setMaximumWidth(120);
    jDev = Named(new QSpinBox(top), "jDev");
    jDev->setRange(-1, 255);
    jDev->setValue(-1);
    jDev->setReadOnly(true);
    jDev->setButtonSymbols(QAbstractSpinBox::NoButtons);
    auto* file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("Файл:"), top));
    file->addWidget(LFile1, 1);
    file->addWidget(L_Izmen);
    file->addWidget(new QLabel(QStringLiteral("Объект"), top));
    file->addWidget(EIdent);
    file->addWidget(new QLabel(QStringLiteral("Устройство"), top));
    file->addWidget(jDev);
    rows->addLayout(file);
    return top;
}

void TFrRedact::AddPage(QWidget* page, const QString& title) {
    PageFile->addTab(ScrollingArea(page, PageFile), title);
}

QWidget* TFrRedact::buildSys() {
    Sys = Named(new QWidget(PageFile), "Sys");
    auto* grid = new QGridLayout(ScrollingPage(Sys));
    ButDebug = Named(new QPushButton(QStringLiteral("Скрыть служебную вкладку"), Sys), "ButDebug");
    Memo2 = memo("Memo2", Sys);
    MemoTitle = memo("MemoTitle", Sys);
    MemoKm = memo("MemoKm", Sys);
    MemoBv = memo("MemoBv", Sys);
    MemoPo = memo("MemoPo", Sys);
    MKmN = memo("MKmN", Sys);
    MBvN = memo("MBvN", Sys);
    MPoN = memo("MPoN", Sys);
    MKm0 = memo("MKm0", Sys);
    MBv0 = memo("MBv0", Sys);
    MPo0 = memo("MPo0", Sys);
    Mpd = memo("Mpd", Sys);
    Mpp = memo("Mpp", Sys);
    auto* values = new QGroupBox(QStringLiteral("Идентификация БВ"), Sys);
    auto* form = new QFormLayout(values);
    V_id_net = valueSpin(form, "V_id_net");
    V_id_bv = valueSpin(form, "V_id_bv");
    V_type_bv = valueSpin(form, "V_type_bv");
    V_n_net = valueSpin(form, "V_n_net");
    V_id_nom = valueSpin(form, "V_id_nom");
    for (auto [box, name] : {std::pair{&Ch_id_net, "Ch_id_net"},
                             {&Ch_id_nom, "Ch_id_nom"},
                             {&Ch_id_bv, "Ch_id_bv"},
                             {&Ch_type_bv, "Ch_type_bv"},
                             {&Ch_n_net, "Ch_n_net"}}) {
        *box = Named(new QCheckBox(QString::fromLatin1(name), values), name);
        form->addRow(*box);
    }
    const std::pair<QPlainTextEdit*, const char*> memos[] = {
        {Memo2, "Размеры секций"},   {MemoTitle, "Заголовок"},     {MemoKm, "Заголовок КМ"},
        {MemoBv, "Заголовок БВ"},    {MemoPo, "Заголовок ППО"},    {MKmN, "Секции КМ"},
        {MBvN, "Секции БВ"},         {MPoN, "Секции ППО"},         {MKm0, "Хвост 0 секции КМ"},
        {MBv0, "Хвост 0 секции БВ"}, {MPo0, "Хвост 0 секции ППО"}, {Mpd, "Маска подъездов БВ"},
        {Mpp, "Остаток 2 секции БВ"}};
    int i = 0;
    for (const auto& [m, title] : memos) {
        auto* box = new QVBoxLayout;
        box->addWidget(new QLabel(QString::fromUtf8(title), Sys));
        box->addWidget(m);
        grid->addLayout(box, i / 4, i % 4);
        ++i;
    }
    grid->addWidget(values, i / 4, i % 4);
    grid->addWidget(ButDebug, i / 4 + 1, 0);
    return Sys;
}

namespace {
TFrRedact::KeyPartsMaker& keyPartsMaker() {
    static TFrRedact::KeyPartsMaker maker;
    return maker;
}
}  // namespace

void TFrRedact::SetKeyPartsMaker(KeyPartsMaker maker) {
    keyPartsMaker() = std::move(maker);
}

void TFrRedact::buildKeyParts() {
    // The operator types keys into the three section grids.
    for (EditorGrid* grid : {TabCBV2->Keys5, TabCBV2->Keys6, TabCBV2->Keys7})
        grid->SetInput(EditorGrid::Input::Any);
    if (keyPartsMaker()) keyParts_ = keyPartsMaker()(*this);
}

int TFrRedact::tabIndex(int kind) const {
    switch (kind) {
        case kKindSwitch:
            return kSwitchTab;
        case kKindCallPanel:
            return kPanelTab;
        case kKindConsole:
            return kConsoleTab;
        default:
            return kSysTab;
    }
}

// Only the tab of the kind (a call panel's with its keys); none for no kind.
void TFrRedact::setKindTabsVisible(int kind) {
    for (int k = kKindSwitch; k <= kKindConsole; ++k)
        PageFile->setTabVisible(tabIndex(k), k == kind);
    PageFile->setTabVisible(kKeysTab, kind == kKindCallPanel);
}

QPlainTextEdit* TFrRedact::titleCopy(int kind) const {
    return kind == kKindCallPanel ? MemoBv : kind == kKindConsole ? MemoPo : MemoKm;
}

QPlainTextEdit* TFrRedact::keptMemo(int kind) const {
    return kind == kKindCallPanel ? MBvN : kind == kKindConsole ? MPoN : MKmN;
}

QPlainTextEdit* TFrRedact::tailMemo(int kind) const {
    return kind == kKindCallPanel ? MBv0 : kind == kKindConsole ? MPo0 : MKm0;
}

void TFrRedact::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    Path = dbFolder;
    if (keyParts_) keyParts_->SetDatabaseFolder(Path);
    PrepareFrame();
}

void TFrRedact::PrepareFrame() {
    // The grids are emptied, so the file they showed goes with them: a save
    // after this would write the file without what it held.
    closeFile();
    const ConfigScreenSettings settings = LoadConfigScreenSettings();
    TabCPK1->SetMaxDevice(settings.maxDevice);
    TabCPK1->Clear();
    TabCBV1->SetSepDevice(settings.sepDevice);
    TabCBV1->Clear();
    TabCBV2->Clear();
    TabCPO1->SetSepDevice(settings.sepDevice);
    TabCPO1->Clear();
    showFirstPage();
    const ConfigCurrentObject object = CurrentConfigObject();
    if (object.idNet) EIdent->setText(QString::number(object.idNom));
    if (keyParts_) keyParts_->PrepareFrame(object.idNet);
}

void TFrRedact::FillEntranceLists() {
    if (keyParts_) keyParts_->FillEntranceLists();
}

void TFrRedact::RBClick() {
    ODtxt->Reset();
}

void TFrRedact::showFirstPage() {
    for (int page = 0; page < PageFile->count(); ++page)
        if (PageFile->isTabVisible(page)) {
            PageFile->setCurrentIndex(page);
            return;
        }
}

// No file open: nothing of one shown, nothing to save, no panel found for its keys.
void TFrRedact::closeFile() {
    file_ = EditorFile();
    disarm();
    clearServiceTab();
    jDev->setValue(-1);
    L_Izmen->clear();
    if (keyParts_) keyParts_->ForgetFoundPanel();
}

// What the service tab shows of a file goes with it, so that the tab never
// shows one file's header and sections beside another file, or beside none.
void TFrRedact::clearServiceTab() {
    for (QPlainTextEdit* memo : Sys->findChildren<QPlainTextEdit*>()) memo->clear();
    for (QSpinBox* value : {V_id_net, V_id_bv, V_type_bv, V_n_net, V_id_nom}) value->setValue(-1);
    for (QCheckBox* check : {Ch_id_net, Ch_id_nom, Ch_id_bv, Ch_type_bv, Ch_n_net})
        check->setChecked(false);
}

void TFrRedact::disarm() {
    armed_ = false;
    setKindTabsVisible(kKindUnknown);
    LFile1->setText(QString());
    TabCPK1->BitSaveKm->setEnabled(false);
    TabCBV1->BitSaveBv->setEnabled(false);
    TabCPO1->BitSavePo->setEnabled(false);
}

void TFrRedact::showKindTab(int kind) {
    setKindTabsVisible(kind);
    PageFile->setCurrentIndex(tabIndex(kind));
    TabCPK1->BitSaveKm->setEnabled(kind == kKindSwitch);
    TabCBV1->BitSaveBv->setEnabled(kind == kKindCallPanel);
    TabCPO1->BitSavePo->setEnabled(kind == kKindConsole);
    armed_ = true;
}

void TFrRedact::ButBitClick() {
    const QString fileName = ODtxt->Choose(Path, true);
    if (!fileName.isEmpty()) OpenConfigFile(fileName);
}

void TFrRedact::OpenConfigFile(const QString& fileName) {
    WaitCursor wait;
    EditorFile loaded = LoadEditorFile(fileName, LoadConfigScreenSettings());
    AppendLines(Memo4, loaded.memo4);
    // The previous file is closed; one that did not parse leaves none open,
    // so a save cannot overwrite the previous file with what this one left.
    PrepareFrame();
    MemoTitle->setPlainText(loaded.title.join(QLatin1Char('\n')));
    jDev->setValue(loaded.jDev);
    L_Izmen->setText(loaded.trailerText);
    AppendLines(Memo4, loaded.warnings);
    if (!loaded.Parsed()) return;
    file_ = std::move(loaded);
    showFile();
}

void TFrRedact::showFile() {
    const int kind = file_.kind;
    showKindTab(kind);
    LFile1->setText(file_.fileName);
    titleCopy(kind)->setPlainText(MemoTitle->toPlainText());
    QStringList hidden{file_.identHex};
    hidden << file_.keptHex;
    keptMemo(kind)->setPlainText(hidden.join(QLatin1Char('\n')));
    if (kind == kKindSwitch) {
        TabCPK1->Show(file_.pk, file_.ident);
        MKm0->setPlainText(file_.pk.params.MKm0);
    } else if (kind == kKindCallPanel) {
        showPanel();
    } else if (kind == kKindConsole) {
        TabCPO1->Show(file_.po, file_.ident);
        MPo0->setPlainText(file_.po.params.extra);
    }
}

void TFrRedact::showPanel() {
    const BvEditorValues& v = file_.bv;
    TabCBV1->Show(v, file_.ident);
    TabCBV2->Show(v.keys5, v.keys6, v.keys7);
    if (keyParts_) keyParts_->ShowServedEntrances(v.entrances.servedEntrances);
    MBv0->setPlainText(v.params.MBv0);
    Mpd->setPlainText(v.entrances.mpd);
    Mpp->setPlainText(v.entrances.mpp);
    // What the key parts look the panel up by.
    const ConfigIdent id = file_.ident.value_or(ConfigIdent());
    const std::pair<QSpinBox*, qint64> values[] = {{V_id_net, id.idNet},
                                                   {V_id_bv, id.recordId},
                                                   {V_type_bv, id.type},
                                                   {V_n_net, id.nNet},
                                                   {V_id_nom, id.idNom}};
    for (const auto& [spin, value] : values)
        spin->setValue(int(qBound(qint64(-1), value, qint64(spin->maximum()))));
}

bool TFrRedact::collectFile(int kind) {
    if (!armed_ || file_.kind != kind) return false;
    file_.title = linesOf(titleCopy(kind));
    const QStringList hidden = linesOf(keptMemo(kind));
    file_.identHex = hidden.value(0);
    file_.keptHex = hidden.mid(1);
    file_.jDev = jDev->value();
    const QString tail = linesOf(tailMemo(kind)).value(0);
    if (kind == kKindSwitch) {
        TabCPK1->Read(file_.pk);
        file_.pk.params.MKm0 = tail;
    } else if (kind == kKindCallPanel) {
        TabCBV1->Read(file_.bv);
        TabCBV2->Read(file_.bv.keys5, file_.bv.keys6, file_.bv.keys7);
        file_.bv.params.MBv0 = tail;
    } else if (kind == kKindConsole) {
        TabCPO1->Read(file_.po);
        file_.po.params.extra = tail;
    }
    return true;
}

void TFrRedact::saveKind(int kind) {
    if (!armed_ || file_.kind != kind) return;
    if (Dialogs::Message(QStringLiteral("Запрос на сохранение"),
                         QStringLiteral("Сохранить файл конфигурации?"), DlgButtons::YesNo,
                         DlgIcon::Question) != DlgAnswer::Yes)
        return;
    collectFile(kind);
    EditorSaveResult r;
    {
        WaitCursor wait;
        r = SaveEditorFile(file_, CurrentConfigObject().idNom, LoadConfigScreenSettings(),
                           ProgressGauge());
    }
    AppendLines(Memo4, r.memo4);
    AppendLines(Memo2, r.memo2);
    if (r.fault) focusFault(*r.fault);
}

void TFrRedact::focusFault(const EditorCellFault& fault) {
    if (fault.record >= 0) {
        PageFile->setCurrentIndex(tabIndex(file_.kind));
        if (file_.kind == kKindConsole)
            TabCPO1->FocusRecord(fault.entrance, fault.column, fault.row);
        else
            TabCBV1->FocusRecord(fault.entrance, fault.column, fault.row);
        return;
    }
    for (int page : {tabIndex(file_.kind), int(kKeysTab)}) {
        QWidget* tab = PageFile->widget(page);
        QWidget* control = tab->findChild<QWidget*>(fault.control);
        if (!control) continue;
        PageFile->setCurrentIndex(page);
        if (auto* grid = qobject_cast<EditorGrid*>(control))
            grid->FocusCell(fault.column, fault.row);
        else
            control->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void TFrRedact::BitSaveKmClick() {
    saveKind(kKindSwitch);
}

void TFrRedact::BitSaveBvClick() {
    saveKind(kKindCallPanel);
}

void TFrRedact::BitSavePoClick() {
    saveKind(kKindConsole);
}

void TFrRedact::StaticText2Click() {
    PageFile->setTabVisible(kSysTab, !PageFile->isTabVisible(kSysTab));
}

void TFrRedact::ButDebugClick() {
    StaticText2Click();
}
