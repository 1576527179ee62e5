// The EGL side of the program run: the device chosen and checked before any
// file is written, and the device list, each line read from a context made
// on that device and let go again.
#include "HeadlessRun.h"

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Vellumar::OffscreenContext;
using Vellumar::OffscreenDevice;
using Vellumar::OffscreenError;

std::string glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// "VENDOR, RENDERER" of a context made on the device, or why none could be.
std::string describedContext(std::optional<int> device) {
    try {
        const OffscreenContext context(device);
        const Vellumar::measure::ContextRecord record = currentContextRecord(&context);
        return record.vendor + ", " + record.renderer;
    } catch (const OffscreenError& error) {
        return std::string("no context: ") + error.what();
    }
}

std::string deviceCount(size_t count) {
    if (count == 0) {
        return "EGL offers no device here (only Mesa's surfaceless platform)";
    }
    return "there " +
           std::string(count == 1 ? "is 1 EGL device"
                                  : "are " + std::to_string(count) + " EGL devices") +
           " (see --list-devices)";
}

} // namespace

Vellumar::measure::ContextRecord currentContextRecord(const OffscreenContext* offscreen) {
    Vellumar::measure::ContextRecord record;
    record.platform = offscreen ? offscreen->platform() : "glx";
    record.device = offscreen ? offscreen->deviceIndex() : std::nullopt;
    record.vendor = glText(GL_VENDOR);
    record.renderer = glText(GL_RENDERER);
    record.version = glText(GL_VERSION);
    return record;
}

bool displayNamed(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) {
            return true;
        }
    }
    return false;
}

bool runsWithoutWindow(const Vellumar::measure::RunOptions& options, bool display) {
    return options.unattended() && (options.headless || options.device || !display);
}

std::unique_ptr<OffscreenContext> openHeadlessContext(const Vellumar::measure::RunOptions& options,
                                                      std::ostream& errors, int& status) {
    status = 1;
    try {
        const std::vector<OffscreenDevice> devices = OffscreenContext::devices();
        if (options.device && static_cast<size_t>(*options.device) >= devices.size()) {
            errors << "glintmoth: --device " << *options.device << ": "
                   << deviceCount(devices.size()) << "\n";
            status = Vellumar::measure::usageErrorStatus;
            return nullptr;
        }
        const std::optional<int> device = options.device ? std::optional<int>(*options.device)
                                                         : OffscreenContext::defaultDevice(devices);
        return std::make_unique<OffscreenContext>(device);
    } catch (const OffscreenError& error) {
        errors << "glintmoth: " << error.what() << "\n";
        return nullptr;
    }
}

int listDevices(std::ostream& out, std::ostream& errors) {
    std::vector<OffscreenDevice> devices;
    try {
        devices = OffscreenContext::devices();
    } catch (const OffscreenError& error) {
        errors << "glintmoth: " << error.what() << "\n";
        return 1;
    }
    if (devices.empty()) {
        out << "surfaceless: " << describedContext(std::nullopt) << "\n";
    }
    for (const OffscreenDevice& device : devices) {
        out << device.index << ": " << describedContext(device.index)
            << (device.drmNode.empty() ? "" : ", " + device.drmNode) << "\n";
    }
    out << std::flush;
    return 0;
}
