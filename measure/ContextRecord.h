// Which OpenGL context measured a run: the window's (GLX) or an off-screen
// one on an EGL device or Mesa's surfaceless platform, with the driver's own
// names for it. Batch results, a capture's summary.json and the start-up lines
// of those runs carry it, so that files from two machines say which GPU made
// them. Plain values: the GL side fills it in.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace Vellumar::measure {

struct ContextRecord {
    std::string platform; // "glx", "egl-device" or "egl-surfaceless"
    std::optional<int> device;
    std::string vendor;
    std::string renderer;
    std::string version;
};

// {"platform", "device" (null without one), "vendor", "renderer", "version"}.
nlohmann::json contextJson(const ContextRecord& context);

// "context: egl-device 0, VENDOR, RENDERER, VERSION", one start-up line.
std::string contextLine(const ContextRecord& context);

} // namespace Vellumar::measure
