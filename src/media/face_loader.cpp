#include "face_loader.h"

#include <QMetaObject>
#include <QPointer>
#include <QRunnable>
#include <QThreadPool>
#include <condition_variable>
#include <mutex>

#include "pictures.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#endif

struct FaceLoader::Job
{
    enum class State { Pending, Running, Done };
    QString path;
    QSize size;
    std::mutex mutex;
    std::condition_variable doneSignal;
    State state = State::Pending;
    QImage result;
    bool handedOver = false; // touched on the owner's thread only

    /// Claims the job for the calling thread; false if another thread has it or it is done.
    bool claim()
    {
        std::lock_guard lock(mutex);
        if (state != State::Pending)
            return false;
        state = State::Running;
        return true;
    }

    void run()
    {
        QImage image = Pictures::loadScaled(path, size);
        std::lock_guard lock(mutex);
        result = std::move(image);
        state = State::Done;
        doneSignal.notify_all();
    }

    QImage wait()
    {
        std::unique_lock lock(mutex);
        doneSignal.wait(lock, [this] { return state == State::Done; });
        return result;
    }

    bool done()
    {
        std::lock_guard lock(mutex);
        return state == State::Done;
    }
};

namespace {

/// Background decodes give way to the thread that owns the loader: while the board is being
/// built, or a clicked card's face is decoded on the spot, the workers would otherwise take the
/// cores from it (with two workers on two cores a clicked face took about three times as long as
/// its decode alone). When that thread is idle the workers still get every core. Linux nice
/// values are per thread; the pool is the loader's own, so no other work runs on these threads.
void lowerWorkerPriority()
{
#ifdef Q_OS_LINUX
    thread_local bool lowered = false;
    if (!lowered) {
        lowered = true;
        const int tid = int(gettid());
        errno = 0;
        const int current = getpriority(PRIO_PROCESS, tid);
        if (errno == 0)
            setpriority(PRIO_PROCESS, tid, qMin(19, current + 10));
    }
#endif
}

} // namespace

// A thread pool has one thread per core unless told otherwise.
FaceLoader::FaceLoader(QObject *parent) : QObject(parent), m_pool(new QThreadPool(this)) {}

FaceLoader::~FaceLoader()
{
    m_pool->clear();
    m_pool->waitForDone();
}

void FaceLoader::request(int key, const QString &path, const QSize &size)
{
    if (m_jobs.contains(key))
        return;
    auto job = std::make_shared<Job>();
    job->path = path;
    job->size = size;
    m_jobs.insert(key, job);
    QPointer<FaceLoader> self(this);
    m_pool->start([job, self, key] {
        lowerWorkerPriority();
        if (!job->claim())
            return;
        job->run();
        // Hand the picture over on the owner's thread; nothing arrives once the owner is gone.
        if (self)
            QMetaObject::invokeMethod(self, [self, key] {
                if (self)
                    self->deliver(key);
            }, Qt::QueuedConnection);
    });
}

void FaceLoader::deliver(int key)
{
    const auto job = m_jobs.value(key);
    if (!job || job->handedOver)
        return;
    job->handedOver = true;
    emit decoded(key, job->wait());
}

QImage FaceLoader::image(int key)
{
    const auto job = m_jobs.value(key);
    if (!job)
        return {};
    if (job->claim())
        job->run();
    job->handedOver = true;
    return job->wait();
}
