#pragma once
// "Удаление и выделение объектов": the object list, where the Delete key or
// the context menu removes the current object with everything that belongs
// to it, and "Отделить объект" copies the database into a folder of its own
// that then holds that one object.

#include <QDialog>

class DatasetModel;
class QAction;
class QLabel;
class QPushButton;
class QTableView;

class TFObEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFObEdit(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* BitOtdel = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    // The grid's context menu, and the help key.
    QAction* NReOpen = nullptr;
    QAction* PDel = nullptr;
    QAction* NOtdel = nullptr;
    QAction* NHelp = nullptr;

    void FormActivate();
    // Deletion of the current object (Delete key and context menu).
    void PDelClick();
    // Split of the current object into a database of its own.
    void BitOtdelClick();
    void NReOpenClick();
    void NHelpClick();
    void ButExitClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAction* makeAction(const char* name, const QString& caption, const QKeySequence& key);
    void bindObjectList();
    void showCurrentObject();
    void followGridRow(int row);

    DatasetModel* model_ = nullptr;
};

extern TFObEdit* FObEdit;
