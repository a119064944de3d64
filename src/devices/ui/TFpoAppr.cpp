#include "devices/ui/TFpoAppr.h"

#include "devices/DeviceChange.h"
#include "devices/HardwareAccess.h"
#include "devices/ui/FormControls.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/ui/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

TFpoAppr* FpoAppr = nullptr;

namespace {

constexpr int kFoldedHeight = 41;
constexpr int kUnfoldedHeight = 209;
constexpr int kGlyphColumns = 13;
const QString kFold = QStringLiteral("Свернуть");
const QString kUnfold = QStringLiteral("Развернуть знаки");
const QString kSeparatorLabel = QStringLiteral("к");

const QString kConsoleHardwareCaption = QStringLiteral("Аппаратные настройки ППО");

// The picture of a console character: the character itself where it is a
// printable one, else its code in a box.
QIcon GlyphPicture(int code) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QFont font = p.font();
    if (code >= 33 && code <= 126) {
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.drawText(pixmap.rect(), Qt::AlignCenter, QString(QChar(code)));
    } else {
        font.setPixelSize(10);
        p.setFont(font);
        p.drawRect(pixmap.rect().adjusted(1, 1, -2, -2));
        p.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(code));
    }
    return QIcon(pixmap);
}

}  // namespace

TFpoAppr::TFpoAppr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpoAppr"));
    setWindowTitle(kConsoleHardwareCaption);
    LabelPass =
        MakeLabel(this, "LabelPass", QStringLiteral("Введите пароль для изменения таймаутов"));
    PassEdit = new QLineEdit(this);
    PassEdit->setObjectName(QStringLiteral("PassEdit"));
    PassEdit->setEchoMode(QLineEdit::Password);
    connect(PassEdit, &QLineEdit::textChanged, this, &TFpoAppr::PassEditKeyUp);

    BitSavePo = MakeButton(this, "BitSavePo", QStringLiteral("Сохранить для ППО"));
    LabelSaved = MakeLabel(this, "LabelSaved", QStringLiteral("Сохранено."));
    LabelSaved->hide();
    ButHelp = MakeButton(this, "ButHelp", QStringLiteral("Помощь"));
    ButExit = MakeButton(this, "ButExit", QStringLiteral("Закрыть"));
    connect(BitSavePo, &QPushButton::clicked, this, &TFpoAppr::BitSavePoClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFpoAppr::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFpoAppr::ButExitClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitSavePo);
    buttons->addWidget(LabelSaved);
    buttons->addStretch();
    buttons->addWidget(ButHelp);
    buttons->addWidget(ButExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelPass);
    layout->addWidget(PassEdit);
    layout->addWidget(buildProtected());
    layout->addWidget(buildCommands());
    layout->addWidget(buildGlyphs());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QSpinBox* s : findChildren<QSpinBox*>())
        connect(s, &QSpinBox::valueChanged, this, &TFpoAppr::EditChange);
    connect(E_Raz, &QLineEdit::textChanged, this, &TFpoAppr::EditChange);
    connect(ReservPO, &QCheckBox::toggled, this, &TFpoAppr::EditChange);
    PassEditKeyUp();
    CloseWhenGroundMoves(this, &held_);
}

QWidget* TFpoAppr::buildProtected() {
    PanelProtected = new QWidget(this);
    PanelProtected->setObjectName(QStringLiteral("PanelProtected"));
    Buzy = MakeSpin(PanelProtected, "Buzy", 0, kMaxLinkTimeout, 31);
    Blato = MakeSpin(PanelProtected, "Blato", 0, kMaxLinkTimeout, 152);
    Npce = MakeSpin(PanelProtected, "Npce", 0, kMaxLinkTimeout, 915);
    Adccl = MakeSpin(PanelProtected, "Adccl", 1, 255, 25);
    Adccm = MakeSpin(PanelProtected, "Adccm", 1, 255, 110);
    Adcch = MakeSpin(PanelProtected, "Adcch", 1, 255, 200);
    Adchl = MakeSpin(PanelProtected, "Adchl", 0, 255, 32);
    Adchm = MakeSpin(PanelProtected, "Adchm", 0, 255, 64);
    Adchh = MakeSpin(PanelProtected, "Adchh", 0, 255, 150);
    LabelTimeouts =
        MakeLabel(PanelProtected, "LabelTimeouts", QStringLiteral("Таймауты (0,03 сек)"));
    auto* timeouts = new QFormLayout;
    timeouts->addRow(LabelTimeouts);
    timeouts->addRow(QStringLiteral("прохождения пакета"), Buzy);
    timeouts->addRow(QStringLiteral("акцептации"), Blato);
    timeouts->addRow(QStringLiteral("оповещения о наличии"), Npce);
    auto* levels = new QFormLayout;
    levels->addRow(QStringLiteral("Нижний порог для БВ"), Adccl);
    levels->addRow(QStringLiteral("Средний порог для БВ"), Adccm);
    levels->addRow(QStringLiteral("Верхний порог для БВ"), Adcch);
    levels->addRow(QStringLiteral("Нижний порог для трубки"), Adchl);
    levels->addRow(QStringLiteral("Средний порог для трубки"), Adchm);
    levels->addRow(QStringLiteral("Верхний порог для трубки"), Adchh);
    auto* layout = new QHBoxLayout(PanelProtected);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(timeouts);
    layout->addSpacing(16);
    layout->addLayout(levels);
    return PanelProtected;
}

