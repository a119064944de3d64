#pragma once
// "Глобальные переменные": the t_global row in spin edits, and, after the
// access code, the two flag counts and the flag-name table t_fl.

#include <QDialog>
#include <QMap>

class DatasetModel;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

class TFGlVal : public QDialog {
    Q_OBJECT
  public:
    explicit TFGlVal(QWidget* parent = nullptr);

    // Spin edits by t_global column name.
    QSpinBox* Spin(const QString& column) const { return spins_.value(column); }

    QLineEdit* PassEdit = nullptr;
    QGroupBox* ParamPanel = nullptr;
    QGroupBox* FlagPanel = nullptr;
    QPushButton* BitSave = nullptr;
    QPushButton* BitClose = nullptr;
    QPushButton* ButHelp = nullptr;
    QComboBox* TypeFl = nullptr;
    QSpinBox* NumbFl = nullptr;
    QLineEdit* NameFl = nullptr;
    QPushButton* ButApp = nullptr;
    QPushButton* ButEdit = nullptr;
    QPushButton* ButDel = nullptr;
    QPushButton* ButYes = nullptr;
    QTableView* GlobalGrid = nullptr;
    QTableView* FlagGrid = nullptr;

    void FormActivate();
    void PassEditKeyUp();
    void BitSaveClick();
    void BitCloseClick();
    void TypeFlChange();
    void ButAppClick();
    void ButEditClick();
    void ButYesClick();
    void ButDelClick();

    bool Unlocked() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class FlagMode { None, Append, Edit };
    QSpinBox* addSpin(class QFormLayout* form, const QString& column, const QString& caption,
                      int min, int max, bool editable);
    void setLocked(bool locked);
    void resetFlagEditor();
    void followGridRow();

    QMap<QString, QSpinBox*> spins_;
    DatasetModel* globalModel_ = nullptr;
    DatasetModel* flagModel_ = nullptr;
    FlagMode mode_ = FlagMode::None;
};

extern TFGlVal* FGlVal;
