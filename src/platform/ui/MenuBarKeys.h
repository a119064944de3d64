#pragma once
// The menu bar of a main window as a Qt user reaches it from the keyboard:
// Alt pressed and let go alone marks the bar's first menu, whence the arrows
// walk the bar and Enter or Down opens a menu; F10 opens the first menu at
// its first item; Alt and a menu's underlined letter open that menu, and in
// an open menu an item's letter chooses it. The letters are the '&' marks
// of the menus' own texts.

class QMainWindow;

namespace MenuBarKeys {

void Apply(QMainWindow* window);

}  // namespace MenuBarKeys
