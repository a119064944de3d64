#pragma once
// A file's size as the operator reads it in Russian: "428 байт", "2 байта",
// "2,93 КБ", "1 023,99 МБ". Qt's own formatting takes the units from the
// locale's data, which has Russian words for bytes but only the English
// "KiB", "MiB" for the larger units.

#include <QString>

QString DataSizeText(qint64 bytes);
