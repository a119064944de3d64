#include "config/ui/EditorSwitchTab.h"

#include "config/EditorValueChecks.h"

#include "config/ui/EditorGrid.h"
#include "config/ui/EditorWidgets.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Labels of the section-0 spin edits, in the order of PkParamSpins().
const char* const kParamLabels[] = {
    "Тайм-аут переключения трубки, мс (TCM)",
    "Тайм-аут переключения квартиры, с (TCL)",
    "Тайм-аут вызова квартиры, с (TDL)",
    "Тайм-аут переключения видеокамеры, с (TVC)",
    "Наибольший номер трубки (MXL)",
    "Приращение номера первой квартиры (FC)",
    "Тайм-аут повторного захвата шины, мс (ST)",
    "Порог АЦП 1 (AE1)",
    "Порог АЦП 2 (AE2)",
    "Порог АЦП 3 (AE3)",
    "Порог АЦП 4 (AE4)",
    "Тайм-аут разговора, с (TDX)",
    "Тайм-аут повтора обратного вызова, с (MTO)",
    "Тайм-аут актуальности отзвонки, с (BTO)",
    "Пауза перед первым захватом шины, x0,03 с (WAIT)",
};

bool isThreshold(const PkParamSpin& spin) {
    return QByteArray(spin.name).startsWith("ACP");
}

QStringList numbers(int from, int to) {
    QStringList items;
    for (int i = from; i <= to; ++i) items << QString::number(i);
    return items;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    return new QGroupBox(title, parent);
}

}  // namespace

EditorSwitchTab::EditorSwitchTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabCPK1"));
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildParams());
    left->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addWidget(buildTracts());
    middle->addWidget(buildBlocking());
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(buildMelodies());
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right, 1);

    auto* bottom = new QHBoxLayout;
    L_pk_net = Named(new QLabel(this), "L_pk_net");
    BitSaveKm = Named(new QPushButton(QStringLiteral("Сохранить КМ"), this), "BitSaveKm");
    bottom->addWidget(new QLabel(QStringLiteral("Сетевой номер КМ:"), this));
    bottom->addWidget(L_pk_net);
    bottom->addStretch();
    bottom->addWidget(BitSaveKm);

    auto* page = new QVBoxLayout(ScrollingPage(this, bottom));
    page->addLayout(columns);
    page->addWidget(buildMasks());
    Clear();
}

QWidget* EditorSwitchTab::buildParams() {
    auto* box = group(QStringLiteral("Основные параметры"), this);
    auto* form = new QFormLayout(box);
    PanelAcp = Named(group(QStringLiteral("Пороги АЦП"), box), "PanelAcp");
    auto* thresholds = new QFormLayout(PanelAcp);
    const QList<PkParamSpin>& spins = PkParamSpins();
    for (int i = 0; i < spins.size(); ++i) {
        const int max = (1 << spins[i].width) - 1;
        ParamSpins << AddSpin(isThreshold(spins[i]) ? thresholds : form, spins[i].name,
                              QString::fromUtf8(kParamLabels[i]), 0, max);
    }
    form->addRow(PanelAcp);
    LPass = Named(new QLabel(QStringLiteral("Код доступа"), box), "LPass");
    PassEdit = Named(new QLineEdit(box), "PassEdit");
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setMaxLength(20);
    form->addRow(LPass, PassEdit);
    connect(PassEdit, &QLineEdit::textChanged, this, &EditorSwitchTab::PassEditKeyUp);
    ApplyAccessLock(PanelAcp, LPass, false);

    auto* cameras = group(QStringLiteral("Камеры"), box);
    auto* camerasLayout = new QVBoxLayout(cameras);
    ChMskPo = new CheckList("ChMskPo", numbers(1, 16), 8, cameras);
    ChMskBv = new CheckList("ChMskBv", numbers(1, 16), 8, cameras);
    camerasLayout->addWidget(new QLabel(QStringLiteral("В панораме поста охраны (MVC0)"), cameras));
    camerasLayout->addWidget(ChMskPo);
    camerasLayout->addWidget(new QLabel(QStringLiteral("От блоков вызова (MVC1)"), cameras));
    camerasLayout->addWidget(ChMskBv);
    form->addRow(cameras);
    return box;
}

