#pragma once
// The auto-repeat of the row arrows of the apartment editor and the residents
// screen: a press starts a timer whose first step comes after 200 ms and each
// further one 9 ms sooner while the interval is above 5 ms (200, 191, ... 11,
// 2); the release stops it. A step that meets the start or end of the list
// stops it too. Either way the row reached is shown.

#include <QObject>
#include <QTimer>

#include <functional>

class ArrowRepeat : public QObject {
    Q_OBJECT
  public:
    static constexpr int kFirstInterval = 200;
    static constexpr int kShrink = 9;
    static constexpr int kShortest = 5;

    // step(direction) moves one row (-1 up, +1 down) and returns false at an
    // end of the list; shown() shows the row when the repeat stops.
    ArrowRepeat(std::function<bool(int direction)> step, std::function<void()> shown,
                QObject* parent = nullptr);

    void Press(int direction);
    void Release();
    bool Running() const { return timer_.isActive(); }
    // The direction held (-1 or +1), 0 when none (the buttons' Tag).
    int Held() const { return direction_; }
    int Interval() const { return timer_.interval(); }
    // One tick of the timer, as it fires.
    void Tick();

  private:
    void stop();

    std::function<bool(int)> step_;
    std::function<void()> shown_;
    QTimer timer_;
    int direction_ = 0;
    bool ticked_ = false;  // the timer stepped since the press
};