QWidget* TFpoAppr::buildCommands() {
    auto* pane = new QGroupBox(QStringLiteral("Таймауты (сек)"), this);
    Cbto = MakeSpin(pane, "Cbto", 1, 255, 120);
    Exec = MakeSpin(pane, "Exec", 1, 255, 10);
    E_Raz = new QLineEdit(QString::number(kDefaultSeparatorCode), pane);
    E_Raz->setObjectName(QStringLiteral("E_Raz"));
    E_Raz->setReadOnly(true);
    E_Raz->setMaximumWidth(60);
    ReservPO = MakeCheck(pane, "ReservPO", QStringLiteral("резервный бит"));
    auto* form = new QFormLayout(pane);
    form->addRow(QStringLiteral("КМ"), Cbto);
    form->addRow(QStringLiteral("подготовки к исполнению"), Exec);
    form->addRow(QStringLiteral("Код шаблонного знака"), E_Raz);
    form->addRow(QString(), ReservPO);
    return pane;
}

QWidget* TFpoAppr::buildGlyphs() {
    auto* pane = new QWidget(this);
    BitKod = MakeButton(pane, "BitKod", kUnfold);
    connect(BitKod, &QPushButton::clicked, this, &TFpoAppr::BitKodClick);
    // The panel shows as much of the glyphs as its height lets it: folded,
    // the first row only.
    PanelGlyphs = new QWidget(pane);
    PanelGlyphs->setObjectName(QStringLiteral("PanelGlyphs"));
    auto* glyphs = new QWidget(PanelGlyphs);
    auto* grid = new QGridLayout(glyphs);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    const QList<int>& codes = SeparatorGlyphCodes();
    for (int i = 0; i + 1 < codes.size(); ++i) {
        auto* image = new QToolButton(glyphs);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 2));
        image->setIcon(GlyphPicture(codes[i]));
        image->setIconSize(QSize(24, 24));
        image->setCheckable(true);
        image->setAutoRaise(true);
        image->setToolTip(QString::number(codes[i]));
        connect(image, &QToolButton::clicked, this, [this, i] { GlyphClick(i); });
        grid->addWidget(image, i / kGlyphColumns, i % kGlyphColumns);
        Images << image;
    }
    Label25 = MakeLabel(glyphs, "Label25", kSeparatorLabel);
    Label25->setAlignment(Qt::AlignCenter);
    Label25->setAutoFillBackground(true);
    Label25->setMinimumSize(30, 30);
    Label25->installEventFilter(this);
    const int last = int(codes.size()) - 1;
    grid->addWidget(Label25, last / kGlyphColumns, last % kGlyphColumns);
    glyphs->resize(glyphs->sizeHint());
    PanelGlyphs->setMinimumWidth(glyphs->width());
    PanelGlyphs->setFixedHeight(kFoldedHeight);
    markGlyph(-1);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BitKod, 0, Qt::AlignLeft);
    layout->addWidget(PanelGlyphs);
    return pane;
}

// ---------------------------------------------------------------- showing

void TFpoAppr::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

// The console of the object current as it shows, held from then on.
void TFpoAppr::FormActivate() {
    held_ = HeldRows::OfConsole(FDM ? FDM->Ground().CurrentObject() : 0);
    setWindowTitle(held_.Titled(kConsoleHardwareCaption, held_.Object()));
    const qint64 idNet = held_.Id(QStringLiteral("k_net"));
    ConsoleHardware hw;
    bool found = false;
    QString error;
    if (idNet == 0 || !ReadConsoleHardware(FDM->ConnectionDB(), idNet, &hw, &found, &error)) {
        if (!error.isEmpty()) ReportFailure(error);
        return;
    }
    showValues(hw);
    LabelSaved->hide();
}

