#pragma once
// The editor's tab "Mirel": reads a Мирель or Сорна door panel's dump into
// KeysCP and pours its keys into the entrance chosen in ListKvKey, by
// apartment or as common keys, as the pour-conditions dialog FKeyInKv sets.

#include "keys/ui/KeyDumpTab.h"

#include <functional>

class MirelDumpTab : public KeyDumpTab {
    Q_OBJECT
  public:
    explicit MirelDumpTab(QWidget* parent = nullptr);

    QPushButton* BitCP = nullptr;
    QTableWidget* KeysCP = nullptr;
    QSpinBox* KolCPkey = nullptr;
    QSpinBox* InCpKey = nullptr;
    QPlainTextEdit* Memo3 = nullptr;
    QPushButton* ButCPVis = nullptr;
    QLabel* lFile5 = nullptr;
    QListWidget* ListKvKey = nullptr;
    QPushButton* BitCPkeys = nullptr;

    // Whether the editor's folder choice is "Созданный в АРМе" (RBarm): the
    // dialog then starts in the object's folder of files made here.
    void SetWrittenFolderChoice(std::function<bool()> written) { written_ = std::move(written); }

    void BitCPClick();
    void BitCPkeysClick();
    void ListKvKeyClick() { EntranceClick(); }
    void ButCPVisClick() { ConsoleButtonClick(); }

  protected:
    void parseDump(const QByteArray& bytes, EditorKeyLists& lists, QStringList& console) override;

  private:
    std::function<bool()> written_;
};
