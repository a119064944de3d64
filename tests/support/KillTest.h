#pragma once
// A crash in the middle of a long write: the work runs in a child process,
// which is killed outright (SIGKILL) the moment it reports that it is
// half-way, as a power cut or a crash would stop the program. The parent then
// looks at what the interrupted work left behind.
//
//     QString why;
//     ASSERT_TRUE(KillWhenHalfWay([&](const std::function<void()>& halfWay) {
//         QSqlDatabase db = OpenInChild(path);            // a connection of its own
//         LongWrite(db, [&](int value, int maximum, bool) {
//             if (value == maximum / 2) halfWay();        // never returns
//         });
//     }, &why)) << why.toStdString();
//
// The child uses only what it opens itself (never the parent's database
// connection) and ends with _exit, so nothing of the parent is torn down twice.

#include <QSqlDatabase>
#include <QString>

#include <functional>

using HalfWayWork = std::function<void(const std::function<void()>& halfWay)>;

// True when the child reached halfWay() and was killed there; false, with the
// reason, when it could not start, ended on its own or took longer than
// timeoutMs to get there.
bool KillWhenHalfWay(const HalfWayWork& work, QString* why, int timeoutMs = 60000);

// A new connection to the database file, for use inside the child.
QSqlDatabase OpenInChild(const QString& dbPath);
