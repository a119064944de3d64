#pragma once
// The operating system's reason for a failed file or device operation, told
// to the operator in Russian and as a sentence of its own ("Нет прав
// доступа."), never as the system's English words run into the sentence
// before them.

#include <QString>

// The reason for an errno value.
QString SystemReason(int err);
// The reason for a system text as the C library or Qt word it ("Permission
// denied"); a text it does not know stays as it is, made a sentence.
QString SystemReason(const QString& systemText);
// The sentence, closed with a full stop when it has no end mark, then the
// reason: "Не удалось записать файл X. Нет прав доступа."
QString WithReason(const QString& sentence, const QString& reason);
