#pragma once
// "Аппаратные настройки ППО": the hardware fields of the console row of the
// object current when it shows, held by its key. The link timeouts and the level thresholds are
// locked until the access code is typed; the rest may be saved without it.
// Shown without blocking; it closes when it loses the focus.

#include "devices/ConsoleHardware.h"
#include "foundation/HeldRows.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

class TFpoAppr : public QDialog {
    Q_OBJECT
  public:
    explicit TFpoAppr(QWidget* parent = nullptr);

    QLabel* LabelPass = nullptr;
    QLineEdit* PassEdit = nullptr;
    QWidget* PanelProtected = nullptr;
    QLabel* LabelTimeouts = nullptr;
    QSpinBox* Buzy = nullptr;
    QSpinBox* Blato = nullptr;
    QSpinBox* Npce = nullptr;
    QSpinBox* Adccl = nullptr;
    QSpinBox* Adccm = nullptr;
    QSpinBox* Adcch = nullptr;
    QSpinBox* Adchl = nullptr;
    QSpinBox* Adchm = nullptr;
    QSpinBox* Adchh = nullptr;
    QSpinBox* Cbto = nullptr;
    QSpinBox* Exec = nullptr;
    QLineEdit* E_Raz = nullptr;
    QCheckBox* ReservPO = nullptr;
    QWidget* PanelGlyphs = nullptr;
    QList<QToolButton*> Images;  // Image2..Image39
    QLabel* Label25 = nullptr;   // "к"
    QPushButton* BitKod = nullptr;
    QPushButton* BitSavePo = nullptr;
    QLabel* LabelSaved = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* ButHelp = nullptr;

    // Loads the console row of the current object (when it has one).
    void FormActivate();
    // Every hardware field into the object's console row; true when written.
    bool WriteHardwareFields();
    void BitSavePoClick();
    void PassEditKeyUp();
    void EditChange();
    void BitKodClick();
    // A glyph (index into SeparatorGlyphCodes) clicked.
    void GlyphClick(int glyph);
    void ButExitClick();
    void ButHelpClick();

    ConsoleHardware Values() const;
    const HeldRows& Shown() const { return held_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 212;

    QWidget* buildProtected();
    QWidget* buildCommands();
    QWidget* buildGlyphs();
    void markGlyph(int glyph);
    void showValues(const ConsoleHardware& hw);

    HeldRows held_;  // the object's console, taken as it shows
};

extern TFpoAppr* FpoAppr;
