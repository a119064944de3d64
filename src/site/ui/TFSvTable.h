#pragma once
// "Содержание таблиц базы данных": the raw rows of one of ten database tables,
// of every object, for inspection. Nothing can be changed here.

#include <QDialog>

class Dataset;
class DatasetModel;
class QListWidget;
class QPushButton;
class QTableView;

class TFSvTable : public QDialog {
    Q_OBJECT
  public:
    explicit TFSvTable(QWidget* parent = nullptr);

    QListWidget* ListTable = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    // The table shown, on the shared connection.
    Dataset* ATable = nullptr;

    void ListTableClick();
    void ButHelpClick();
    void ButExitClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    DatasetModel* model_ = nullptr;
};

extern TFSvTable* FSvTable;
