#include "platform/ui/MenuBarKeys.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

// The desktop's style as it is, but that the menu the keyboard stands on in
// the bar (Alt alone took it there) is drawn marked, as an open one is: some
// styles mark only an open menu, and the operator would not see where he is.
class MenuBarStyle : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && widget && widget->hasFocus() &&
            (item->state & State_Selected)) {
            QStyleOptionMenuItem marked = *item;
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

void openFirstMenu(QMenuBar* bar) {
    const QList<QAction*> menus = bar->actions();
    if (menus.isEmpty() || !menus.first()->menu()) return;
    QMenu* first = menus.first()->menu();
    bar->setActiveAction(menus.first());
    for (QAction* item : first->actions())
        if (!item->isSeparator() && item->isVisible() && item->isEnabled()) {
            first->setActiveAction(item);
            break;
        }
}

}  // namespace

namespace MenuBarKeys {

void Apply(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    auto* style = new MenuBarStyle;
    style->setParent(bar);
    bar->setStyle(style);
    auto* f10 = new QAction(window);
    f10->setObjectName(QStringLiteral("MenuBarF10"));
    f10->setShortcut(QKeySequence(Qt::Key_F10));
    f10->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(f10, &QAction::triggered, bar, [bar] { openFirstMenu(bar); });
    window->addAction(f10);
}

}  // namespace MenuBarKeys
