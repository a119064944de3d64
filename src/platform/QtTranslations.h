#pragma once
// Qt's own texts and formats in Russian, as every other text of the program
// is, whatever language the machine is set to: the Russian default locale
// (numbers, dates, the descriptions of file types), the qtbase catalogue of
// Qt's translations (Debian qt6-translations-l10n) for the buttons and labels
// of the file and folder dialogs, and the few words that catalogue lacks.

#include <QLocale>
#include <QTranslator>
#include <memory>

// Installed while the object lives; the previous default locale comes back
// when it goes.
class RussianQtTexts {
  public:
    RussianQtTexts();
    ~RussianQtTexts();
    RussianQtTexts(const RussianQtTexts&) = delete;
    RussianQtTexts& operator=(const RussianQtTexts&) = delete;

    // False when Qt's catalogue is not installed (its texts then stay English).
    bool CatalogueFound() const { return catalogue_ != nullptr; }

  private:
    QLocale previousLocale_;
    std::unique_ptr<QTranslator> catalogue_;
    std::unique_ptr<QTranslator> missingWords_;
};
