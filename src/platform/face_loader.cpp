#include "face_loader.h"

#include <QMetaObject>
#include <QPointer>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <condition_variable>
#include <mutex>

#include "pictures.h"

#if defined(Q_OS_LINUX) && defined(__GLIBC__)
#include <malloc.h>
#endif
#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdlib>
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

/// Keeps a long series from creeping up in memory. Left to itself glibc gives each new decoding
/// thread an arena of its own (up to eight per core) and, once a large buffer has been freed, raises
/// the size from which it maps buffers separately, so later faces and backs come from the arenas
/// and leave holes there when freed. Over 300 games resident memory grew by 15 to 25 % with nothing
/// kept; with two arenas and buffers from 128 KiB always mapped on their own (and handed back to
/// the system when freed) it stays within 1 %. Settings given in the environment win.
void tuneAllocatorForDecoding()
{
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        if (!std::getenv("MALLOC_ARENA_MAX"))
            ::mallopt(M_ARENA_MAX, 2);
        if (!std::getenv("MALLOC_MMAP_THRESHOLD_"))
            ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    });
#endif
}

} // namespace

FaceLoader::FaceLoader(QObject *parent) : QObject(parent), m_pool(new QThreadPool(this))
{
    tuneAllocatorForDecoding();
    m_pool->setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

FaceLoader::~FaceLoader()
{
    m_pool->clear();
    m_pool->waitForDone();
}

int FaceLoader::workers() const
{
    return m_pool->maxThreadCount();
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

bool FaceLoader::isDone(int key) const
{
    const auto job = m_jobs.value(key);
    return job && job->done();
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

int FaceLoader::pending() const
{
    int n = 0;
    for (const auto &job : m_jobs)
        n += job->handedOver ? 0 : 1;
    return n;
}
