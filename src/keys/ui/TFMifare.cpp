#include "keys/ui/TFMifare.h"

#include "foundation/HelpLauncher.h"
#include "foundation/ui/WaitCursor.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFMifare* FMifare = nullptr;

namespace {
constexpr int kReadChunk = 42;  // the reader's lines are short; read them a piece at a time
}  // namespace

TFMifare::TFMifare(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMifare"));
    setWindowTitle(QStringLiteral("Консоль считывателей ключей"));
    resize(560, 420);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(5000);

    // The edits start from the port's own time-outs.
    const TComTimeouts& t = BCPMifare.Timeouts();
    auto* timeouts = new QGroupBox(QStringLiteral("Таймауты в миллисекундах на"), this);
    auto* form = new QFormLayout(timeouts);
    SReadInterval = timeoutEdit("SReadInterval", -1, t.ReadInterval());
    SReadTotalConstant = timeoutEdit("SReadTotalConstant", 0, t.ReadTotalConstant());
    SReadTotalMultiplier = timeoutEdit("SReadTotalMultiplier", 0, t.ReadTotalMultiplier());
    form->addRow(QStringLiteral("чтение символа"), SReadInterval);
    form->addRow(QStringLiteral("операцию чтения"), SReadTotalConstant);
    form->addRow(QStringLiteral("общ. множитель чт"), SReadTotalMultiplier);

    BitHelp = new QPushButton(QStringLiteral("Помощь"), this);
    BitHelp->setObjectName(QStringLiteral("BitHelp"));
    BitHelp->setAutoDefault(false);
    BitClose = new QPushButton(QStringLiteral("Закрыть"), this);
    BitClose->setObjectName(QStringLiteral("BitClose"));
    BitClose->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(timeouts);
    side->addStretch();
    side->addWidget(BitHelp);
    side->addWidget(BitClose);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(side);

    connect(SReadInterval, &QSpinBox::editingFinished, this, &TFMifare::SReadIntervalExit);
    connect(SReadTotalConstant, &QSpinBox::editingFinished, this,
            &TFMifare::SReadTotalConstantExit);
    connect(SReadTotalMultiplier, &QSpinBox::editingFinished, this,
            &TFMifare::SReadTotalMultiplierExit);
    connect(BitHelp, &QPushButton::clicked, this, [] { AppHelp().ShowTopic(kHelpTopic); });
    connect(BitClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [] { AppHelp().CloseViewer(); });

    BCPMifare.OnRxChar = [this](TBComPort* sender, int count) { BCPMifareRxChar(sender, count); };
}

QSpinBox* TFMifare::timeoutEdit(const char* name, int minimum, int value) {
    auto* edit = new QSpinBox(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(minimum, 600000);
    edit->setValue(value);
    return edit;
}

void TFMifare::SReadIntervalExit() {
    BCPMifare.Timeouts().SetReadInterval(SReadInterval->value());
}

void TFMifare::SReadTotalConstantExit() {
    BCPMifare.Timeouts().SetReadTotalConstant(SReadTotalConstant->value());
}

void TFMifare::SReadTotalMultiplierExit() {
    BCPMifare.Timeouts().SetReadTotalMultiplier(SReadTotalMultiplier->value());
}

void TFMifare::Log(const QString& line) {
    Memo1->appendPlainText(line);
}

QStringList TFMifare::LogLines() const {
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

ReaderPort TFMifare::OpenReaderPort(const QString& description) {
    WaitCursor wait;
    const ReaderPort found = ReaderPorts::Find(description);
    if (found.port.isEmpty()) return found;
    Log(QStringLiteral("Порт:=%1 Vid:=%2 Pid:=%3").arg(found.port, found.vid, found.pid));
    BCPMifare.SetPort(found.port);
    BCPMifare.Open();
    BCPMifare.ClearBuffer(true, true);
    repaint();
    return found;
}

void TFMifare::CloseReaderPort() {
    BCPMifare.Close();
}

// Reads what has come, a piece at a time, until nothing is waiting.
void TFMifare::BCPMifareRxChar(TBComPort*, int) {
    while (BCPMifare.Connected()) {
        const int waiting = BCPMifare.InputCount();
        if (waiting <= 0) break;
        QByteArray piece;
        if (BCPMifare.ReadStr(piece, qMin(kReadChunk, waiting)) <= 0) break;
        for (const RfidReaderOutput& line : lines_.Feed(piece)) {
            Log(line.log);
            if (!line.number.isEmpty() && OnKeyNumber) OnKeyNumber(line.number);
        }
    }
}
