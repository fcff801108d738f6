// A thread of its own that works through items in the order they were
// queued, beside the thread that queues them: Queue hands an item over
// (waiting while `capacity` items wait), Drain waits until every item
// queued is done. Destroying it ends the thread after the items still
// queued are done, or, when it was told not to finish them, after the one
// in hand.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

template <class Item>
class OrderedWorker {
public:
    enum class AtEnd { FinishQueued, DropQueued };

    explicit OrderedWorker(std::function<void(Item&)> work, size_t capacity = std::numeric_limits<size_t>::max(),
                           AtEnd atEnd = AtEnd::FinishQueued)
        : m_work(std::move(work)), m_capacity(capacity), m_atEnd(atEnd), m_thread([this] { Run(); })
    {
    }
    ~OrderedWorker()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    void Queue(Item item)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.size() < m_capacity; });
        m_queue.push_back(std::move(item));
        m_changed.notify_all();
    }
    // What the work did is seen by the caller once this returns.
    void Drain()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && !m_working; });
    }

private:
    void Run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty() || (m_stop && m_atEnd == AtEnd::DropQueued)) return;
            Item item = std::move(m_queue.front());
            m_queue.pop_front();
            m_working = true;
            m_changed.notify_all(); // room in the queue
            lock.unlock();
            m_work(item);
            lock.lock();
            m_working = false;
            m_changed.notify_all();
        }
    }

    std::function<void(Item&)> m_work;
    size_t m_capacity;
    AtEnd m_atEnd;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_queue;
    bool m_working = false; // an item taken off the queue is being worked on
    bool m_stop = false;
    std::thread m_thread; // last: starts when everything else is ready
};
