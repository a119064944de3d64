#include "support/ScreenSnapshot.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace {

QString Checked(const QAbstractButton* b) {
    return b->isCheckable() ? (b->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]"))
                            : QString();
}

QString Enabled(const QWidget* w) {
    return w->isEnabled() ? QString() : QStringLiteral(" (disabled)");
}

// The rows of a list or grid: its size, the column titles, then each row's
// cells. The view's own scroll bars and headers are not looked into.
void SnapItems(const QAbstractItemView* view, const QString& path, QStringList& lines) {
    const QAbstractItemModel* model = view->model();
    if (!model) {
        lines << path + QStringLiteral(" no model");
        return;
    }
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    lines << path + QStringLiteral(" rows %1 columns %2").arg(rows).arg(columns);
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    if (columns > 1)
        lines << path + QStringLiteral(" titles: ") + titles.join(QStringLiteral(" | "));
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << model->index(r, c).data(Qt::DisplayRole).toString();
        lines << path + QStringLiteral(" row %1: ").arg(r + 1) + cells.join(QStringLiteral(" | "));
    }
}

QString TabTitles(const QTabWidget* tabs) {
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i))
            titles << tabs->tabText(i) +
                          (tabs->isTabEnabled(i) ? QString() : QStringLiteral("(-)"));
    return titles.join(QStringLiteral(" | "));
}

// One line for a widget that shows a value of its own; false for a widget
// that only holds others.
bool SnapValue(QWidget* w, const QString& path, QStringList& lines) {
    if (qobject_cast<QHeaderView*>(w)) return true;
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        SnapItems(view, path, lines);
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        lines << path + QStringLiteral(" = ") + combo->currentText() + Enabled(w) +
                     QStringLiteral(" of: ") + items.join(QStringLiteral(" | "));
        return true;
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        lines << path + QStringLiteral(" = ") + spin->text() + Enabled(w);
        return true;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        lines << path + QStringLiteral(" = ") + edit->text() + Enabled(w);
        return true;
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        lines << path + QStringLiteral(" = ") + memo->toPlainText();
        return true;
    }
    if (auto* memo = qobject_cast<QTextEdit*>(w)) {
        lines << path + QStringLiteral(" = ") + memo->toPlainText();
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        lines << path + QStringLiteral(" button ") + button->text() + Checked(button) + Enabled(w);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (!label->text().isEmpty()) lines << path + QStringLiteral(": ") + label->text();
        return true;
    }
    if (qobject_cast<QTabBar*>(w)) return true;  // its titles come with the tab widget
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        lines << path + QStringLiteral(" group ") + group->title() +
                     (group->isCheckable()
                          ? (group->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]"))
                          : QString()) +
                     Enabled(w);
        return false;
    }
    return false;
}

void SnapTree(QWidget* w, const QWidget* root, const QString& parentPath, QStringList& lines);

void ProcessEvents() {
    // Twice: rows a grid reads on one turn may show another that reads on the next.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Every page the operator can bring up, each as it shows when brought up;
// the page that was on top is put back.
void SnapPages(QTabWidget* tabs, const QWidget* root, const QString& path, QStringList& lines) {
    lines << path + QStringLiteral(" tabs ") + TabTitles(tabs);
    const int onTop = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i) || !tabs->isTabEnabled(i)) continue;
        tabs->setCurrentIndex(i);
        ProcessEvents();
        SnapTree(tabs->widget(i), root,
                 path + QStringLiteral("/[") + tabs->tabText(i) + QLatin1Char(']'), lines);
    }
    tabs->setCurrentIndex(onTop);
    ProcessEvents();
}

void SnapTree(QWidget* w, const QWidget* root, const QString& parentPath, QStringList& lines) {
    if (w != root && !w->isVisibleTo(root)) return;
    const QString path =
        w->objectName().isEmpty() ? parentPath : parentPath + QLatin1Char('/') + w->objectName();
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        SnapPages(tabs, root, path, lines);
        return;
    }
    if (SnapValue(w, path, lines)) return;
    for (QObject* child : w->children())
        if (auto* cw = qobject_cast<QWidget*>(child); cw && !cw->isWindow())
            SnapTree(cw, root, path, lines);
}

}  // namespace

QStringList ScreenSnapshot(QWidget& root) {
    ProcessEvents();
    QStringList lines;
    if (root.isWindow()) lines << QStringLiteral("window ") + root.windowTitle();
    SnapTree(&root, &root, QString(), lines);
    return lines;
}

QStringList SnapshotDifference(const QStringList& a, const QStringList& b) {
    QHash<QString, int> inB;
    for (const QString& line : b) ++inB[line];
    QHash<QString, int> inA;
    for (const QString& line : a) ++inA[line];
    QStringList diff;
    for (const QString& line : a)
        if (inB.value(line) > 0)
            --inB[line];
        else
            diff << QStringLiteral("- ") + line;
    for (const QString& line : b)
        if (inA.value(line) > 0)
            --inA[line];
        else
            diff << QStringLiteral("+ ") + line;
    return diff;
}
