#include "devices/ui/SerialNumberField.h"

#include <QLineEdit>
#include <QValidator>

namespace {

class SerialNumberValidator : public QValidator {
  public:
    SerialNumberValidator(SerialNumber::Kind kind, QObject* parent)
        : QValidator(parent), kind_(kind) {}

    State validate(QString& input, int&) const override {
        input = input.toUpper();
        for (int i = 0; i < input.size(); ++i)
            if (!SerialNumber::TypedCharAllowed(kind_, input.left(i), input[i]) ||
                input[i] == QLatin1Char('\b') || input[i] == QLatin1Char('\r'))
                return Invalid;
        return Acceptable;
    }

  private:
    SerialNumber::Kind kind_;
};

}  // namespace

void MakeSerialNumberField(QLineEdit* field, SerialNumber::Kind kind) {
    field->setMaxLength(SerialNumber::kMaxLength);
    field->setValidator(new SerialNumberValidator(kind, field));
}
