#pragma once
// The choice of a backend by name (video, sound): factories registered at
// start-up, one picked by an environment variable, and a built-in fallback
// when the name is unknown or its factory cannot start. Tests install their
// own backend. Safe from any thread.

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace plat {

template <class Backend>
class BackendRegistry {
public:
    // A factory answers null when its backend cannot run here.
    using Factory = std::function<std::shared_ptr<Backend>()>;

    BackendRegistry(const char* variable, const char* defaultName, Factory fallback)
        : variable_(variable), defaultName_(defaultName), fallback_(std::move(fallback)) {}

    void Register(const std::string& name, Factory factory) {
        std::lock_guard hold(mutex_);
        factories_[name] = std::move(factory);
    }

    // Makes the backend the variable asks for (the fallback when it cannot) and installs it.
    std::shared_ptr<Backend> Select() {
        const char* asked = std::getenv(variable_);
        const std::string name = asked && *asked ? asked : defaultName_;
        Factory factory;
        {
            std::lock_guard hold(mutex_);
            if (const auto it = factories_.find(name); it != factories_.end()) factory = it->second;
        }
        std::shared_ptr<Backend> backend = factory ? factory() : nullptr;
        if (!backend) backend = fallback_();
        Install(backend);
        return backend;
    }

    void Install(std::shared_ptr<Backend> backend) {
        std::lock_guard hold(mutex_);
        current_ = std::move(backend);
    }

    // The installed backend; selected on first use when none was installed.
    std::shared_ptr<Backend> Current() {
        {
            std::lock_guard hold(mutex_);
            if (current_) return current_;
        }
        return Select();
    }

private:
    const char* const variable_;
    const char* const defaultName_;
    const Factory fallback_;
    std::mutex mutex_;
    std::map<std::string, Factory> factories_;
    std::shared_ptr<Backend> current_;
};

} // namespace plat
