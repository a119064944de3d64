#include "devices/ui/SlideTextField.h"

#include "devices/SecurityPost.h"
#include "foundation/BitAndStr.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"

#include <QHash>
#include <QLineEdit>
#include <QValidator>

namespace {

// How often each character the file cannot carry stands in text; a surrogate
// pair is one character, a lone half one too.
QHash<char32_t, int> uncarriedCounts(QStringView text) {
    QHash<char32_t, int> counts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (!Cp1251CarriesChar(c)) ++counts[c];
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
        const QHash<char32_t, int> before = uncarriedCounts(shown_);
        const QHash<char32_t, int> now = uncarriedCounts(input);
        for (char32_t c : Cp1251UncarriedChars(input))
            if (now.value(c) > before.value(c)) added << c;
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
