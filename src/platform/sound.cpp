#include "sound.h"

#include <QElapsedTimer>
#include <QFile>
#include <SDL.h>
#include <SDL_mixer.h>

#include "platform.h"

int sndPlaySoundA(const QString &path, quint32 flags)
{
    Platform::sound().play(path, flags);
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
    auto open = [this] {
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
    if (const char *name = SDL_GetCurrentAudioDriver())
        m_driver = QString::fromUtf8(name);
    return true;
}

void SdlSoundPlayer::stopCurrent()
{
    Mix_HaltChannel(0);
    if (m_current) {
        Mix_FreeChunk(m_current);
        m_current = nullptr;
    }
}

void SdlSoundPlayer::play(const QString &path, quint32 flags)
{
    if (!ensureOpen())
        return;
    stopCurrent();
    if (!QFile::exists(path))
        return;
    m_current = Mix_LoadWAV(QFile::encodeName(path).constData());
    if (!m_current || Mix_PlayChannel(0, m_current, 0) < 0)
        return;
    if (flags & SND_ASYNC)
        return;

    const qint64 bytesPerSecond = qint64(m_frequency) * m_channels * m_bytesPerSample;
    const qint64 lengthMs = bytesPerSecond > 0 ? qint64(m_current->alen) * 1000 / bytesPerSecond : 0;
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
