// The bar's pieces are fixed-width except the configuration text, which is
// cut to whatever room the width leaves.
#include "ProgressLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Vellumar::measure {

namespace {

constexpr size_t barCells = 20;

// "3/12"; the index shown counts from 1 and never passes the total.
std::string position(const Progress& progress) {
    const size_t shown = std::min(progress.index + 1, std::max<size_t>(progress.total, 1));
    return std::to_string(shown) + "/" + std::to_string(progress.total);
}

// "m:ss" or "h:mm:ss", rounded up to whole seconds; "?" when unknown.
std::string timeLeft(const Progress& progress) {
    const size_t done = std::min(progress.index, progress.total);
    const double seconds = done == 0 ? -1.0
                                     : progress.elapsedSeconds / static_cast<double>(done) *
                                           static_cast<double>(progress.total - done);
    // About 31 years: anything longer is no estimate anyone can use.
    if (!(seconds >= 0.0) || seconds > 1e9) {
        return "?";
    }
    const long long whole = static_cast<long long>(std::ceil(seconds));
    char buffer[48];
    if (whole >= 3600) {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", whole / 60, whole % 60);
    }
    return buffer;
}

} // namespace

std::string progressBar(const Progress& progress, size_t width) {
    const size_t done = std::min(progress.index, progress.total);
    const size_t filled = progress.total ? done * barCells / progress.total : 0;
    std::string line = "\r[" + std::string(filled, '#') + std::string(barCells - filled, '.') +
                       "]  " + position(progress) + "  ";
    const std::string left = "  " + timeLeft(progress) + " left";
    // One column stays free: writing the last one makes some terminals wrap.
    const size_t room = width > 0 ? width - 1 : 0;
    const size_t used = line.size() - 1 + left.size();
    std::string text(progress.configuration);
    if (used >= room) {
        text.clear();
    } else if (text.size() > room - used) {
        const size_t keep = room - used;
        text = keep >= 3 ? text.substr(0, keep - 3) + "..." : text.substr(0, keep);
    }
    line += text + left;
    if (line.size() - 1 < room) {
        line += std::string(room - (line.size() - 1), ' ');
    }
    return line;
}

std::string progressPlainLine(const Progress& progress) {
    std::string line = "configuration " + position(progress);
    if (!progress.configuration.empty()) {
        line += ": " + std::string(progress.configuration);
    }
    return line + " (" + timeLeft(progress) + " left)\n";
}

} // namespace Vellumar::measure
