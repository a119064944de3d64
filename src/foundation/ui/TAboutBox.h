#pragma once
// "О программе": the program's version strings in two lists. It closes on its
// OK button and whenever it loses the focus.

#include <QDialog>

class QListWidget;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QListWidget* ListKeys = nullptr;
    QListWidget* ListValues = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* ButHelp = nullptr;

  protected:
    void changeEvent(QEvent* event) override;
};

extern TAboutBox* AboutBox;
