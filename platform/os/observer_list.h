// A list of callbacks that a producer calls with its events.
//
// The list is copied on change, so calling it allocates nothing. Its own lock
// is held only to change the list or to take the current copy, never while a
// callback runs, so a callback may add or remove observers (itself
// included) without deadlock. Each observer has its own lock, held while it
// is called: once remove() has returned, that observer is not called again,
// and a call in progress on another thread has finished. An observer that
// removes itself from inside its callback returns from remove() at once.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

template <typename... Args>
class ObserverList {
public:
    using Callback = std::function<void(Args...)>;

    // Returns a token for remove(); tokens count from 1 and are never reused.
    int add(Callback callback)
    {
        auto entry = std::make_shared<Entry>();
        entry->callback = std::move(callback);
        std::lock_guard<std::mutex> lock(mutex_);
        entry->token = nextToken_++;
        auto next = std::make_shared<Entries>(*entries_);
        next->push_back(std::move(entry));
        entries_ = std::move(next);
        return nextToken_ - 1;
    }

    // An unknown token is ignored.
    void remove(int token)
    {
        std::shared_ptr<Entry> entry;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto next = std::make_shared<Entries>();
            for (const auto& e : *entries_) {
                if (e->token == token) {
                    entry = e;
                } else {
                    next->push_back(e);
                }
            }
            if (!entry) return;
            entries_ = std::move(next);
        }
        std::lock_guard<std::recursive_mutex> calling(entry->calling);
        entry->removed = true;
    }

    void clear()
    {
        std::shared_ptr<const Entries> entries;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            entries = std::move(entries_);
            entries_ = std::make_shared<Entries>();
        }
        for (const auto& entry : *entries) {
            std::lock_guard<std::recursive_mutex> calling(entry->calling);
            entry->removed = true;
        }
    }

    // Calls every observer in the order they were added.
    void notify(Args... args) const
    {
        std::shared_ptr<const Entries> entries;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            entries = entries_;
        }
        for (const auto& entry : *entries) {
            std::lock_guard<std::recursive_mutex> calling(entry->calling);
            if (!entry->removed) entry->callback(args...);
        }
    }

    std::size_t size() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_->size();
    }

private:
    struct Entry {
        int token = 0;
        Callback callback;
        std::recursive_mutex calling;
        bool removed = false;  // guarded by `calling`
    };

    using Entries = std::vector<std::shared_ptr<Entry>>;

    mutable std::mutex mutex_;
    std::shared_ptr<const Entries> entries_ = std::make_shared<Entries>();
    int nextToken_ = 1;
};
