#pragma once
// Small helpers the main window's units share.

#include <QList>
#include <QString>
#include <QWidget>

namespace MainWindowParts {

// Captions of the grids' font toggle: normal and bold.
inline const QString kBoldOff = QStringLiteral("ж");
inline const QString kBoldOn = QStringLiteral("н");

// The window's size when nothing else is known, and after "Размер окна по умолчанию".
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 595;

inline bool shown(const QWidget* w) {
    return w && !w->isHidden();
}

inline void closeVisible(const QList<QWidget*>& forms) {
    for (QWidget* form : forms)
        if (form && form->isVisible()) form->close();
}

}  // namespace MainWindowParts
