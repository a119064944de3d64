#pragma once
// Every form of the program, made once at start-up in a fixed order and kept
// until the end as a global instance: the data module first, the main window
// second, then the dialogs and editors.

#include <QString>
#include <QStringList>

class QWidget;

namespace AppForms {

// Fills the places that forms of lower subsystems keep for parts of higher
// ones: the key parts of the configuration-file editor. Run before any form
// is made; CreateAll runs it.
void ComposeParts();
// Creates the data module, the main window and every form, in order, after
// every subsystem installed its navigation hooks.
void CreateAll();
// Every subsystem registers the real frames of its screens; the main window
// runs it before it builds its frames.
void RegisterScreenFrames();
// Destroys them in reverse order.
void DestroyAll();
// Object names of the forms CreateAll made, in the order it made them.
const QStringList& CreationOrder();

}  // namespace AppForms
