#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <memory>

class QThreadPool;

/// Decodes card faces in the background, each picture once, at the size it is shown.
///
/// Requests run on a pool of worker threads (one per core), at a lower priority than the thread
/// that owns the loader; each decoded picture is handed back on that thread through decoded().
/// A face that is needed before its worker has finished can be taken at once: image() decodes it
/// on the calling thread if no worker has started it yet, or waits for the worker that has.
class FaceLoader : public QObject
{
    Q_OBJECT
public:
    explicit FaceLoader(QObject *parent = nullptr);
    /// Drops the requests not yet started and waits for the ones running.
    ~FaceLoader() override;

    /// Queues a decode of the picture at `path` at `size` device pixels, under `key`.
    void request(int key, const QString &path, const QSize &size);
    /// The decoded picture under `key` (null if it could not be decoded), decoding or waiting as
    /// needed. Once taken, decoded() is not emitted for it.
    QImage image(int key);

signals:
    /// A picture was decoded by a worker; a null image means it could not be decoded.
    void decoded(int key, const QImage &image);

private:
    struct Job;
    void deliver(int key);

    QThreadPool *m_pool;
    QHash<int, std::shared_ptr<Job>> m_jobs;
};
