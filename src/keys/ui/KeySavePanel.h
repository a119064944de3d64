#pragma once
// "Сохранение ключей", the right-hand panel of the editor's call-panel key
// tab: finds the call panel an opened file belongs to ("Найти БВ") or lets
// the operator pick one ("Выбрать БВ"), then enters the keys of the tab's
// three key grids into the key register ("Внести ключи"). The search and the
// entry are ConfigPanelSearch and ConfigKeyEntry; the panel reads its
// controls and the editor's, and shows what they did.

#include "keys/ui/EditorKeyControls.h"

#include <QGroupBox>

class DatasetGrid;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct ConfigFileIdent;
struct IdentChecks;

class KeySavePanel : public QGroupBox {
    Q_OBJECT
  public:
    KeySavePanel(const EditorKeyControls& editor, QWidget* parent = nullptr);

    QRadioButton* RB_Ob = nullptr;
    QRadioButton* RB_Sr = nullptr;
    QCheckBox* CB_Kv = nullptr;
    QCheckBox* CB_Ob = nullptr;
    QPushButton* BitFind = nullptr;
    QPushButton* BitKeys = nullptr;
    QPushButton* BitChek = nullptr;
    DatasetGrid* DBGrid1 = nullptr;
    QLabel* L_Found = nullptr;
    QLabel* L_Keys = nullptr;

    // The decoder of section 2 tells how many entrances the file serves:
    // "Общие ключи" is offered only for a file of one entrance.
    void ShowServedEntrances(int served);

    void BitFindClick();
    void BitKeysClick();
    void BitChekClick();
    void DBGrid1DblClick();
    // Delete is swallowed; Esc hides the list, Enter chooses its panel.
    void DBGrid1KeyDown(int key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildList();
    ConfigFileIdent readIdent() const;
    void showIdent(const ConfigFileIdent& ident, const IdentChecks* checks);
    void findByStructure();
    void chooseListedPanel(const QString& question);
    void hideList();

    EditorKeyControls editor_;
};
