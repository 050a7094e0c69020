#include "app/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace corvane {

namespace {

QAudioFormat pcmFormat(int sampleRate, int channels) {
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    stop();
}

bool SoundPlayer::available() const {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool SoundPlayer::supports(int sampleRate, int channels) const {
    return QMediaDevices::defaultAudioOutput().isFormatSupported(pcmFormat(sampleRate, channels));
}

bool SoundPlayer::playing() const {
    return m_sink && (m_sink->state() == QAudio::ActiveState || m_sink->state() == QAudio::SuspendedState);
}

bool SoundPlayer::start(std::shared_ptr<const PcmClip> clip) {
    stop();
    m_clip = std::move(clip);
    m_samples = QByteArray::fromRawData(reinterpret_cast<const char*>(m_clip->samples.data()),
                                        static_cast<qsizetype>(m_clip->samples.size()));
    m_source.setBuffer(&m_samples);
    m_source.open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(),
                                          pcmFormat(m_clip->sampleRate, m_clip->channels));
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState) stop(); // played to the end
    });
    m_sink->start(&m_source);
    if (m_sink->error() != QAudio::NoError) {
        stop();
        return false;
    }
    return true;
}

void SoundPlayer::stop() {
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.release()->deleteLater();
    }
    m_source.close();
    m_source.setBuffer(nullptr);
    m_samples.clear();
    m_clip.reset();
}

} // namespace corvane
