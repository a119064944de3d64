#include "foundation/ui/CharLimit.h"

#include "foundation/BitAndStr.h"

#include <QLineEdit>
#include <QValidator>

namespace {

// A validator that only cuts: the edit takes the text it leaves.
class CharLimitValidator : public QValidator {
  public:
    CharLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& pos) const override {
        input = FitChars(input, limit_, &pos);
        return Acceptable;
    }

  private:
    int limit_;
};

}  // namespace

void LimitChars(QLineEdit* edit, int limit) {
    // Units would cut before the characters do: the validator alone counts.
    edit->setMaxLength(32767);
    edit->setValidator(new CharLimitValidator(limit, edit));
}
