#include "split/PieceFlusher.h"

#include "jobs/StopAwareWait.h"

#include <utility>

namespace kalvex {

namespace {

template <class Written> void closeQuietly(Written& written) noexcept {
    try {
        if (written.owned)
            written.owned->close();
    } catch (...) {
        // On the way out of a failure, which is what gets reported.
    }
}

} // namespace

PieceFlusher::PieceFlusher()
    : thread_([this](const std::stop_token& stop) { startWritebacks(stop); }) {}

PieceFlusher::~PieceFlusher() {
    stopAndWake(thread_, mutex_, changed_);
    thread_.join();
    for (Written& written : started_)
        closeQuietly(written);
    for (Written& written : handedOver_)
        closeQuietly(written);
}

void PieceFlusher::add(std::unique_ptr<files::File> piece) {
    files::File& file = *piece;
    {
        const std::lock_guard lock(mutex_);
        handedOver_.push_back({&file, std::move(piece)});
    }
    changed_.notify_all();
}

void PieceFlusher::addOpen(files::File& piece) {
    {
        const std::lock_guard lock(mutex_);
        handedOver_.push_back({&piece, nullptr});
    }
    changed_.notify_all();
}

std::size_t PieceFlusher::waiting() {
    const std::lock_guard lock(mutex_);
    return handedOver_.size() + started_.size();
}

void PieceFlusher::startWritebacks(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!waitUnlessStopped(changed_, lock, stop, [this] { return !handedOver_.empty(); }))
            return; // stopped
        Written next = std::move(handedOver_.front());
        handedOver_.pop_front();
        starting_ = true;
        lock.unlock();
        next.piece->startWriteback();
        lock.lock();
        started_.push_back(std::move(next));
        starting_ = false;
        changed_.notify_all();
    }
}

void PieceFlusher::flushAll() {
    std::vector<Written> written;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return handedOver_.empty() && !starting_; });
        written.swap(started_);
    }
    for (std::size_t at = 0; at < written.size(); ++at) {
        try {
            written[at].piece->flush();
            if (auto owned = std::move(written[at].owned))
                owned->close();
        } catch (...) {
            // What is left is closed, unflushed, with the others.
            const std::lock_guard lock(mutex_);
            for (std::size_t rest = at; rest < written.size(); ++rest)
                started_.push_back(std::move(written[rest]));
            throw;
        }
    }
}

} // namespace kalvex
