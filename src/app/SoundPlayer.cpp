#include "app/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace corvane {

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    Stop();
}

bool SoundPlayer::playing() const {
    return m_sink && (m_sink->state() == QAudio::ActiveState || m_sink->state() == QAudio::SuspendedState);
}

bool SoundPlayer::Play(const std::vector<std::uint8_t>& wav) {
    if (playing()) return false;
    if (wav.size() < 44 || std::string(wav.begin() + 8, wav.begin() + 12) != "WAVE" || le(wav, 20, 2) != 1 ||
        le(wav, 34, 2) != 16)
        return false;
    const int channels = static_cast<int>(le(wav, 22, 2));
    const int rate = static_cast<int>(le(wav, 24, 4));
    // The data chunk, after whatever chunks precede it.
    std::size_t at = 20 + le(wav, 16, 4);
    while (at + 8 <= wav.size() && std::string(wav.begin() + static_cast<std::ptrdiff_t>(at),
                                                wav.begin() + static_cast<std::ptrdiff_t>(at) + 4) != "data")
        at += 8 + le(wav, at + 4, 4);
    if (at + 8 > wav.size()) return false;
    const std::size_t size = std::min<std::size_t>(le(wav, at + 4, 4), wav.size() - at - 8);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return false;

    Stop();
    m_samples = QByteArray(reinterpret_cast<const char*>(wav.data() + at + 8), static_cast<qsizetype>(size));
    m_source.setBuffer(&m_samples);
    m_source.open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState) Stop(); // played to the end
    });
    m_sink->start(&m_source);
    if (m_sink->error() != QAudio::NoError) {
        Stop();
        return false;
    }
    return true;
}

void SoundPlayer::Stop() {
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.release()->deleteLater();
    }
    m_source.close();
}

} // namespace corvane
