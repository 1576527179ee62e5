// Each file is made in memory and handed whole to the directory writer,
// which keeps the rules on what may be replaced.
#include "CaptureDirectory.h"

#include <cstdio>

#include "CapturePictures.h"
#include "FragmentCsv.h"
#include "FragmentNpy.h"
#include "FragmentRows.h"
#include "PatternAnalysis.h"
#include "PixelLayers.h"
#include "SummaryJson.h"
#include "ViewBuilder.h"
#include "WholeDirectory.h"

namespace Vellumar::capture {

namespace {

std::vector<std::string> writeContents(measure::WholeDirectory& directory,
                                       const FragmentCapture& capture, const OrderIndex& index,
                                       const PatternReport& report, const nlohmann::json& more) {
    std::vector<std::string> written;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        directory.writeFile(name, bytes);
        written.push_back(name);
    };
    ViewBuilder views(capture, index);
    std::vector<std::uint8_t> rgb;
    if (capture.width > 0 && capture.height > 0) {
        for (View view :
             {View::order, View::subgroups, View::overdraw, View::last, View::primitiveOrder}) {
            if (views.available(view)) {
                write(std::string(viewName(view)) + ".png",
                      encodePng(capture.width, capture.height, views.build(view), rgb));
            }
        }
        if (views.available(View::time)) {
            write("time.png", encodePng(timePicture(capture, views), rgb));
        }
        write("tile.png", encodePng(tilePicture(capture, index, report, views), rgb));
        for (int percent : replayPercents) {
            char name[32];
            std::snprintf(name, sizeof name, "replay/%03d.png", percent);
            write(name, encodePng(capture.width, capture.height,
                                  views.build(View::order, percent / 100.0), rgb));
        }
    }
    FragmentLog standIn;
    const FragmentLog& log = capture.logOrFirstFragments(standIn);
    const PixelLayers layers(capture, log);
    const FragmentRows rows(capture, log, layers);
    write("fragments.npy", fragmentNpy(rows));
    nlohmann::json summary = summaryJson(capture, report, layers);
    if (rows.size() <= maxCsvFragments) {
        write("fragments.csv", fragmentCsv(rows));
        summary["fragments_csv"] = nullptr;
    } else {
        summary["fragments_csv"] = "left out: " + std::to_string(rows.size()) +
                                   " fragments are more than " + std::to_string(maxCsvFragments) +
                                   " rows; fragments.npy holds them all";
    }
    summary.update(more);
    written.push_back("summary.json");
    summary["files"] = written;
    directory.writeFile("summary.json", summary.dump(2) + "\n");
    return written;
}

} // namespace

std::vector<std::string> writeCaptureDirectory(const std::string& directory,
                                               const FragmentCapture& capture) {
    const OrderIndex index(capture);
    return writeCaptureDirectory(directory, capture, index,
                                 PatternAnalysis::analyse(capture, index));
}

std::vector<std::string> writeCaptureDirectory(const std::string& directory,
                                               const FragmentCapture& capture,
                                               const OrderIndex& index, const PatternReport& report,
                                               const nlohmann::json& more) {
    try {
        capture.validate();
        measure::WholeDirectory files(directory, "capture");
        std::vector<std::string> written = writeContents(files, capture, index, report, more);
        files.commit();
        return written;
    } catch (const std::exception& e) {
        throw measure::WriteError("cannot write capture to '" + directory + "': " + e.what());
    }
}

} // namespace Vellumar::capture
