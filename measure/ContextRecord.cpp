// The context record in the results' JSON and in the start-up line.
#include "ContextRecord.h"

#include <nlohmann/json.hpp>

namespace Vellumar::measure {

nlohmann::json contextJson(const ContextRecord& context) {
    return {{"platform", context.platform},
            {"device", context.device ? nlohmann::json(*context.device) : nlohmann::json(nullptr)},
            {"vendor", context.vendor},
            {"renderer", context.renderer},
            {"version", context.version}};
}

std::string contextLine(const ContextRecord& context) {
    std::string line = "context: " + context.platform;
    if (context.device) {
        line += " " + std::to_string(*context.device);
    }
    return line + ", " + context.vendor + ", " + context.renderer + ", " + context.version;
}

} // namespace Vellumar::measure
