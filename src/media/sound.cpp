#include "sound.h"

#include <QElapsedTimer>
#include <SDL.h>
#include <SDL_mixer.h>
#include <memory>

#include "wav_file.h"

namespace Sound {
namespace {
std::unique_ptr<SoundPlayer> s_own;
SoundPlayer *s_set = nullptr;
} // namespace

SoundPlayer &player()
{
    if (s_set)
        return *s_set;
    if (!s_own)
        s_own = std::make_unique<SdlSoundPlayer>();
    return *s_own;
}

void setPlayer(SoundPlayer *player)
{
    s_set = player;
}

void shutdown()
{
    s_own.reset();
}
} // namespace Sound

int sndPlaySoundA(const QString &path, quint32 flags)
{
    Sound::player().play(path, flags);
    return 1;
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    if (m_open) {
        stopCurrent();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool SdlSoundPlayer::ensureOpen()
{
    if (m_tried)
        return m_open;
    m_tried = true;
    auto open = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        return true;
    };
    m_open = open();
    if (!m_open) {
        // No sound device or server: play silently, with the sounds' real lengths.
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        m_open = open();
    }
    if (!m_open)
        return false;
    Mix_AllocateChannels(1);
    Uint16 format = 0;
    Mix_QuerySpec(&m_frequency, &format, &m_channels);
    m_bytesPerSample = SDL_AUDIO_BITSIZE(format) / 8;
    return true;
}

void SdlSoundPlayer::stopCurrent()
{
    Mix_HaltChannel(0);
    if (m_current)
        Mix_FreeChunk(m_current);
    m_current = nullptr;
}

Mix_Chunk *SdlSoundPlayer::load(const QString &path)
{
    const AudioFormat device{m_frequency, m_channels, m_bytesPerSample};
    const QByteArray bytes = readPlayableWav(path, device);
    if (bytes.isEmpty())
        return nullptr;
    SDL_RWops *rw = SDL_RWFromConstMem(bytes.constData(), int(bytes.size()));
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}

void SdlSoundPlayer::play(const QString &path, quint32 flags)
{
    if (!ensureOpen())
        return;
    stopCurrent();
    m_current = load(path);
    if (!m_current || Mix_PlayChannel(0, m_current, 0) < 0)
        return;
    if (flags & SND_ASYNC)
        return;

    const qint64 bytesPerSecond = qint64(m_frequency) * m_channels * m_bytesPerSample;
    const qint64 lengthMs =
        bytesPerSecond > 0 ? qint64(m_current->alen) * 1000 / bytesPerSecond : 0;
    const qint64 limitMs = qMin<qint64>(lengthMs + 500, kMaxSyncMs);
    QElapsedTimer elapsed;
    elapsed.start();
    // The mixer may report the end a little before the device has played it, or (on a driver
    // that does not keep time) far too early: wait for both, within the limit.
    while ((Mix_Playing(0) || elapsed.elapsed() < lengthMs) && elapsed.elapsed() < limitMs)
        SDL_Delay(5);
    if (elapsed.elapsed() >= limitMs)
        Mix_HaltChannel(0);
}
