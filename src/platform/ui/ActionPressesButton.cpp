#include "platform/ui/ActionPressesButton.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QPushButton>

namespace {

// Follows the button's enabled state, whoever changes it (the button itself
// or a parent).
class EnabledFollower : public QObject {
  public:
    EnabledFollower(QAction* action, QPushButton* button)
        : QObject(action), action_(action), button_(button) {
        button->installEventFilter(this);
        action->setEnabled(button->isEnabled());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_ && event->type() == QEvent::EnabledChange)
            action_->setEnabled(button_->isEnabled());
        return false;
    }

  private:
    QAction* action_;
    QPointer<QPushButton> button_;
};

}  // namespace

void ActionPressesButton(QAction* action, QPushButton* button) {
    if (!action || !button) return;
    new EnabledFollower(action, button);
    QObject::connect(action, &QAction::triggered, button, &QPushButton::click);
}
