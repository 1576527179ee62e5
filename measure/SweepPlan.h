// Sweeps: "--sweep NAME=FROM:TO:STEP" runs the measurement once for every
// value FROM, FROM+STEP, ... up to TO (the last value does not pass TO when
// STEP does not divide the distance). Several sweeps multiply: the first one
// given is the outermost loop, the last one changes fastest. No sweep at all
// is one configuration with nothing changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vellumar::measure {

struct SweepRange {
    std::string name;
    int32_t from = 0;
    int32_t to = 0;
    int32_t step = 1;

    // How many values it takes: 0 for STEP 0 or one that walks away from TO.
    uint64_t count() const;
    // The k-th value, k < count().
    int32_t valueAt(uint64_t k) const {
        return static_cast<int32_t>(from + static_cast<int64_t>(k) * step);
    }
};

// Reads "NAME=FROM:TO:STEP" into `sweep`, or says what is wrong: a missing
// part, a number that does not fit 32 bits, a STEP that never reaches TO.
// The name is the setting registry's business.
std::optional<std::string> parseSweepRange(std::string_view text, SweepRange& sweep);

struct SweepValue {
    std::string name;
    int32_t value = 0;
};

// One configuration: the swept settings' values, in the order of the sweeps.
using Configuration = std::vector<SweepValue>;

class SweepPlan {
public:
    static constexpr uint64_t maxConfigurations = 1000000;

    // Refuses a name swept twice and a product above maxConfigurations.
    static std::optional<std::string> check(const std::vector<SweepRange>& sweeps);

    // Throws std::invalid_argument for what check() refuses.
    explicit SweepPlan(std::vector<SweepRange> sweeps = {});

    size_t count() const { return total; }
    // The index-th configuration (index < count()), computed on demand.
    Configuration at(size_t index) const;
    // The swept names, outermost first (the CSV's columns).
    std::vector<std::string> names() const;

    // "loopsCount.x=100 curTest=1" for progress lines; empty for none.
    static std::string describe(const Configuration& configuration);

private:
    std::vector<SweepRange> ranges;
    size_t total = 1;
};

} // namespace Vellumar::measure
