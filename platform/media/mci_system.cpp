// The layer's own media control system: its open devices by id, and the
// main-thread notification queue.
#include <deque>
#include <map>
#include <mutex>

#include "platform/media/cd_drive.h"
#include "platform/media/mci.h"
#include "platform/paths.h"

namespace plat {
namespace {

// The wave-audio device: opened for its mixer lines, it plays nothing.
class WaveAudioDevice final : public MciDevice {
public:
    MciError Status(uint32_t item, uint32_t, uint32_t* value) override {
        if (item != kMciStatusMode || !value) return kMciErrUnsupportedFunction;
        *value = kMciModeStop;
        return kMciOk;
    }
};

class LayerMci final : public MciSystem {
public:
    MciError Open(uint32_t deviceType, MciDeviceId* id) override {
        if (!id) return kMciErrUnsupportedFunction;
        std::unique_ptr<MciDevice> device;
        std::lock_guard hold(mutex_);
        const MciDeviceId next = nextId_;
        if (deviceType == kMciDeviceCdAudio) device = std::make_unique<CdDrive>(next, ResolvePath("cd"));
        else if (deviceType == kMciDeviceWaveAudio) device = std::make_unique<WaveAudioDevice>();
        else return kMciErrCannotLoadDriver;
        devices_[next] = std::move(device);
        ++nextId_;
        *id = next;
        return kMciOk;
    }

    MciError Close(MciDeviceId id) override {
        std::unique_ptr<MciDevice> closing;
        {
            std::lock_guard hold(mutex_);
            const auto it = devices_.find(id);
            if (it == devices_.end()) return kMciErrInvalidDeviceId;
            closing = std::move(it->second);
            devices_.erase(it);
        }
        return kMciOk;
    }

    MciError SetTimeFormat(MciDeviceId id, uint32_t format) override {
        return With(id, [&](MciDevice& d) { return d.SetTimeFormat(format); });
    }
    MciError Status(MciDeviceId id, uint32_t item, uint32_t track, uint32_t* value) override {
        return With(id, [&](MciDevice& d) { return d.Status(item, track, value); });
    }
    MciError Play(MciDeviceId id, uint32_t flags, uint32_t from, uint32_t to) override {
        return With(id, [&](MciDevice& d) { return d.Play(flags, from, to); });
    }
    MciError Stop(MciDeviceId id, uint32_t) override {
        return With(id, [](MciDevice& d) { return d.Stop(); });
    }
    MciError Pause(MciDeviceId id, uint32_t) override {
        return With(id, [](MciDevice& d) { return d.Pause(); });
    }
    MciError Resume(MciDeviceId id, uint32_t) override {
        return With(id, [](MciDevice& d) { return d.Resume(); });
    }

    void CatchUp() {
        std::lock_guard hold(mutex_);
        for (auto& [id, device] : devices_) device->CatchUp();
    }

private:
    // Devices are opened and closed on the main thread, which also commands
    // them: the table's lock is held through a command.
    template <class Command>
    MciError With(MciDeviceId id, Command command) {
        std::lock_guard hold(mutex_);
        const auto it = devices_.find(id);
        return it == devices_.end() ? kMciErrInvalidDeviceId : command(*it->second);
    }

    std::mutex mutex_;
    std::map<MciDeviceId, std::unique_ptr<MciDevice>> devices_;
    MciDeviceId nextId_ = 1;
};

struct Installed {
    std::mutex mutex;
    std::shared_ptr<LayerMci> layer = std::make_shared<LayerMci>();
    std::shared_ptr<MciSystem> current;
};

Installed& TheInstalled() {
    static Installed installed;
    return installed;
}

struct Queue {
    std::mutex mutex;
    std::deque<MciNotification> items;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

} // namespace

std::shared_ptr<MciSystem> CurrentMciSystem() {
    Installed& installed = TheInstalled();
    std::lock_guard hold(installed.mutex);
    if (installed.current) return installed.current;
    return installed.layer;
}

void InstallMciSystem(std::shared_ptr<MciSystem> system) {
    Installed& installed = TheInstalled();
    std::lock_guard hold(installed.mutex);
    installed.current = std::move(system);
}

void PostMciNotify(uint32_t flags, MciDeviceId device) {
    Queue& queue = TheQueue();
    std::lock_guard hold(queue.mutex);
    queue.items.push_back({flags, device});
}

bool TakeMciNotify(MciNotification* out) {
    std::shared_ptr<LayerMci> layer;
    {
        Installed& installed = TheInstalled();
        std::lock_guard hold(installed.mutex);
        layer = installed.layer;
    }
    layer->CatchUp();
    Queue& queue = TheQueue();
    std::lock_guard hold(queue.mutex);
    if (queue.items.empty()) return false;
    *out = queue.items.front();
    queue.items.pop_front();
    return true;
}

} // namespace plat
