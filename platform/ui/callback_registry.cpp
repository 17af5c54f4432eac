#include "platform/ui/callback_registry.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace {

// Filled at start-up (and by tests), read whenever a panel is loaded.
class CallbackRegistry {
public:
    void add(const CallbackEntry& e)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!entries_.emplace(e.name, e).second) {
            std::fprintf(stderr, "callback registered twice: %s\n", e.name);
            std::abort();
        }
    }
    const CallbackEntry* find(const std::string& name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = entries_.find(name);
        return it == entries_.end() ? nullptr : &it->second;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.clear();
    }

private:
    std::mutex mutex_;
    std::map<std::string, CallbackEntry> entries_;
};

// Made on first use: callbacks may be registered while the program's statics are made.
CallbackRegistry& registry()
{
    static CallbackRegistry r;
    return r;
}

}  // namespace

void RegisterCallbacks(const CallbackEntry* entries, int count)
{
    for (int i = 0; i < count; ++i) registry().add(entries[i]);
}

void ClearCallbacks()
{
    registry().clear();
}

const CallbackEntry* FindCallback(const std::string& name)
{
    return registry().find(name);
}
