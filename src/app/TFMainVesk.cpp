#include "app/TFMainVesk.h"

#include "app/AppForms.h"
#include "app/MainWindowParts.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/ui/ScreenFrames.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/EnterPressesButton.h"
#include "platform/ui/MenuBarKeys.h"
#include "platform/ui/TabOrder.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

using namespace MainWindowParts;
using namespace MainWindowTexts;

TFMainVesk* FMainVesk = nullptr;

TFMainVesk::TFMainVesk(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FMainVesk"));
    for (const char* key : {"fm", "fp", "fb"}) gridToggles_[QString::fromLatin1(key)] = kBoldOff;
    buildMenu();
    MenuBarKeys::Apply(this);
    AppForms::RegisterScreenFrames();
    buildPanels();
    qApp->installEventFilter(new EnterPressesButton(this));
    qApp->installEventFilter(new TabOrder::Keeper(this));
    FormCreate();
}

TFMainVesk::~TFMainVesk() {
    if (FMainVesk == this) FMainVesk = nullptr;
    if (MainHost() == this) SetMainHost(nullptr);
}

TScreenFrame* TFMainVesk::makeFrame(int screen) {
    TScreenFrame* frame = ScreenFrames::Make(screen);
    frames_.append(frame);
    return frame;
}

void TFMainVesk::buildPanels() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);

    auto makeButton = [central](const QString& name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    ButEnd = makeButton(QStringLiteral("ButEnd"), QStringLiteral("В меню"),
                        QStringLiteral("Перейти в меню программы"));
    BitBack = makeButton(QStringLiteral("BitBack"), QStringLiteral("◄ Назад"),
                         QStringLiteral("Предыдущий экран"));
    BitForward = makeButton(QStringLiteral("BitForward"), QStringLiteral("Вперед ►"),
                            QStringLiteral("Следующий экран"));
    ButHelp = makeButton(QStringLiteral("ButHelp"), QStringLiteral("Помощь"),
                         QStringLiteral("Справка по текущему экрану"));
    BitScreen = makeButton(QStringLiteral("BitScreen"), QStringLiteral("↔"),
                           QStringLiteral("Ширина окна по экрану"));
    BitBtn1 = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("БД"),
                         QStringLiteral("Строка подключения к БД"));
    ButExit = makeButton(QStringLiteral("ButExit"), QStringLiteral("Выход есть!"),
                         QStringLiteral("Выход из программы"));
    BitBack->setEnabled(false);
    BitForward->setEnabled(false);
    BitScreen->setFixedWidth(40);
    BitBtn1->setFixedWidth(40);
    Path = new QLineEdit(central);
    Path->setObjectName(QStringLiteral("Path"));
    Path->setReadOnly(true);
    // Shown and copied with the mouse; typing meant for a screen never lands here.
    Path->setFocusPolicy(Qt::NoFocus);
    Path->setStatusTip(QStringLiteral("Папка базы данных"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(ButEnd);
    tools->addWidget(BitBack);
    tools->addWidget(BitForward);
    tools->addWidget(ButHelp);
    tools->addWidget(BitScreen);
    tools->addSpacing(12);
    tools->addWidget(new QLabel(QStringLiteral("БД:"), central));
    tools->addWidget(Path, 1);
    tools->addWidget(BitBtn1);
    tools->addWidget(ButExit);
    layout->addLayout(tools);

    PanelTop = new QLabel(central);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setAlignment(Qt::AlignCenter);
    PanelTop->setFrameShape(QFrame::Panel);
    PanelTop->setFrameShadow(QFrame::Raised);
    PanelTop->setMinimumHeight(26);
    QFont titleFont = PanelTop->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 2);
    PanelTop->setFont(titleFont);
    PanelTop->setStyleSheet(
        QStringLiteral("QLabel#PanelTop { background: #dfe7f2; color: #102a5c; }"));
    PanelTop->installEventFilter(this);
    layout->addWidget(PanelTop);

    Memo2 = new QPlainTextEdit(central);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setMaximumHeight(70);
    Memo2->hide();
    layout->addWidget(Memo2);

    FrMatr1 = makeFrame(1);
    FrDom1 = makeFrame(2);
    FrPod1 = makeFrame(3);
    FrPk1 = makeFrame(4);
    FrBv1 = makeFrame(5);
    FrKvr1 = makeFrame(6);
    FrPo1 = makeFrame(7);
    FrKeys1 = makeFrame(9);
    // The real keys frame keeps the keys screen's settings and marks.
    if (auto* keys = dynamic_cast<KeysScreenService*>(FrKeys1)) SetKeysScreen(keys);
    FrWrite1 = makeFrame(10);
    FrRead1 = makeFrame(11);
    FrNetDev1 = makeFrame(12);
    FrRedact1 = makeFrame(13);
    FrPiople1 = makeFrame(14);
    auto* host = new QWidget(central);
    host->setObjectName(QStringLiteral("ScreenHost"));
    auto* hostLayout = new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    for (TScreenFrame* frame : frames_) {
        frame->setParent(host);
        hostLayout->addWidget(frame);
    }
    P1_LSt = new ElidedLabel(FrMatr1);
    P1_LSt->setObjectName(QStringLiteral("P1_LSt"));
    P1_LSt->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont stateFont = P1_LSt->font();
    stateFont.setBold(true);
    P1_LSt->setFont(stateFont);
    BitSelect = new QPushButton(QStringLiteral("Выбрать папку с БД"), FrMatr1);
    BitSelect->setObjectName(QStringLiteral("BitSelect"));
    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(P1_LSt, 1);
    stateRow->addWidget(BitSelect);
    static_cast<QVBoxLayout*>(FrMatr1->layout())->insertLayout(0, stateRow);
    layout->addWidget(host, 1);

    BitBack2 = makeButton(QStringLiteral("BitBack2"), QStringLiteral("◄ Назад"),
                          QStringLiteral("Предыдущий экран"));
    BitForward2 = makeButton(QStringLiteral("BitForward2"), QStringLiteral("Вперед ►"),
                             QStringLiteral("Следующий экран"));
    BitBack2->setEnabled(false);
    BitForward2->setEnabled(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BitBack2);
    bottom->addStretch();
    bottom->addWidget(BitForward2);
    layout->addLayout(bottom);

    setCentralWidget(central);
    SBarMain = statusBar();
    SBarMain->setObjectName(QStringLiteral("SBarMain"));

    connect(ButEnd, &QPushButton::clicked, this, &TFMainVesk::ButEndClick);
    connect(BitBack, &QPushButton::clicked, this, &TFMainVesk::BitBackClick);
    connect(BitBack2, &QPushButton::clicked, this, &TFMainVesk::BitBackClick);
    connect(BitForward, &QPushButton::clicked, this, &TFMainVesk::BitForwardClick);
    connect(BitForward2, &QPushButton::clicked, this, &TFMainVesk::BitForwardClick);
    connect(BitScreen, &QPushButton::clicked, this, &TFMainVesk::BitScreenClick);
    connect(BitSelect, &QPushButton::clicked, this, &TFMainVesk::BitSelectClick);
    wireMenu();
    wireWindowMenu();
    wireFrameButtons();
    connect(ButHelp, &QPushButton::clicked, this, &TFMainVesk::MHelp0Click);
    connect(ButExit, &QPushButton::clicked, this, &TFMainVesk::ExitExecute);
    connect(BitBtn1, &QPushButton::clicked, this, &TFMainVesk::BitBtn1Click);
}

void TFMainVesk::PanelTopDblClick() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TFMainVesk::ApplicationEvents1Hint(const QString& hint) {
    SBarMain->showMessage(hint);
}

void TFMainVesk::BitBtn1Click() {
    Memo2->setVisible(Memo2->isHidden());
}

bool TFMainVesk::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ApplicationEvents1Hint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TFMainVesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelTop && event->type() == QEvent::MouseButtonDblClick) {
        PanelTopDblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
