#include "devices/ui/SlideTextField.h"

#include "foundation/BitAndStr.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"

#include <QLineEdit>
#include <QValidator>

namespace {

// How often each character the file cannot carry stands in text.
QList<std::pair<char32_t, int>> uncarriedCounts(const QString& text) {
    QList<std::pair<char32_t, int>> counts;
    const QList<char32_t> chars = Cp1251UncarriedChars(text);
    for (char32_t c : chars) {
        int n = 0;
        for (char32_t u : text.toUcs4()) n += u == c ? 1 : 0;
        counts << std::pair{c, n};
    }
    return counts;
}

class SlideTextValidator : public QValidator {
  public:
    SlideTextValidator(QLineEdit* field, int width)
        : QValidator(field), field_(field), width_(width) {
        connect(field, &QLineEdit::textChanged, this,
                [this](const QString& text) { shown_ = text; });
    }

    State validate(QString& input, int& pos) const override {
        // An operator's edit is in the field's undo history; a text set from
        // code is not, and is shown as it is.
        if (field_->isModified()) {
            const QList<char32_t> added = addedUncarried(input);
            if (!added.isEmpty()) {
                refuse(added);
                return Invalid;
            }
        }
        input = FitChars(input, width_, &pos);
        return Acceptable;
    }

  private:
    // The characters the file cannot carry that input holds more often than
    // the text shown before the edit: those the edit brings.
    QList<char32_t> addedUncarried(const QString& input) const {
        QList<char32_t> added;
        const auto before = uncarriedCounts(shown_);
        for (const auto& [c, n] : uncarriedCounts(input)) {
            int was = 0;
            for (const auto& [b, m] : before)
                if (b == c) was = m;
            if (n > was) added << c;
        }
        return added;
    }

    // The message comes once the edit is over, not in the middle of it.
    void refuse(const QList<char32_t>& chars) const {
        const bool pending = !refused_.isEmpty();
        for (char32_t c : chars)
            if (!refused_.contains(c)) refused_ << c;
        if (pending) return;
        QMetaObject::invokeMethod(
            const_cast<SlideTextValidator*>(this),
            [this] {
                const QList<char32_t> chars = std::exchange(refused_, {});
                Dialogs::Message(QStringLiteral("Ошибка"), SlideCharsRefusedText(chars),
                                 DlgButtons::Ok, DlgIcon::Warning);
            },
            Qt::QueuedConnection);
    }

    QLineEdit* field_;
    int width_;
    QString shown_;
    mutable QList<char32_t> refused_;
};

}  // namespace

void MakeSlideTextField(QLineEdit* field, int width) {
    // Units would cut before the characters do: the validator alone counts.
    field->setMaxLength(32767);
    field->setValidator(new SlideTextValidator(field, width));
}

QString SlideCharsRefusedText(const QList<char32_t>& chars) {
    if (chars.size() == 1)
        return QStringLiteral("Символ ") + CharNameForMessage(chars.first()) +
               QStringLiteral(" нельзя записать в файл пульта.");
    return QStringLiteral("Символы ") + CharNamesForMessage(chars) +
           QStringLiteral(" нельзя записать в файл пульта.");
}
