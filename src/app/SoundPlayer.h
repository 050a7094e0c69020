#pragma once
// The desktop's sound output: plays button sounds through the default audio device with
// Qt Multimedia, asynchronously. The rules of a request (private copy of the samples, no
// second sound while one plays, nothing without a device) are TWavePlayer's.

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

#include "sound/WavePlayer.h"

class QAudioSink;

namespace corvane {

class SoundPlayer : public QObject, public SoundOutput {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // False when a sound is playing, the image is not 16-bit PCM, or no device is there.
    bool Play(const std::vector<std::uint8_t>& wav) { return m_player.Play(wav); }
    void Stop() { stop(); }
    TWavePlayer& player() { return m_player; }

    bool available() const override;
    bool supports(int sampleRate, int channels) const override;
    bool start(std::shared_ptr<const PcmClip> clip) override;
    bool playing() const override;
    void stop() override;

private:
    TWavePlayer m_player{*this};
    std::unique_ptr<QAudioSink> m_sink;
    std::shared_ptr<const PcmClip> m_clip; // the samples the sink reads
    QByteArray m_samples;                  // a view of m_clip's samples
    QBuffer m_source;
};

} // namespace corvane
