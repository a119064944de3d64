#pragma once
// The progress window: borderless, on top, centred on its owner, one gauge
// `GProgr` that long loops step. Each step repaints at once, because the loops
// run on the user-interface thread without returning to the event loop.
// While a modal dialog is open it steps aside: centred and on top, it would
// cover the dialog's buttons.

#include <QPointer>
#include <QWidget>
#include <functional>

class QProgressBar;

class TFProgress : public QWidget {
    Q_OBJECT
  public:
    explicit TFProgress(QWidget* owner = nullptr);

    QProgressBar* GProgr = nullptr;

    // Progress 0, minimum 0, maximum max, and shown.
    void Begin(int max);
    void StepIt();
    void End();
    // One report of a core loop's gauge: shown with value of maximum, or hidden.
    void Report(int value, int maximum, bool visible);

    void SetOwner(QWidget* owner) { owner_ = owner; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* owner_ = nullptr;
    bool running_ = false;               // between Begin and End
    QPointer<QWidget> steppedAsideFor_;  // the modal dialog it hides for
};

extern TFProgress* FProgress;

// The gauge callback core loops take: it drives FProgress when it exists.
std::function<void(int value, int maximum, bool visible)> ProgressGauge();
