#pragma once
// "Консоль считывателей ключей" (FMifare): the log of both key readers and
// the card reader's serial port. The card reader prints one line per card;
// the console puts the lines together and hands each card number to the key
// screen. The read time-outs of the port can be changed while it is open.

#include "keys/ReaderPortLocator.h"
#include "keys/RfidLineAssembler.h"
#include "netlink/TBComPort.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class TFMifare : public QDialog {
    Q_OBJECT
  public:
    explicit TFMifare(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QSpinBox* SReadInterval = nullptr;
    QSpinBox* SReadTotalConstant = nullptr;
    QSpinBox* SReadTotalMultiplier = nullptr;
    QPushButton* BitClose = nullptr;
    QPushButton* BitHelp = nullptr;

    TBComPort BCPMifare;
    // Receives every card number read; set by the key screen.
    std::function<void(const QString& number)> OnKeyNumber;

    // Finds the reader by its USB description and opens its port; the port
    // comes back empty when no reader was found. Throws EComPort when the
    // port does not open.
    ReaderPort OpenReaderPort(const QString& description);
    void CloseReaderPort();
    void BCPMifareRxChar(TBComPort* sender, int count);
    // The reader's line received so far, not yet ended.
    QString PendingReaderLine() const { return lines_.PendingLine(); }

    // A line of the readers' log.
    void Log(const QString& line);
    QStringList LogLines() const;

    void SReadIntervalExit();
    void SReadTotalConstantExit();
    void SReadTotalMultiplierExit();

  private:
    static constexpr int kHelpTopic = 207;

    QSpinBox* timeoutEdit(const char* name, int minimum, int value);

    // A line half received when the readers were switched off is finished
    // by what comes after they are switched on again.
    RfidLineAssembler lines_;
};

extern TFMifare* FMifare;
