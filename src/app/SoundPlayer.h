#pragma once
// Plays a WAV image (16-bit PCM) through the default audio output, asynchronously.
// The player keeps its own copy of the samples, so a new request cannot disturb a
// sound that is playing; while one plays, a further request starts nothing. Without
// an output device nothing plays and nothing is shown.

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class QAudioSink;

namespace corvane {

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // False when a sound is playing, the image is not 16-bit PCM, or no device is there.
    bool Play(const std::vector<std::uint8_t>& wav);
    void Stop();
    bool playing() const;

private:
    std::unique_ptr<QAudioSink> m_sink;
    QByteArray m_samples;
    QBuffer m_source;
};

} // namespace corvane
