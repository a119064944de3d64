#pragma once
// The main window: reads the settings file and opens the database at start,
// hosts the work screens (one shown at a time), and writes the settings back
// when it closes.

#include "foundation/IniFile.h"
#include "foundation/ScreenServices.h"

#include <QMainWindow>
#include <QMap>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class SingleInstanceGuard;

class TFMainVesk : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFMainVesk(QWidget* parent = nullptr);
    ~TFMainVesk() override;

    // Published controls other forms and frames use.
    QLineEdit* Path = nullptr;  // current database folder, trailing '/'
    QPlainTextEdit* Memo2 = nullptr;
    QStatusBar* SBarMain = nullptr;
    QLabel* PanelTop = nullptr;
    QPushButton* ButEnd = nullptr;
    QPushButton* BitBack = nullptr;
    QPushButton* BitBack2 = nullptr;
    QPushButton* BitForward = nullptr;
    QPushButton* BitForward2 = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitScreen = nullptr;

    // The hosted screens.
    QWidget* FrMatr1 = nullptr;
    QWidget* FrDom1 = nullptr;
    QWidget* FrPod1 = nullptr;
    QWidget* FrPk1 = nullptr;
    QWidget* FrBv1 = nullptr;
    QWidget* FrPo1 = nullptr;
    QWidget* FrKvr1 = nullptr;
    QWidget* FrWrite1 = nullptr;
    QWidget* FrRead1 = nullptr;
    QWidget* FrNetDev1 = nullptr;
    QWidget* FrKeys1 = nullptr;
    QWidget* FrRedact1 = nullptr;
    QWidget* FrPiople1 = nullptr;

    // Menu items by design name ("MReOpen", "MHelp0", "MPo", ...).
    QAction* MenuItem(const QString& name) const { return menuItems_.value(name); }

    // Start-up, in the fixed order; run by the constructor.
    void FormCreate();
    bool OpenDatabase(const QString& folder);
    // Lays out the matrix grid's switch columns while the matrix frame shows.
    void FormResize();
    void MReOpenClick();
    void PanelTopDblClick();
    void ApplicationEvents1Hint(const QString& hint);
    void BitBtn1Click();
    void ExitExecute();
    // Writes the settings file when a database is open; closing is always allowed.
    bool FormCloseQuery();
    void FormClose();

    // Screens.
    QWidget* FrameOfScreen(int screen) const;
    // The screen whose frame is visible, 0 when none.
    int VisibleScreen() const;
    void ShowScreen(int screen);
    void LeaveScreen();
    void ButEndClick();

    // Help menu.
    void MHelp0Click();
    void MEasyClick();
    void MHelp8Click();
    void MHelp9Click();
    void MAboutClick();

    // The matrix frame registers its grid here; FormResize sizes its columns.
    void SetMatrixGrid(QTableView* grid) { matrixGrid_ = grid; }
    // Font toggle captions "ж"/"н" of the matrix, switch and call-panel grids.
    QString GridToggle(const QString& key) const { return gridToggles_.value(key); }

    KeysScreenService& KeysScreen() { return *keysScreen_; }
    void SetKeysScreen(KeysScreenService* service) { keysScreen_ = service; }

    // Record number of the current object when it was last entered.
    int RememberedObjectRecNo() const { return rememberedObjectRecNo_; }

    // Follows the window caption with the single-instance guard.
    void SetInstanceGuard(SingleInstanceGuard* guard);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildMenu();
    void buildPanels();
    QWidget* makePlaceholderFrame(const QString& name, const QString& title);
    QAction* addItem(class QMenu* menu, const QString& name, const QString& caption,
                     const QString& hint = QString());
    void applyWindowSettings(const struct StartupSettings& s);
    void restoreScreenAndObject(const StartupSettings& s);
    void writeSettingsOnClose();
    void stopNetworkForExit();

    QMap<QString, QAction*> menuItems_;
    QMap<QString, QString> gridToggles_;
    QList<QWidget*> frames_;
    QTableView* matrixGrid_ = nullptr;
    PlaceholderKeysScreen placeholderKeys_;
    KeysScreenService* keysScreen_ = &placeholderKeys_;
    SingleInstanceGuard* guard_ = nullptr;
    int rememberedObjectRecNo_ = 0;
    bool objectPanelFlags_[4] = {false, false, false, false};
    bool closing_ = false;
};

extern TFMainVesk* FMainVesk;
