#include "support/ScreenShots.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QWidget>

#include <gtest/gtest.h>

void OnEveryOtherPage(QWidget* window, const std::function<void(QTabWidget*, int page)>& look) {
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (!tabs->isVisible()) continue;
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown || !tabs->isTabVisible(i) || !tabs->isTabEnabled(i)) continue;
            tabs->setCurrentIndex(i);
            look(tabs, i);
        }
        tabs->setCurrentIndex(shown);
    }
}

QString SaveScreen(QWidget& widget, const QString& name) {
    QCoreApplication::processEvents();
    const QString dir = QStringLiteral(ARM_BIN_DIR "/../screens");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().toImage().save(path) ? path : QString();
}

void ExpectNoClippedText(QWidget* widget) {
    QCoreApplication::processEvents();
    for (QLabel* l : widget->findChildren<QLabel*>()) {
        if (l->isVisible() && !l->text().isEmpty()) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
        }
    }
    for (QAbstractButton* b : widget->findChildren<QAbstractButton*>()) {
        if (b->isVisible()) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
    }
}

void ExpectFitsTheScreen(const QWidget* window, const QString& what) {
    QCoreApplication::processEvents();
    const QSize least = window->minimumSize().expandedTo(window->minimumSizeHint());
    EXPECT_LE(least.width(), kWindowRoom.width()) << what.toStdString();
    EXPECT_LE(least.height(), kWindowRoom.height()) << what.toStdString();
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << what.toStdString() << ": the window stands at " << window->frameGeometry().x()
            << "," << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height() << " on a screen of " << area.width() << "x"
            << area.height();
    }
}

namespace {

bool DesignNamed(const QWidget* w) {
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// The widget that must be in view for w to be reached: w itself, or the
// outermost scroll area it scrolls in.
const QWidget* InView(const QWidget* w, const QWidget* window) {
    const QWidget* anchor = w;
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(p);
            area && area->viewport()->isAncestorOf(w))
            anchor = area;
    return anchor;
}

// The part of the window w is not cut off from by its parents.
QRect Uncut(const QWidget* w, const QWidget* window) {
    QRect shown = window->rect();
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        shown &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return shown;
}

}  // namespace

int ExpectNamedControlsVisible(const QWidget* window, const QString& what) {
    QCoreApplication::processEvents();
    int looked = 0;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !DesignNamed(w) || w->window() != window) continue;
        const QWidget* anchor = InView(w, window);
        const QRect at(anchor->mapTo(window, QPoint(0, 0)), anchor->size());
        if (at.isEmpty()) continue;
        ++looked;
        const QRect room = Uncut(anchor, window);
        EXPECT_TRUE(room.contains(at))
            << what.toStdString() << ": " << w->objectName().toStdString()
            << (anchor != w ? " (in " + anchor->objectName().toStdString() + ")" : std::string())
            << " at " << at.x() << "," << at.y() << " " << at.width() << "x" << at.height()
            << ", the room there " << room.x() << "," << room.y() << " " << room.width() << "x"
            << room.height();
    }
    return looked;
}