QWidget* EditorSwitchTab::buildTracts() {
    auto* box = group(QStringLiteral("Блоки вызова по трактам"), this);
    TractDev = new EditorGrid("TractDev", 9, 16, 1, 1, box);
    TractDev->SetInput(EditorGrid::Input::Number);
    TractDev->FitHeight(16);
    TractDev->installEventFilter(this);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(TractDev);
    return box;
}

QWidget* EditorSwitchTab::buildBlocking() {
    auto* box = group(QStringLiteral("Блокирование трубок"), this);
    auto* form = new QFormLayout(box);
    PTTO =
        AddSpin(form, "PTTO", QStringLiteral("Тайм-аут обнаружения обратного вызова, с"), 0, 255);
    Edge = AddSpin(form, "Edge", QStringLiteral("Граница буфера блокировок"), 0, 15);
    ReservPk = AddSpin(form, "ReservPk", QStringLiteral("Резерв"), 0, 15);
    EDT = AddSpin(form, "EDT", QStringLiteral("Блокировка снятой трубки, мин"), 0, 255);
    DET = AddSpin(form, "DET", QStringLiteral("Разблокировка трубки, мин"), 0, 255);
    return box;
}

QWidget* EditorSwitchTab::buildMelodies() {
    auto* box = group(QStringLiteral("Мелодии"), this);
    auto* layout = new QGridLayout(box);
    MelVv = new EditorGrid("MelVv", 3, 1, 1, 1, box);
    MelOt = new EditorGrid("MelOt", 3, 1, 1, 1, box);
    DiapTrub = new EditorGrid("DiapTrub", 5, 1, 1, 1, box);
    for (EditorGrid* g : {MelVv, MelOt}) g->SetInput(EditorGrid::Input::Number);
    DiapTrub->SetInput(EditorGrid::Input::ReadOnly);
    layout->addWidget(new QLabel(QStringLiteral("Мелодия вызова"), box), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Мелодия отзвонки"), box), 0, 1);
    layout->addWidget(MelVv, 1, 0);
    layout->addWidget(MelOt, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Диапазоны трубок"), box), 2, 0, 1, 2);
    layout->addWidget(DiapTrub, 3, 0, 1, 2);
    return box;
}

QWidget* EditorSwitchTab::buildMasks() {
    auto* box = group(QStringLiteral("Маски трубок"), this);
    auto* layout = new QGridLayout(box);
    MObr = new EditorGrid("MObr", 1, 2, 1, 1, box);
    MVideo = new EditorGrid("MVideo", 1, 2, 1, 1, box);
    MBlock = new EditorGrid("MBlock", 1, 2, 1, 1, box);
    for (EditorGrid* g : {MObr, MVideo, MBlock}) {
        g->SetInput(EditorGrid::Input::LastChar);
        g->FitHeight(2);
    }
    auto* off = Named(new QAction(QStringLiteral("Выключить обратный вызов всем"), MObr), "OffObr");
    auto* on = Named(new QAction(QStringLiteral("Включить обратный вызов всем"), MObr), "InObr");
    MObr->setContextMenuPolicy(Qt::ActionsContextMenu);
    MObr->addActions({off, on});
    connect(off, &QAction::triggered, this, &EditorSwitchTab::OffObrClick);
    connect(on, &QAction::triggered, this, &EditorSwitchTab::InObrClick);

    ChVideo = Named(new QCheckBox(QStringLiteral("Да"), box), "ChVideo");
    E_Video = Named(new QSpinBox(box), "E_Video");
    E_Video->setRange(1, 15);
    connect(ChVideo, &QCheckBox::toggled, this, &EditorSwitchTab::ChVideoClick);
    auto* video = new QHBoxLayout;
    video->addWidget(new QLabel(QStringLiteral("Отключение видео должникам:"), box));
    video->addWidget(ChVideo);
    video->addWidget(new QLabel(QStringLiteral("Видеотракт"), box));
    video->addWidget(E_Video);
    video->addStretch();

    layout->addWidget(new QLabel(QStringLiteral("Обратный вызов"), box), 0, 0);
    layout->addWidget(MObr, 0, 1);
    layout->addLayout(video, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Видеопросмотр"), box), 2, 0);
    layout->addWidget(MVideo, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Блокировка"), box), 3, 0);
    layout->addWidget(MBlock, 3, 1);
    layout->setColumnStretch(1, 1);
    return box;
}

void EditorSwitchTab::Clear() {
    TractDev->ClearData();
    TractDev->SetCell(0, 0, QStringLiteral("т\\у"));
    TractDev->NumberColumns();
    TractDev->NumberRows();
    TractDev->FitColumns(28);
    for (EditorGrid* g : {MObr, MVideo, MBlock}) {
        g->SetColCount(1);
        g->SetCell(0, 0, QStringLiteral("кв"));
    }
    MObr->SetCell(0, 1, QStringLiteral("обр"));
    MVideo->SetCell(0, 1, QStringLiteral("вид"));
    MBlock->SetCell(0, 1, QStringLiteral("блк"));
    for (EditorGrid* g : {MelVv, MelOt}) {
        g->SetRowCount(1);
        g->SetRowTitles({QStringLiteral("№"), QStringLiteral("долгота"), QStringLiteral(" нота")});
        g->FitColumns(56);
        // Three digits are the most a note's number takes: the note column
        // keeps its room beside the scroll bar of a long melody.
        g->setColumnWidth(0, 36);
    }
    DiapTrub->SetRowCount(1);
    DiapTrub->SetRowTitles({QStringLiteral("№"), QStringLiteral("клемма"),
                            QStringLiteral("№ Торвин"), QStringLiteral("кол.кв."),
                            QStringLiteral("способ з")});
    DiapTrub->FitColumns();
    DiapTrub->setEnabled(false);
    L_pk_net->clear();
}

void EditorSwitchTab::setRow(EditorGrid* grid, const QString& value) {
    grid->SetColCount(int(value.size()) + 1);
    grid->NumberColumns();
    for (int i = 0; i < value.size(); ++i)
        grid->SetCell(i + 1, 1, value.at(i) == QLatin1Char(' ') ? QString() : QString(value.at(i)));
    grid->FitColumns(22);
}

void EditorSwitchTab::showMask(EditorGrid* grid, const QString& mask) {
    setRow(grid, mask);
}

QString EditorSwitchTab::readMask(const EditorGrid* grid) const {
    QString mask;
    for (int c = 1; c < grid->ColCount(); ++c)
        mask += grid->Cell(c, 1) == QLatin1String("1") ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

void EditorSwitchTab::showMelody(EditorGrid* grid, const QList<MelodyCells>& notes) {
    grid->SetRowCount(int(notes.size()) + 1);
    grid->NumberRows();
    for (int i = 0; i < notes.size(); ++i) {
        grid->SetCell(1, i + 1, notes[i].leng);
        grid->SetCell(2, i + 1, notes[i].gerc);
    }
}

QList<MelodyCells> EditorSwitchTab::readMelody(const EditorGrid* grid) const {
    QList<MelodyCells> notes;
    for (int r = 1; r < grid->RowCount(); ++r)
        notes << MelodyCells{grid->Cell(1, r), grid->Cell(2, r)};
    return notes;
}

void EditorSwitchTab::showRanges(const PkHandsetRanges& ranges) {
    DiapTrub->setEnabled(ranges.enabled);
    DiapTrub->SetRowCount(int(ranges.rows.size()) + 1);
    DiapTrub->NumberRows();
    auto shown = [](qint64 v) { return v < 0 ? QString() : QString::number(v); };
    for (int i = 0; i < ranges.rows.size(); ++i) {
        const PkHandsetRange& r = ranges.rows[i];
        DiapTrub->SetCell(1, i + 1, shown(r.terminal));
        DiapTrub->SetCell(2, i + 1, shown(r.switchNo));
        DiapTrub->SetCell(3, i + 1, shown(r.count));
        DiapTrub->SetCell(4, i + 1,
                          r.mode < 0    ? QString()
                          : r.mode == 0 ? QStringLiteral("лин")
                                        : QStringLiteral("цикл"));
    }
}

void EditorSwitchTab::Show(const PkEditorValues& v, const std::optional<ConfigIdent>& ident) {
    const QList<PkParamSpin>& spins = PkParamSpins();
    for (int i = 0; i < spins.size(); ++i) ParamSpins[i]->setValue(int(v.params.*spins[i].value));
    SetChecks(ChMskPo, v.params.ChMskPo);
    SetChecks(ChMskBv, v.params.ChMskBv);
    for (int t = 0; t < kPkTractCount; ++t)
        for (int c = 0; c < kPkTractGridColumns; ++c)
            TractDev->SetCell(c + 1, t + 1, v.tracts.cells[t][c]);
    showMask(MObr, v.callback);
    showMask(MVideo, v.video);
    showMask(MBlock, v.blocking.mask);
    ChVideo->setChecked(v.videoOn);
    ChVideoClick();
    E_Video->setValue(int(v.videoInput));
    showMelody(MelVv, v.callMelody);
    showMelody(MelOt, v.ringBackMelody);
    showRanges(v.ranges);
    PTTO->setValue(int(qMax<qint64>(v.blocking.pto, 0)));
    Edge->setValue(int(qMax<qint64>(v.blocking.edge, 0)));
    ReservPk->setValue(int(qMax<qint64>(v.blocking.reserve, 0)));
    EDT->setValue(int(qMax<qint64>(v.blocking.edt, 0)));
    DET->setValue(int(qMax<qint64>(v.blocking.det, 0)));
    if (ident && ident->nNet >= 0) L_pk_net->setText(IntToStrZ(ident->nNet, 2));
}

void EditorSwitchTab::Read(PkEditorValues& v) const {
    const QList<PkParamSpin>& spins = PkParamSpins();
    for (int i = 0; i < spins.size(); ++i) v.params.*spins[i].value = ParamSpins[i]->value();
    v.params.ChMskPo = Checks(ChMskPo);
    v.params.ChMskBv = Checks(ChMskBv);
    for (int t = 0; t < kPkTractCount; ++t)
        for (int c = 0; c < kPkTractGridColumns; ++c)
            v.tracts.cells[t][c] = TractDev->Cell(c + 1, t + 1);
    v.callback = readMask(MObr);
    v.video = readMask(MVideo);
    v.videoOn = ChVideo->isChecked();
    v.videoInput = E_Video->value();
    v.callMelody = readMelody(MelVv);
    v.ringBackMelody = readMelody(MelOt);
    v.blocking.pto = PTTO->value();
    v.blocking.edge = Edge->value();
    v.blocking.reserve = ReservPk->value();
    v.blocking.edt = EDT->value();
    v.blocking.det = DET->value();
    v.blocking.mask = readMask(MBlock);
}

bool EditorSwitchTab::TractDevExit(int maxDevice) {
    PkEditorValues values;
    Read(values);
    const auto cells = TractCellsAtOrAbove(values.tracts, maxDevice);
    for (const auto& [column, row] : cells) {
        TractDev->FocusCell(column, row);
        Dialogs::Message(QStringLiteral("Ошибка"),
                         QStringLiteral("Уменьшите значение сетевого адреса!"), DlgButtons::Ok,
                         DlgIcon::Error);
    }
    return cells.isEmpty();
}

bool EditorSwitchTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TractDev && event->type() == QEvent::FocusOut) {
        // Its own cell editor takes the focus while a cell is typed into.
        const QWidget* now = QApplication::focusWidget();
        if (now && now != TractDev && !TractDev->isAncestorOf(now)) TractDevExit(maxDevice_);
    }
    return QWidget::eventFilter(watched, event);
}

void EditorSwitchTab::PassEditKeyUp() {
    ApplyAccessLock(PanelAcp, LPass, EditorUnlocks(PassEdit->text()));
}

void EditorSwitchTab::OffObrClick() {
    for (int c = 1; c < MObr->ColCount(); ++c) MObr->SetCell(c, 1, QStringLiteral("0"));
}

void EditorSwitchTab::InObrClick() {
    for (int c = 1; c < MObr->ColCount(); ++c) MObr->SetCell(c, 1, QStringLiteral("1"));
}

void EditorSwitchTab::ChVideoClick() {
    MVideo->setEnabled(ChVideo->isChecked());
}
