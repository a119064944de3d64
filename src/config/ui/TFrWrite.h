#pragma once
// The write-configuration screen (FrWrite1): the devices of the current
// object with their file state marks, and the building of a configuration
// file for each selected one into the object's write folder, logged in
// detail and in results. ConfigWriteScreen does the work.

#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/PathLabel.h"

#include <memory>

class ConfigWriteScreen;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

class TFrWrite : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrWrite(QWidget* parent = nullptr);
    ~TFrWrite() override;

    QListWidget* ListCdev = nullptr;
    QPlainTextEdit* Memo1 = nullptr;  // detailed log
    QPlainTextEdit* Memo2 = nullptr;  // result log
    QPlainTextEdit* Memo3 = nullptr;  // hidden: one result line per device
    QLineEdit* EIdent = nullptr;
    PathLabel* LFile1 = nullptr;
    QCheckBox* ChSlot = nullptr;
    QFrame* Panel5 = nullptr;  // the legend of the marks
    QPushButton* Bit1ch = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    QMenu* PMdiv = nullptr;
    QAction* N_all = nullptr;
    QAction* N1 = nullptr;
    QAction* NClearSel = nullptr;
    QAction* NReList = nullptr;
    QPushButton* BitCreate = nullptr;
    QPushButton* BitClear = nullptr;
    QPushButton* ButRead1 = nullptr;
    QPushButton* ButRedact1 = nullptr;
    QPushButton* VvodObj = nullptr;  // "Далее >>", the frame's next button
    QPushButton* ButBack = nullptr;  // "<< Назад", the frame's back button

    void PrepareScreen(const QString& dbFolder) override;
    void FormActivate();
    void RefreshDeviceList();
    void BitCreateClick();
    void BitClearClick();
    void EIdentExit();
    void N_allClick();
    void N1Click();
    void NClearSelClick();
    void NReListClick();
    void Bit1chClick();

    bool LegendOpen() const;
    ConfigWriteScreen* Core() const { return core_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildDevicePanel();
    QWidget* buildLegend();
    QWidget* buildLogs();
    void buildMenu();
    void showLogs();
    int legendHeight(bool open) const;

    std::unique_ptr<ConfigWriteScreen> core_;
    QString dbFolder_;
};
