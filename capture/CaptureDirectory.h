// Writes a capture and its analysis as a directory:
//   summary.json, fragments.npy, fragments.csv (up to maxCsvFragments rows;
//   summary.json's fragments_csv says why it is left out above that),
//   order.png, time.png (with the shader clock, and its scale under it),
//   subgroups.png (with ballot), tile.png (the first full tile enlarged),
//   overdraw.png, last.png, primitive-order.png (with primitive ids),
//   replay/010.png, 025, 050, 075, 100: the order view cut at 10 %, 25 %, ...
// PNG rows go top-down as image viewers expect. The directory is written
// whole or not at all through measure's WholeDirectory, which replaces an
// existing DIR only when it is empty or holds an earlier capture and nothing
// else. Any failure leaves DIR as it was and throws one WriteError, "cannot
// write capture to 'DIR': ...".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"
#include "WholeFile.h"

namespace Vellumar::capture {

// A CSV of more fragments would run to hundreds of megabytes.
inline constexpr std::size_t maxCsvFragments = std::size_t{1} << 20;

// The replay cuts written, in per cent.
inline constexpr int replayPercents[] = {10, 25, 50, 75, 100};

// Returns the names of the files written, relative to DIR. `more` goes into
// summary.json beside the capture's own fields.
std::vector<std::string>
writeCaptureDirectory(const std::string& directory, const FragmentCapture& capture,
                      const OrderIndex& index, const PatternReport& report,
                      const nlohmann::json& more = nlohmann::json::object());
// Analyses the capture first.
std::vector<std::string> writeCaptureDirectory(const std::string& directory,
                                               const FragmentCapture& capture);

} // namespace Vellumar::capture
