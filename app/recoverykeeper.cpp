#include "app/recoverykeeper.h"

#include "app/form1.h"
#include "app/month.h"
#include "ledger/recovery.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

constexpr int KeepWithinMs = 500;

} // namespace

// The thread that writes the recovery file: only the newest month waiting counts, and a removal
// asked for after a write comes after it.
class RecoveryWriter {
public:
    explicit RecoveryWriter(std::string path)
        : path_(std::move(path))
        , thread_([this] { Run(); })
    {
    }
    ~RecoveryWriter()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void Write(Recovery recovery)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            next_ = std::move(recovery);
            remove_ = false;
        }
        wake_.notify_all();
    }

    void Remove()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            next_.reset();
            remove_ = true;
        }
        wake_.notify_all();
    }

    // Waits until what was asked for is done.
    void Finish()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return !next_ && !remove_ && !busy_; });
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || next_ || remove_; });
            if (!next_ && !remove_)
                return;
            std::optional<Recovery> recovery = std::move(next_);
            bool remove = remove_;
            next_.reset();
            remove_ = false;
            busy_ = true;
            lock.unlock();
            if (recovery) {
                try {
                    WriteRecovery(path_, std::move(*recovery));
                } catch (...) {
                    // A full disk keeps no recovery; the month on screen is as it was.
                }
            } else if (remove) {
                ::unlink(path_.c_str());
            }
            lock.lock();
            busy_ = false;
            done_.notify_all();
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::optional<Recovery> next_;
    bool remove_ = false;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

RecoveryKeeper::RecoveryKeeper(TForm1& form)
    : QObject(&form)
    , form_(form)
    , writer_(std::make_unique<RecoveryWriter>(OwnRecoveryFile()))
{
    soon_.setSingleShot(true);
    connect(&soon_, &QTimer::timeout, this, &RecoveryKeeper::Keep);
    keptRevision_ = form_.History->Steps().Revision();
    toolkit::AddActionWatcher(this);
}

RecoveryKeeper::~RecoveryKeeper()
{
    toolkit::RemoveActionWatcher(this);
    Forget();
}

void RecoveryKeeper::ActionStarts(const toolkit::Action&) { ++depth_; }

void RecoveryKeeper::ActionEnds(const toolkit::Action& action)
{
    if (depth_ > 0 && --depth_ > 0)
        return;
    // Saved or given up: the file goes at once.
    if (!HoldsUnsavedWork()) {
        if (fileKept_)
            Keep();
        return;
    }
    if (form_.History->Steps().Revision() == keptRevision_)
        return;
    if (action.Kind == toolkit::Effect::Changes)
        QTimer::singleShot(0, this, &RecoveryKeeper::Keep);  // after the repaint the command caused
    else if (!soon_.isActive())
        soon_.start(KeepWithinMs);
}

bool RecoveryKeeper::HoldsUnsavedWork() const
{
    return form_.LedgerChanged || (form_.OpenList && form_.ListEdited());
}

void RecoveryKeeper::Keep()
{
    soon_.stop();
    keptRevision_ = form_.History->Steps().Revision();
    fileKept_ = HoldsUnsavedWork();
    if (fileKept_)
        writer_->Write(form_.CaptureRecovery());
    else
        writer_->Remove();
}

void RecoveryKeeper::KeepNow()
{
    Keep();
    writer_->Finish();
}

void RecoveryKeeper::Forget()
{
    soon_.stop();
    fileKept_ = false;
    writer_->Remove();
    writer_->Finish();
}
