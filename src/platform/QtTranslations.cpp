#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// The words Qt asks for under a context its Russian catalogue does not hold:
// the kinds of entry in the file dialogs' type column ("Folder").
class MissingQtWords : public QTranslator {
  public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 || !sourceText) return QString();
        static const struct {
            const char* english;
            const char16_t* russian;
        } kWords[] = {
            {"Folder", u"Папка"},   {"File Folder", u"Папка с файлами"},
            {"Drive", u"Диск"},     {"Shortcut", u"Ярлык"},
            {"Alias", u"Псевдоним"}, {"Unknown", u"Неизвестный"},
        };
        for (const auto& word : kWords)
            if (qstrcmp(sourceText, word.english) == 0) return QString::fromUtf16(word.russian);
        return QString();
    }
    bool isEmpty() const override { return false; }
};

std::unique_ptr<QTranslator> installedTranslator(std::unique_ptr<QTranslator> translator) {
    if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
    return translator;
}

}  // namespace

RussianQtTexts::RussianQtTexts() : previousLocale_(QLocale()) {
    QLocale::setDefault(kRussian);
    auto catalogue = std::make_unique<QTranslator>();
    if (catalogue->load(kRussian, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        catalogue_ = installedTranslator(std::move(catalogue));
    // Installed last, so it is asked first; it answers only for its own words.
    missingWords_ = installedTranslator(std::make_unique<MissingQtWords>());
}

RussianQtTexts::~RussianQtTexts() {
    for (const auto& t : {missingWords_.get(), catalogue_.get()})
        if (t) QCoreApplication::removeTranslator(t);
    QLocale::setDefault(previousLocale_);
}
