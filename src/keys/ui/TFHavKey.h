#pragma once
// "Найденные ключи" (FHavKey): the owners of the key searched for on the key
// screen. Choosing a key of the current object closes the list, and the key
// screen goes to that key.

#include <QDialog>

class DatasetGrid;
class DatasetModel;
class QPushButton;

class TFHavKey : public QDialog {
    Q_OBJECT
  public:
    explicit TFHavKey(QWidget* parent = nullptr);

    DatasetGrid* DBGrid1 = nullptr;
    QPushButton* ButExit = nullptr;

    void FormActivate();
    // Double click and Enter: a key of another object cannot be chosen.
    void DBGrid1DblClick();
    void ButExitClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static constexpr int kHelpTopic = 206;

    void bindFoundKeys();

    DatasetModel* model_ = nullptr;
};

extern TFHavKey* FHavKey;
