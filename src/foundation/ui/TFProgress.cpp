#include "foundation/ui/TFProgress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TFProgress* FProgress = nullptr;

TFProgress::TFProgress(QWidget* owner)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner) {
    setObjectName(QStringLiteral("FProgress"));
    // It never takes the focus, so dialogs keep their proper parent.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(404, 17);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    GProgr = new QProgressBar(this);
    GProgr->setObjectName(QStringLiteral("GProgr"));
    GProgr->setToolTip(QStringLiteral("Ждите..."));
    GProgr->setTextVisible(false);
    layout->addWidget(GProgr);
    QCoreApplication::instance()->installEventFilter(this);
}

void TFProgress::Begin(int max) {
    running_ = true;
    GProgr->setValue(0);
    GProgr->setMinimum(0);
    GProgr->setMaximum(max < 0 ? 0 : max);
    if (steppedAsideFor_) return;
    show();
    raise();
    repaint();
}

void TFProgress::StepIt() {
    if (GProgr->value() < GProgr->maximum()) GProgr->setValue(GProgr->value() + 1);
    GProgr->repaint();
}

void TFProgress::End() {
    running_ = false;
    hide();
}

void TFProgress::showEvent(QShowEvent* event) {
    QRect area;
    if (owner_ && owner_->isVisible())
        area = owner_->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) move(area.center() - rect().center());
    QWidget::showEvent(event);
}

void TFProgress::Report(int value, int maximum, bool visible) {
    if (!visible) {
        End();
        return;
    }
    if (!running_) Begin(maximum);
    GProgr->setMaximum(maximum < 0 ? 0 : maximum);
    GProgr->setValue(qBound(0, value, GProgr->maximum()));
    GProgr->repaint();
}

bool TFProgress::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || window == this || !window->isWindow() || !window->isModal()) return false;
    if (type == QEvent::Show && isVisible()) {
        steppedAsideFor_ = window;
        hide();
    } else if (type == QEvent::Hide && window == steppedAsideFor_) {
        steppedAsideFor_ = nullptr;
        if (running_) show();
    }
    return false;
}

std::function<void(int, int, bool)> ProgressGauge() {
    return [](int value, int maximum, bool visible) {
        if (FProgress) FProgress->Report(value, maximum, visible);
    };
}
