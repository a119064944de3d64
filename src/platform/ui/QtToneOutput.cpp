#include "platform/ui/QtToneOutput.h"

#include "platform/SquareWave.h"

#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QPointer>
#include <QSemaphore>

#include <memory>
#include <utility>

// Owns the sink on the tone thread; one tone at a time.
class ToneWorker : public QObject {
  public:
    ToneWorker(const QAudioDevice& device, const QAudioFormat& format)
        : device_(device), format_(format) {}

    void Start(const QByteArray& samples, std::shared_ptr<QSemaphore> done) {
        Finish();
        if (!sink_) {
            sink_ = new QAudioSink(device_, format_, this);
            connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
                if (state == QAudio::IdleState || state == QAudio::StoppedState) Finish();
            });
        }
        done_ = std::move(done);
        buffer_.setData(samples);
        buffer_.open(QIODevice::ReadOnly);
        sink_->start(&buffer_);
        if (sink_->error() != QAudio::NoError) Finish();
    }

    // Ends the tone that is playing and lets its caller go on.
    void Finish() {
        std::shared_ptr<QSemaphore> done = std::exchange(done_, nullptr);
        if (!done) return;
        if (sink_ && sink_->state() != QAudio::StoppedState) sink_->stop();
        buffer_.close();
        done->release();
    }

  private:
    QAudioDevice device_;
    QAudioFormat format_;
    QAudioSink* sink_ = nullptr;
    QBuffer buffer_;
    std::shared_ptr<QSemaphore> done_;
};

namespace {
// How much longer than the tone itself the caller waits for a device that stalls.
constexpr int kStallGraceMs = 2000;
}  // namespace

QtToneOutput::QtToneOutput(const QAudioDevice& device, const QAudioFormat& format, QObject* parent)
    : QObject(parent), worker_(new ToneWorker(device, format)) {
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("tones"));
    thread_.start();
}

QtToneOutput::~QtToneOutput() {
    if (&Tones::Output() == this) Tones::SetOutput(nullptr);
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->Finish(); }, Qt::QueuedConnection);
    thread_.quit();
    thread_.wait();
}

void QtToneOutput::Tone(int frequencyHz, int durationMs) {
    const int ms = durationMs;
    if (ms <= 0) return;
    const QByteArray samples = SquareWave(frequencyHz, ms, kSampleRate, kAmplitude);
    if (samples.isEmpty()) {
        Pause(ms);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    auto done = std::make_shared<QSemaphore>(0);
    QMetaObject::invokeMethod(
        worker_, [w = worker_, samples, done] { w->Start(samples, done); }, Qt::QueuedConnection);
    if (!done->tryAcquire(1, ms + kStallGraceMs))
        QMetaObject::invokeMethod(
            worker_, [w = worker_] { w->Finish(); }, Qt::QueuedConnection);
    // A tone the device refused still takes its time, so a melody keeps its rhythm.
    const qint64 left = ms - clock.elapsed();
    if (left > 0) QThread::msleep(quint64(left));
}

void QtToneOutput::Pause(int durationMs) {
    if (durationMs > 0) QThread::msleep(quint64(durationMs));
}

QAudioFormat QtToneOutput::ToneFormat() {
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

void InstallSoundCardTones() {
    static QPointer<QtToneOutput> installed;
    if (installed || !QCoreApplication::instance()) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = QtToneOutput::ToneFormat();
    if (device.isNull() || !device.isFormatSupported(format)) return;
    installed = new QtToneOutput(device, format, QCoreApplication::instance());
    Tones::SetOutput(installed);
    // The tone thread ends with the event loop, before the application object goes.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, installed.data(),
                     &QObject::deleteLater);
}
