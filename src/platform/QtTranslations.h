#pragma once
// Qt's own texts (the buttons and labels of the file and folder dialogs) in
// Russian, as every other text of the program is: the qtbase catalogue of
// Qt's translations (Debian qt6-translations-l10n).

#include <QTranslator>
#include <memory>

// Installs the catalogue and returns its translator, which uninstalls itself
// when destroyed; nullptr when the catalogue is not installed (Qt's texts
// then stay English).
std::unique_ptr<QTranslator> InstallRussianQtTexts();
