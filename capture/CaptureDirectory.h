// Writes a capture and its analysis as a directory:
//   summary.json, fragments.csv,
//   order.png, time.png (with the shader clock), subgroups.png (with ballot),
//   replay/010.png, 025, 050, 075, 100: the order view cut at 10 %, 25 %, ...
// PNG rows go top-down as image viewers expect. The write is all or nothing:
// everything goes into a fresh directory next to DIR, which then takes DIR's
// place (a DIR already there is replaced). Any failure removes what was
// written and throws one CaptureWriteError naming DIR and the cause.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"

namespace Vellumar::capture {

class CaptureWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CaptureDirectory {
public:
    // The replay cuts written, in per cent.
    static const std::vector<int>& replayPercents();

    // Returns the names of the files written, relative to DIR.
    static std::vector<std::string> write(const std::string& directory,
                                          const FragmentCapture& capture, const OrderIndex& index,
                                          const PatternReport& report);
    // Analyses the capture first.
    static std::vector<std::string> write(const std::string& directory,
                                          const FragmentCapture& capture);
};

} // namespace Vellumar::capture
