#pragma once
// The repeated call code dialog `FRedVV` ("Исправление кода вызова"): the
// apartment generation shows it modally for each call code it finds more than
// once in a house. The operator types a new code for the other apartment
// ("Сохранить"), ignores this repeat, or ignores every further repeat of the
// run; the caller tells which by the result mark. The code is stored by
// CallCodes::SaveCorrectedCode.

#include <QDialog>

#include "platform/ui/ElidedLabel.h"
#include "site/ApartmentGenerator.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFRedVV : public QDialog {
    Q_OBJECT
  public:
    explicit TFRedVV(QWidget* parent = nullptr);

    QLabel* LHead = nullptr;
    ElidedLabel* DBTextHouse = nullptr;
    ElidedLabel* DBTextKvr = nullptr;
    ElidedLabel* DBTextKod = nullptr;
    ElidedLabel* DBTextOther = nullptr;
    QLineEdit* EQRab = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* BitIgnore = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* N1 = nullptr;

    // The result mark of the last showing: 0 "Сохранить", 1 "Игнорировать",
    // 2 "Игнорировать ВСЕ".
    int Mark() const { return mark_; }
    void SetMark(int mark) { mark_ = mark; }

    // Shows the repeat and waits for the operator; returns the mark.
    CorrectionMark Correct(const CallCodeRepeat& repeat);
    // Shows the repeat without waiting (Correct and the tests use it).
    void ShowRepeat(const CallCodeRepeat& repeat);

    void OKBtnClick();
    void BitIgnoreClick();
    void BitBtn1Click();
    void N1Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static constexpr int kHelpTopic = 104;

    CallCodeRepeat repeat_;
    int mark_ = 0;
};

extern TFRedVV* FRedVV;
