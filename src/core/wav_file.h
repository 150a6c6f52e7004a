#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

/// The output format sounds are converted to before playing.
struct AudioFormat
{
    int frequency = 44100;
    int channels = 2;
    int bytesPerSample = 2;
};

/// Limits on a sound file handed to the mixer. A sound file is untrusted data: its header may
/// claim far more than the file holds, or a rate that makes a tiny file convert to gigabytes.
struct WavLimits
{
    qint64 maxFileBytes = 256LL * 1024 * 1024;      // about 25 minutes of CD-quality sound
    qint64 maxConvertedBytes = 256LL * 1024 * 1024; // the same, as the device plays it
};

/// Checks a RIFF/WAVE file read into `bytes` before the mixer sees it, and mends the sizes the
/// mixer would trust: the RIFF size and every chunk size are cut to what the file really holds
/// (so nothing is allocated for bytes that are not there). Returns false, leaving the bytes
/// unspecified, for anything that is not a WAVE file with a format and a data chunk, for a
/// format with no channels or no rate, and for a sound that would take more than
/// `limits.maxConvertedBytes` once converted to `device`.
bool checkWav(QByteArray &bytes, const AudioFormat &device, const WavLimits &limits = {});

/// Reads the file at `path` and checks it as above; an empty array if it cannot be played.
/// Files larger than `limits.maxFileBytes` are not read.
QByteArray readPlayableWav(const QString &path, const AudioFormat &device,
                           const WavLimits &limits = {});
