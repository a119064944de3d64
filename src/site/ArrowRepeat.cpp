#include "site/ArrowRepeat.h"

ArrowRepeat::ArrowRepeat(std::function<bool(int)> step, std::function<void()> shown,
                         QObject* parent)
    : QObject(parent), step_(std::move(step)), shown_(std::move(shown)) {
    connect(&timer_, &QTimer::timeout, this, &ArrowRepeat::Tick);
}

void ArrowRepeat::Press(int direction) {
    direction_ = direction < 0 ? -1 : 1;
    ticked_ = false;
    timer_.start(kFirstInterval);
}

// A press that never stepped leaves the row shown as it is: the click that
// follows saves what the operator typed into it.
void ArrowRepeat::Release() {
    direction_ = 0;
    timer_.stop();
    timer_.setInterval(kFirstInterval);
    if (ticked_ && shown_) shown_();
    ticked_ = false;
}

void ArrowRepeat::Tick() {
    if (direction_ == 0 || !timer_.isActive()) return;
    ticked_ = true;
    if (!step_(direction_)) {
        stop();
        return;
    }
    if (timer_.interval() > kShortest) timer_.setInterval(timer_.interval() - kShrink);
}

void ArrowRepeat::stop() {
    timer_.stop();
    timer_.setInterval(kFirstInterval);
    if (shown_) shown_();
}
