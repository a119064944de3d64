#pragma once
// The configuration screens log what they read, build and write into memos,
// a block of lines at a time.

#include <QPlainTextEdit>
#include <QStringList>

// The lines as one block; no lines add nothing, not even an empty line.
inline void AppendLines(QPlainTextEdit* memo, const QStringList& lines) {
    if (!lines.isEmpty()) memo->appendPlainText(lines.join(QLatin1Char('\n')));
}
