#pragma once
// The name panel of the two melody forms: the name of a new or the current
// melody with its purpose (one of two), stored after a question. The switch
// melodies choose between "вызов" and "отзвонка", the console melodies
// between "посетитель" and "абонент".

#include "devices/Melody.h"

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QRadioButton;

class MelodyNamePanel : public QGroupBox {
    Q_OBJECT
  public:
    MelodyNamePanel(MelodyList list, const QString& firstPurpose, const QString& secondPurpose,
                    QWidget* parent);

    QLineEdit* ENew = nullptr;
    QRadioButton* RBvz = nullptr;  // the first purpose
    QRadioButton* RBot = nullptr;  // the second
    QPushButton* BitSaveMel = nullptr;

    // A new melody: the name edit gets text, the panel shows.
    void StartNew(const QString& text);
    // The current melody's name and purpose; a closed melody is refused.
    void StartEdit();
    // Entering the name edit clears the prompt for a new name.
    void ENewEnter();
    void NameChanged();
    // Asks "Сохраняем?" and stores a changed, non-blank name; the panel closes
    // either way.
    void BitSaveMelClick();

  signals:
    // The panel closed after a save (or a save that was not needed).
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MelodyList list_;
    QString firstPurpose_;
    QString secondPurpose_;
    bool nameChanged_ = false;
    bool newMelody_ = false;
};

// The prompt a new melody's name edit may hold.
inline const QString kNewMelodyPrompt = QStringLiteral("Введите имя новой мелодии");
