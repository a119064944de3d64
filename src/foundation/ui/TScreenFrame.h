#pragma once
// A work screen hosted by the main window: its name, the back/next buttons the
// main window wires, and PrepareScreen, run when the screen opens. A screen not
// built for real is this frame with its title; a real frame derives from it,
// fills ContentLayout and PrepareScreen (calling the base), and is registered
// through ScreenFrames.

#include <QFrame>

class QLabel;
class QPushButton;
class QVBoxLayout;

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
    // Puts the focus on the first control once the screen shows, so that
    // what the engineer types at once lands in the screen.
    void FocusFirstControl();

  protected:
    // The control typed into first: by default the first in Tab order that
    // takes the focus (the back and next buttons only when nothing else
    // does); a screen laid out for typing names its first field.
    virtual QWidget* FirstControl();

    // Where a real frame puts its controls: above the back/next buttons, in
    // place of the title label.
    QVBoxLayout* ContentLayout();

    QLabel* body_ = nullptr;

  private:
    QVBoxLayout* content_ = nullptr;
    int preparations_ = 0;
};