void TFpoAppr::showValues(const ConsoleHardware& hw) {
    Buzy->setValue(hw.busy);
    Blato->setValue(hw.blato);
    Npce->setValue(hw.npce);
    Adccl->setValue(hw.adccl);
    Adccm->setValue(hw.adccm);
    Adcch->setValue(hw.adcch);
    Adchl->setValue(hw.adchl);
    Adchm->setValue(hw.adchm);
    Adchh->setValue(hw.adchh);
    Cbto->setValue(hw.cbto);
    Exec->setValue(hw.exec);
    ReservPO->setChecked(hw.lrez);
    E_Raz->setText(QString::number(hw.frmc));
    markGlyph(GlyphOfCode(hw.frmc));
}

ConsoleHardware TFpoAppr::Values() const {
    ConsoleHardware hw;
    hw.busy = Buzy->value();
    hw.blato = Blato->value();
    hw.npce = Npce->value();
    hw.adccl = Adccl->value();
    hw.adccm = Adccm->value();
    hw.adcch = Adcch->value();
    hw.adchl = Adchl->value();
    hw.adchm = Adchm->value();
    hw.adchh = Adchh->value();
    hw.cbto = Cbto->value();
    hw.exec = Exec->value();
    hw.frmc = SeparatorCode(E_Raz->text());
    hw.lrez = ReservPO->isChecked();
    return hw;
}

// ---------------------------------------------------------------- saving

bool TFpoAppr::WriteHardwareFields() {
    const qint64 idNet = held_.Id(QStringLiteral("k_net"));
    if (idNet == 0) return false;
    const ConsoleHardwareWrite w = WriteHeld<ConsoleHardwareWrite>(
        held_, [&] { return ::WriteHardwareFields(FDM->ConnectionDB(), idNet, Values()); });
    if (!w.ok && !w.error.isEmpty()) ReportFailure(w.error);
    FDM->Q_PO->Reopen();
    return w.written;
}

void TFpoAppr::BitSavePoClick() {
    bool written = false;
    if (HardwareUnlocked(PassEdit->text())) {
        written = WriteHardwareFields();
    } else if (const qint64 idNet = held_.Id(QStringLiteral("k_net")); idNet != 0) {
        const ConsoleHardwareWrite w = WriteHeld<ConsoleHardwareWrite>(
            held_, [&] { return SaveUnprotectedHardware(FDM->ConnectionDB(), idNet, Values()); });
        if (!w.ok && !w.error.isEmpty()) ReportFailure(w.error);
        if (w.written) FDM->Q_PO->Reopen();
        written = w.written;
    }
    LabelSaved->setVisible(written);
}

void TFpoAppr::PassEditKeyUp() {
    const bool unlocked = HardwareUnlocked(PassEdit->text());
    PanelProtected->setEnabled(unlocked);
    DrawGrey(LabelTimeouts, !unlocked);
    DrawGrey(LabelPass, unlocked);
}

void TFpoAppr::EditChange() {
    LabelSaved->hide();
}

// ---------------------------------------------------------------- the glyphs

void TFpoAppr::BitKodClick() {
    const bool fold = BitKod->text() == kFold;
    PanelGlyphs->setFixedHeight(fold ? kFoldedHeight : kUnfoldedHeight);
    BitKod->setText(fold ? kUnfold : kFold);
    // The dialog takes its new height at once, not at the next event.
    PanelGlyphs->parentWidget()->layout()->invalidate();
    PanelGlyphs->parentWidget()->updateGeometry();
    layout()->invalidate();
    layout()->activate();
    // Unfolded, the dialog grows down; its buttons stay on the screen.
    KeepOnScreen(this);
}

void TFpoAppr::GlyphClick(int glyph) {
    E_Raz->setText(QString::number(SeparatorGlyphCodes().value(glyph, kDefaultSeparatorCode)));
    markGlyph(glyph);
}

void TFpoAppr::markGlyph(int glyph) {
    for (int i = 0; i < Images.size(); ++i) Images[i]->setChecked(i == glyph);
    QPalette p = Label25->palette();
    const bool label = glyph == int(SeparatorGlyphCodes().size()) - 1;
    p.setColor(QPalette::Window, palette().color(label ? QPalette::Base : QPalette::Button));
    Label25->setPalette(p);
}

void TFpoAppr::ButExitClick() {
    close();
}

void TFpoAppr::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFpoAppr::changeEvent(QEvent* event) {
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
    // The dialog is a glance beside the console screen: it goes when the
    // operator turns elsewhere.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() &&
        QApplication::activeWindow())
        close();
}

bool TFpoAppr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label25 && event->type() == QEvent::MouseButtonRelease) {
        GlyphClick(int(SeparatorGlyphCodes().size()) - 1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
