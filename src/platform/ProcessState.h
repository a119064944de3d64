#pragma once
// Whether a process still runs, for removing what a killed one left behind.

#include <QtGlobal>

// True only when no process with this number runs on this machine. A process
// of another user still counts as running, and so does any number the system
// cannot answer for: a leftover is kept rather than taken from a live owner.
bool ProcessGone(qint64 pid);
