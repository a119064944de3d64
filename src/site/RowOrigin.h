#pragma once
// Where an apartment row came from, k_kvr.st_kvr: the generation keeps or
// renumbers a row by it.

#include <QString>

namespace RowOrigin {
inline const QString kGenerated = QStringLiteral("нет");   // made by the generation
inline const QString kManual = QStringLiteral("ввод");     // added by hand
inline const QString kCodeByHand = QStringLiteral("код");  // call code set by hand
inline const QString kConsole = QStringLiteral("СПО");     // the entrance's console handset
// n_kvr of a console handset.
inline const QString kConsoleNumber = QStringLiteral("пост охраны");
}  // namespace RowOrigin
