#pragma once
// What the frames and forms of the subsystems ask of the main window that
// hosts them. The main window lives above every subsystem, so they reach it
// only through this interface; a frame shown on its own (in a test, or before
// the window exists) has no host and skips these calls.

#include <QString>

class QTableView;
class QWidget;

class MainWindowHost {
  public:
    virtual ~MainWindowHost() = default;

    // The database folder in use (the window's Path), trailing '/'.
    virtual QString DatabaseFolder() const = 0;
    // "Обновить таблицы": reopens every dataset of the database in use.
    virtual void MReOpenClick() = 0;

    // The matrix frame registers its grid; FormResize sizes its columns.
    virtual void SetMatrixGrid(QTableView* grid) = 0;
    virtual void FormResize() = 0;
    // Font toggle captions "ж"/"н" of the matrix, switch and call-panel grids,
    // kept in the settings file at exit.
    virtual QString GridToggle(const QString& key) const = 0;
    virtual void SetGridToggle(const QString& key, const QString& caption) = 0;

    // The object screen's state line and folder choice, which the window
    // places on the object screen's frame.
    virtual void ShowMatrixState() = 0;
    virtual void ClearMatrixState() = 0;
    virtual void SetFolderChoiceEnabled(bool enabled) = 0;
    // The object screen is entering a new object.
    virtual void SetNewObjectEntry(bool on) = 0;
};

// The main window that holds widget, if the widget's window is the main window.
MainWindowHost* HostOf(const QWidget* widget);
// The program's main window while it exists, else nullptr.
MainWindowHost* MainHost();
// The main window announces itself when made and withdraws when destroyed.
void SetMainHost(MainWindowHost* host);
