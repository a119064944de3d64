#pragma once
// What a screen shows of its data, as lines of text, to compare what one road
// into the program shows with what another shows: every visible list and
// grid (its row count, column titles and cell texts), the texts of labels,
// fields and spin boxes, the items of combo boxes, the state of check boxes,
// radio buttons and buttons, the titles of group boxes and tabs, and the
// same of every page of a tab widget, each brought up in turn as the
// operator brings it up (the page on top is put back). Each line starts with
// the design names (objectName) of the widgets it lies in.
//
// Left out, because they are not what the data makes of the screen:
// - the current row and the selection of a list or grid: they follow where
//   the operator or the program stood, and a reopen keeps or resets them by
//   its own rule; the rows themselves are all compared;
// - scroll positions, sizes, fonts and colours;
// - whatever is hidden: a screen shows what the operator sees.
// Texts a screen makes of today's date stay in: the snapshots compared are
// taken moments apart.

#include <QStringList>

class QWidget;

// The lines of what root and the visible widgets in it show. Events are
// processed first: a grid reads the rows it is to show when it shows, some
// on the next turn of the event loop.
QStringList ScreenSnapshot(QWidget& root);

// The lines of a and b that differ, one "- " line per line only in a and one
// "+ " line per line only in b, in order; empty when they show the same.
QStringList SnapshotDifference(const QStringList& a, const QStringList& b);
