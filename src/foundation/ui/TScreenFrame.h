#pragma once
// A work screen hosted by the main window. Until a screen is built for real
// it is this frame with its name, title and the back/next buttons the main
// window wires; the real frame fills PrepareScreen with its own preparation.

#include <QFrame>

class QLabel;
class QPushButton;

class TScreenFrame : public QFrame {
    Q_OBJECT
  public:
    TScreenFrame(const QString& name, const QString& title, QWidget* parent = nullptr);

    QPushButton* BitPrev = nullptr;
    QPushButton* BitNext = nullptr;

    // The frame's own preparation when its screen opens; dbFolder is the
    // database folder (Path), for the frames that need it.
    virtual void PrepareScreen(const QString& dbFolder);
    // How often PrepareScreen ran (tests look at it).
    int Preparations() const { return preparations_; }

  protected:
    QLabel* body_ = nullptr;

  private:
    int preparations_ = 0;
};
