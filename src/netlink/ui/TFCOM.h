#pragma once
// "Выбор СОМ порта" (FCOM): the ports found by the adapter search, when the
// operator chooses among several. "Да" takes the selected line, "Отмена"
// takes none; the caller reads the selection afterwards.

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

class TFCOM : public QDialog {
    Q_OBJECT
  public:
    explicit TFCOM(QWidget* parent = nullptr);

    QListWidget* ListCdev = nullptr;
    QPushButton* BitYes = nullptr;
    QPushButton* BitNo = nullptr;

    // Shows the ports with one line preselected (-1 none) and waits for the
    // operator; returns the selected line, -1 for none.
    int ChoosePort(const QStringList& ports, int preselected);
    // The selected line, -1 for none.
    int SelectedRow() const;

    void BitYesClick();
    void BitNoClick();
    // Closing the dialog any other way than "Да" chooses nothing.
    void reject() override;
};

extern TFCOM* FCOM;
