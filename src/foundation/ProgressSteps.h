#pragma once
// The gauge of a bulk operation: shown at once, stepped as rows are done,
// hidden on every way out.

#include "foundation/TFDM.h"  // ProgressFn

#include <QtGlobal>

#include <functional>

class ProgressSteps {
  public:
    ProgressSteps(const ProgressFn& progress, int maximum)
        : progress_(progress), maximum_(maximum) {
        report(true);
    }
    ~ProgressSteps() {
        if (progress_) progress_(maximum_, maximum_, false);
    }
    ProgressSteps(const ProgressSteps&) = delete;
    ProgressSteps& operator=(const ProgressSteps&) = delete;

    void Step() { MoveTo(value_ + 1); }
    void MoveTo(int value) {
        value_ = value;
        report(true);
    }
    std::function<void()> Stepper() {
        return [this] { Step(); };
    }

  private:
    void report(bool visible) {
        if (progress_) progress_(qMin(value_, maximum_), maximum_, visible);
    }
    ProgressFn progress_;
    int maximum_;
    int value_ = 0;
};
