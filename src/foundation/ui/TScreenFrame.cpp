#include "foundation/ui/TScreenFrame.h"

#include "platform/ui/TabOrder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TScreenFrame::TScreenFrame(const QString& name, const QString& title, QWidget* parent)
    : QFrame(parent) {
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    body_ = new QLabel(title, this);
    body_->setAlignment(Qt::AlignCenter);
    BitPrev = new QPushButton(QStringLiteral("<< Назад"), this);
    BitPrev->setObjectName(QStringLiteral("BitPrev"));
    BitNext = new QPushButton(QStringLiteral("Далее >>"), this);
    BitNext->setObjectName(QStringLiteral("BitNext"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitPrev);
    buttons->addStretch();
    buttons->addWidget(BitNext);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(body_, 1);
    layout->addLayout(buttons);
    hide();
}

void TScreenFrame::PrepareScreen(const QString&) {
    ++preparations_;
}

QVBoxLayout* TScreenFrame::ContentLayout() {
    if (!content_) {
        auto* outer = static_cast<QVBoxLayout*>(layout());
        const int at = outer->indexOf(body_);
        outer->removeWidget(body_);
        body_->hide();
        content_ = new QVBoxLayout;
        content_->setContentsMargins(0, 0, 0, 0);
        outer->insertLayout(at, content_, 1);
    }
    return content_;
}

namespace {

bool takesTabFocus(const QWidget* w, const QWidget* frame) {
    return w->isEnabled() && w->isVisibleTo(frame) && (w->focusPolicy() & Qt::TabFocus);
}

}  // namespace

QWidget* TScreenFrame::FirstControl() {
    QWidget* navigation = nullptr;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!isAncestorOf(w) || !takesTabFocus(w, this)) continue;
        if (w != BitPrev && w != BitNext) return w;
        if (!navigation) navigation = w;
    }
    return navigation;
}

void TScreenFrame::FocusFirstControl() {
    // Controls made or unlocked since the screen last showed take their place.
    TabOrder::FollowLayouts(this);
    QWidget* first = FirstControl();
    // A named field that is locked now (an empty list) gives way to the first control.
    if (!first || !first->isEnabled()) first = TScreenFrame::FirstControl();
    if (first) first->setFocus(Qt::TabFocusReason);
}
