#pragma once
// "Распределение клемм КМ": redistributes the terminals of every switch of
// the object current when it shows (held by its key) in one run, by each switch's own rule or by one rule
// chosen here for all (RedistributeObjectTerminals). Shown without blocking
// by the entrance switch parameters; it closes when another window of the
// program takes the focus, and after a run that went through.

#include "foundation/HeldRows.h"
#include "site/TerminalRuleRun.h"

#include <QDialog>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

class TFdpkPort : public QDialog {
    Q_OBJECT
  public:
    explicit TFdpkPort(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QRadioButton* RBTop1 = nullptr;
    QRadioButton* RBTop2 = nullptr;
    QFrame* Panel1 = nullptr;
    QRadioButton* RB_3 = nullptr;
    QRadioButton* RB_0 = nullptr;
    QRadioButton* RB_1 = nullptr;
    QRadioButton* RB_2 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* ButHelp = nullptr;

    const HeldRows& Shown() const { return held_; }
    // The choice the buttons make.
    TerminalRuleChoice Choice() const;

    void OKBtnClick();
    void CancelBtnClick();
    void RBTop1Click();
    void RBTop2Click();
    void ButHelpClick();

  signals:
    // A run went through: the switches' terminals changed.
    void Distributed();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 235;

    void updateRulePanel();
    bool run();

    QButtonGroup* rules_ = nullptr;
    HeldRows held_;
    bool busy_ = false;  // asking or running: losing the focus does not close it
};

extern TFdpkPort* FdpkPort;
