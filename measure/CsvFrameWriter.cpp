// Rows are built in one string per configuration and handed to the buffered
// file, so a sweep of many frames costs one formatting pass.
#include "CsvFrameWriter.h"

#include "NumberText.h"

namespace Vellumar::measure {

CsvFrameWriter::CsvFrameWriter(std::string path, std::vector<std::string> sweptNames)
    : file(std::move(path)), names(std::move(sweptNames)) {}

std::optional<std::string> CsvFrameWriter::open() {
    if (std::optional<std::string> problem = file.open()) {
        return problem;
    }
    std::string header = "config,frame";
    for (const std::string& name : names) {
        header += "," + name;
    }
    header += ",gpu_s,wall_s\n";
    file.write(header);
    return std::nullopt;
}

template <typename FrameAt>
std::optional<std::string> CsvFrameWriter::writeRows(size_t configIndex,
                                                     const Configuration& configuration,
                                                     size_t count, FrameAt frameAt) {
    if (!file.isOpen()) {
        return file.path() + ": not open";
    }
    if (configuration.size() != names.size()) {
        return file.path() + ": configuration has " + std::to_string(configuration.size()) +
               " swept values, the header " + std::to_string(names.size());
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (configuration[i].name != names[i]) {
            return file.path() + ": configuration names '" + configuration[i].name +
                   "' where the header has '" + names[i] + "'";
        }
    }
    std::string settingColumns;
    for (const SweepValue& value : configuration) {
        settingColumns += "," + std::to_string(value.value);
    }
    const std::string configColumn = std::to_string(configIndex) + ",";
    std::string rows;
    for (size_t frame = 0; frame < count; ++frame) {
        const FrameTime& time = frameAt(frame);
        rows += configColumn + std::to_string(frame) + settingColumns + "," +
                formatDecimal(time.gpuSeconds) + "," + formatDecimal(time.wallSeconds) + "\n";
    }
    file.write(rows);
    return std::nullopt;
}

std::optional<std::string> CsvFrameWriter::writeConfiguration(size_t configIndex,
                                                              const Configuration& configuration,
                                                              const FrameTime* frames,
                                                              size_t count) {
    return writeRows(configIndex, configuration, count,
                     [frames](size_t i) -> const FrameTime& { return frames[i]; });
}

std::optional<std::string> CsvFrameWriter::writeConfiguration(size_t configIndex,
                                                              const Configuration& configuration,
                                                              const FrameTimeRing& ring) {
    return writeRows(configIndex, configuration, ring.sizeSinceChange(),
                     [&ring](size_t i) -> const FrameTime& { return ring.sinceChange(i); });
}

std::optional<std::string> CsvFrameWriter::commit() { return file.commit(); }

} // namespace Vellumar::measure
