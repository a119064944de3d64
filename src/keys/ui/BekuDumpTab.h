#pragma once
// The editor's tab "БЭКУ": reads a БЭКУ dump into KeysBQ and pours its keys
// into the common keys of the entrance chosen in ListHdev.

#include "keys/ui/KeyDumpTab.h"

class BekuDumpTab : public KeyDumpTab {
    Q_OBJECT
  public:
    explicit BekuDumpTab(QWidget* parent = nullptr);

    QPushButton* BitBQ = nullptr;
    QTableWidget* KeysBQ = nullptr;
    QSpinBox* KolByte = nullptr;
    QSpinBox* KolKey = nullptr;
    QSpinBox* InBQKey = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* ButVisible = nullptr;
    QLabel* lFile4 = nullptr;
    QListWidget* ListHdev = nullptr;
    QPushButton* BitBQkeys = nullptr;

    void BitBQClick();
    void BitBQkeysClick();
    void ListHdevClick() { EntranceClick(); }
    void ButVisibleClick() { ConsoleButtonClick(); }

  protected:
    void parseDump(const QByteArray& bytes, EditorKeyLists& lists, QStringList& console) override;
};
