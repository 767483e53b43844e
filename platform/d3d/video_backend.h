#pragma once
// Choosing the video backend. Backends other than the built-in null one
// register a factory at start-up; TAVRIN_VIDEO names the one to use ("gl"
// when unset), and the null backend stands in when that name is unknown or
// its factory cannot start (no display).

#include <functional>
#include <memory>
#include <string>

namespace plat {

class DeviceBackend;

// A factory answers null when its backend cannot run here.
using VideoBackendFactory = std::function<std::shared_ptr<DeviceBackend>()>;

void RegisterVideoBackend(const std::string& name, VideoBackendFactory factory);

// Makes the backend TAVRIN_VIDEO asks for and installs it.
std::shared_ptr<DeviceBackend> SelectVideoBackend();

// The backend new DirectDraw objects use (tests install their own).
void InstallVideoBackend(std::shared_ptr<DeviceBackend> backend);
// The installed backend; selected on first use when none was installed.
std::shared_ptr<DeviceBackend> CurrentVideoBackend();

} // namespace plat
