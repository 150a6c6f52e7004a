#include "sound.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <SDL.h>
#include <SDL_mixer.h>

#include "platform.h"
#include "wav_file.h"

int sndPlaySoundA(const QString &path, quint32 flags)
{
    Platform::sound().play(path, flags);
    return 1;
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    if (m_open) {
        stopCurrent();
        for (const KeptCue &cue : std::as_const(m_kept))
            Mix_FreeChunk(cue.chunk);
        m_kept.clear();
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
    return true;
}

void SdlSoundPlayer::stopCurrent()
{
    Mix_HaltChannel(0);
    if (m_current && !m_currentKept)
        Mix_FreeChunk(m_current);
    m_current = nullptr;
    m_currentKept = false;
}

Mix_Chunk *SdlSoundPlayer::load(const QString &path, bool &kept)
{
    kept = false;
    const QFileInfo info(path);
    const auto it = m_kept.find(path);
    if (it != m_kept.end()) {
        if (info.isFile() && it->fileSize == info.size() && it->modified == info.lastModified()) {
            kept = true;
            return it->chunk;
        }
        // The file has changed or gone since: play what it holds now, if anything.
        m_keptBytes -= it->chunk->alen;
        Mix_FreeChunk(it->chunk);
        m_kept.erase(it);
    }

    const AudioFormat device{m_frequency, m_channels, m_bytesPerSample};
    const QByteArray bytes = readPlayableWav(path, device);
    if (bytes.isEmpty())
        return nullptr;
    SDL_RWops *rw = SDL_RWFromConstMem(bytes.constData(), int(bytes.size()));
    Mix_Chunk *chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk)
        return nullptr;
    if (chunk->alen <= kMaxKeptCueBytes && m_keptBytes + chunk->alen <= kMaxKeptBytes) {
        m_kept.insert(path, KeptCue{chunk, info.size(), info.lastModified()});
        m_keptBytes += chunk->alen;
        kept = true;
    }
    return chunk;
}

void SdlSoundPlayer::play(const QString &path, quint32 flags)
{
    if (!ensureOpen())
        return;
    stopCurrent();
    m_current = load(path, m_currentKept);
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
