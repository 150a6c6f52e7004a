#pragma once

#include <QString>
#include <QtGlobal>

struct Mix_Chunk;

/// Flags of sndPlaySoundA: return once the sound has ended, or at once.
constexpr quint32 SND_SYNC = 0x0000;
constexpr quint32 SND_ASYNC = 0x0001;

/// Plays sound files, one at a time: a sound started while another plays replaces it.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    /// Plays the WAV file at `path`. With SND_ASYNC returns at once; with SND_SYNC returns when
    /// the sound has ended. A missing or unreadable file plays nothing and returns at once.
    virtual void play(const QString &path, quint32 flags) = 0;
};

/// Plays a cue on the program's sound player; the result says nothing and is ignored by callers.
int sndPlaySoundA(const QString &path, quint32 flags);

namespace Sound {
/// The program's sound player: an SdlSoundPlayer unless one was set.
SoundPlayer &player();
void setPlayer(SoundPlayer *player); ///< nullptr restores the program's own player
/// Releases the program's own player and with it the audio device.
void shutdown();
} // namespace Sound

/// SDL2_mixer on one channel. Opens the audio device on first use, falling back to SDL's silent
/// "dummy" driver (which keeps real timing) when there is no device.
class SdlSoundPlayer final : public SoundPlayer
{
public:
    SdlSoundPlayer() = default;
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer &) = delete;
    SdlSoundPlayer &operator=(const SdlSoundPlayer &) = delete;

    void play(const QString &path, quint32 flags) override;

    /// A synchronous cue holds the program at most this long.
    static constexpr int kMaxSyncMs = 15000;

private:
    bool ensureOpen();
    void stopCurrent();
    /// The cue at `path` as the mixer plays it; nullptr if it cannot be played.
    Mix_Chunk *load(const QString &path);

    bool m_tried = false;
    bool m_open = false;
    int m_frequency = 0;
    int m_channels = 0;
    int m_bytesPerSample = 2;
    Mix_Chunk *m_current = nullptr;
};
