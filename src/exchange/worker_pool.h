#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tl::exchange {

// A few threads that run jobs in the order they were queued. Jobs must not
// touch the user interface or the data file: they compute, the caller's
// thread writes. The destructor runs every queued job, then joins.
class WorkerPool {
public:
    // threads 0: one per processor.
    explicit WorkerPool(unsigned threads = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void submit(std::function<void()> job);

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

}  // namespace tl::exchange
