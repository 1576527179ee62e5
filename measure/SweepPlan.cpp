// Configurations are numbered like a mixed-radix number whose last digit is
// the last sweep, so any one of them can be computed without the others.
#include "SweepPlan.h"

#include <algorithm>
#include <stdexcept>

#include "SettingRegistry.h"

namespace Vellumar::measure {

uint64_t SweepRange::count() const {
    const int64_t distance = static_cast<int64_t>(to) - from;
    if (step == 0 || (distance > 0 && step < 0) || (distance < 0 && step > 0)) {
        return 0;
    }
    return static_cast<uint64_t>(distance / step) + 1;
}

std::optional<std::string> parseSweepRange(std::string_view text, SweepRange& sweep) {
    const size_t equals = text.find('=');
    SweepRange parsed;
    parsed.name = std::string(trimBlanks(text.substr(0, equals)));
    std::string_view range = text.substr(equals + 1);
    if (equals == std::string_view::npos || parsed.name.empty() ||
        std::count(range.begin(), range.end(), ':') != 2) {
        return "expected NAME=FROM:TO:STEP";
    }
    int32_t* const ends[3] = {&parsed.from, &parsed.to, &parsed.step};
    const char* const endNames[3] = {"FROM", "TO", "STEP"};
    for (int i = 0; i < 3; ++i) {
        const std::string_view part = range.substr(0, range.find(':'));
        range.remove_prefix(std::min(part.size() + 1, range.size()));
        const std::optional<int64_t> number = parseWholeNumber(trimBlanks(part));
        if (!number || *number < INT32_MIN || *number > INT32_MAX) {
            return std::string(endNames[i]) + " '" + std::string(part) +
                   "' is not a whole number in the 32-bit range";
        }
        *ends[i] = static_cast<int32_t>(*number);
    }
    if (parsed.count() == 0) {
        return parsed.step == 0 ? "STEP 0 never reaches TO"
                                : "STEP " + std::to_string(parsed.step) + " walks away from TO (" +
                                      (parsed.from < parsed.to ? "FROM < TO needs STEP > 0)"
                                                               : "FROM > TO needs STEP < 0)");
    }
    sweep = std::move(parsed);
    return std::nullopt;
}

std::optional<std::string> SweepPlan::check(const std::vector<SweepRange>& sweeps) {
    uint64_t product = 1;
    for (size_t i = 0; i < sweeps.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (sweeps[j].name == sweeps[i].name) {
                return "'" + sweeps[i].name + "' is swept twice";
            }
        }
        const uint64_t count = sweeps[i].count();
        if (count == 0) {
            return "the sweep of '" + sweeps[i].name + "' has no values";
        }
        // Compared by division so that the product itself never overflows.
        if (count > maxConfigurations / product) {
            return "the sweeps make more than " + std::to_string(maxConfigurations) +
                   " configurations";
        }
        product *= count;
    }
    return std::nullopt;
}

SweepPlan::SweepPlan(std::vector<SweepRange> sweeps) : ranges(std::move(sweeps)) {
    if (std::optional<std::string> problem = check(ranges)) {
        throw std::invalid_argument(*problem);
    }
    for (const SweepRange& sweep : ranges) {
        total *= static_cast<size_t>(sweep.count());
    }
}

Configuration SweepPlan::at(size_t index) const {
    Configuration configuration(ranges.size());
    uint64_t rest = index % total;
    for (size_t i = ranges.size(); i-- > 0;) {
        const uint64_t count = ranges[i].count();
        configuration[i] = {ranges[i].name, ranges[i].valueAt(rest % count)};
        rest /= count;
    }
    return configuration;
}

std::vector<std::string> SweepPlan::names() const {
    std::vector<std::string> list;
    for (const SweepRange& sweep : ranges) {
        list.push_back(sweep.name);
    }
    return list;
}

std::string SweepPlan::describe(const Configuration& configuration) {
    std::string text;
    for (const SweepValue& value : configuration) {
        text += (text.empty() ? "" : " ") + value.name + "=" + std::to_string(value.value);
    }
    return text;
}

} // namespace Vellumar::measure
