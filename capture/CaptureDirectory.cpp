// The temporary directory sits in DIR's own parent so that the final rename
// never crosses file systems. Replacing an existing DIR moves it aside first
// and puts it back if the new one cannot take its place.
#include "CaptureDirectory.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "FragmentCsv.h"
#include "PatternAnalysis.h"
#include "SummaryJson.h"
#include "ViewBuilder.h"

namespace fs = std::filesystem;

namespace Vellumar::capture {

namespace {

// A name next to `target` that nothing else uses, created as a directory when
// `create` is set.
fs::path freshSibling(const fs::path& target, const char* purpose, bool create) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            target.parent_path() / ("." + target.filename().string() + "." + purpose + "-" +
                                    std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (create) {
            if (fs::create_directory(candidate, error)) {
                return candidate;
            }
            if (error) {
                throw fs::filesystem_error("cannot create a directory next to it", candidate,
                                           error);
            }
        } else if (!fs::exists(candidate, error)) {
            return candidate;
        }
    }
    throw std::runtime_error("no free temporary name next to it");
}

// RGB, rows top-down: a quarter less to compress than RGBA, and the capture's
// rows start at the bottom while a PNG's start at the top.
void writePng(const fs::path& file, const FragmentCapture& capture, const std::vector<Rgba>& image,
              std::vector<std::uint8_t>& rgb) {
    if (capture.width == 0 || capture.height == 0) {
        throw std::runtime_error("cannot write an empty image " + file.filename().string());
    }
    const std::size_t width = static_cast<std::size_t>(capture.width);
    const std::size_t height = static_cast<std::size_t>(capture.height);
    rgb.resize(image.size() * 3);
    std::uint8_t* out = rgb.data();
    for (std::size_t row = 0; row < height; ++row) {
        const Rgba* in = image.data() + (height - 1 - row) * width;
        for (std::size_t x = 0; x < width; ++x, out += 3) {
            out[0] = in[x].r;
            out[1] = in[x].g;
            out[2] = in[x].b;
        }
    }
    if (stbi_write_png(file.c_str(), capture.width, capture.height, 3, rgb.data(),
                       capture.width * 3) == 0) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

// Names what a capture wrote, so that the next capture into DIR can tell an
// earlier capture from a directory that merely looks like one.
const char* const markerName = ".glintmoth-files";
const char* const markerHeader =
    "# written by glintmoth: a capture, replaced whole by the next one";

// Empty, or nothing but the files that the marker names (plain files and
// directories, no links) besides the marker itself.
bool replaceable(const fs::path& directory) {
    if (fs::is_empty(directory)) {
        return true;
    }
    std::ifstream marker(directory / markerName, std::ios::binary);
    std::string line;
    if (fs::symlink_status(directory / markerName).type() != fs::file_type::regular ||
        !std::getline(marker, line) || line != markerHeader) {
        return false;
    }
    std::vector<std::string> listed;
    while (std::getline(marker, line)) {
        listed.push_back(line);
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory)) {
        const std::string name = entry.path().lexically_relative(directory).generic_string();
        const fs::file_type type = entry.symlink_status().type();
        const bool known =
            name == markerName || std::find(listed.begin(), listed.end(), name) != listed.end();
        if (!known || (type != fs::file_type::regular && type != fs::file_type::directory)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> writeContents(const fs::path& root, const FragmentCapture& capture,
                                       const OrderIndex& index, const PatternReport& report) {
    std::vector<std::string> written;
    ViewBuilder views(capture, index);
    std::vector<std::uint8_t> rgb;
    const bool images = capture.width > 0 && capture.height > 0;
    if (images) {
        for (View view : {View::order, View::time, View::subgroups}) {
            if (views.available(view)) {
                const std::string name = std::string(viewName(view)) + ".png";
                writePng(root / name, capture, views.build(view), rgb);
                written.push_back(name);
            }
        }
        fs::create_directory(root / "replay");
        for (int percent : CaptureDirectory::replayPercents()) {
            char name[32];
            std::snprintf(name, sizeof name, "replay/%03d.png", percent);
            writePng(root / name, capture, views.build(View::order, percent / 100.0), rgb);
            written.push_back(name);
        }
    }

    {
        std::ofstream csv(root / "fragments.csv", std::ios::binary);
        writeFragmentCsv(csv, capture, index);
        csv.close();
        if (!csv) {
            throw std::runtime_error("cannot write " + (root / "fragments.csv").string());
        }
        written.push_back("fragments.csv");
    }

    nlohmann::json summary = summaryJson(capture, report);
    written.push_back("summary.json");
    summary["files"] = written;
    writeText(root / "summary.json", summary.dump(2) + "\n");
    std::string marker = std::string(markerHeader) + "\n" + (images ? "replay\n" : "");
    for (const std::string& name : written) {
        marker += name + "\n";
    }
    writeText(root / markerName, marker);
    return written;
}

} // namespace

const std::vector<int>& CaptureDirectory::replayPercents() {
    static const std::vector<int> percents{10, 25, 50, 75, 100};
    return percents;
}

std::vector<std::string> CaptureDirectory::write(const std::string& directory,
                                                 const FragmentCapture& capture) {
    const OrderIndex index(capture);
    return write(directory, capture, index, PatternAnalysis::analyse(capture, index));
}

std::vector<std::string> CaptureDirectory::write(const std::string& directory,
                                                 const FragmentCapture& capture,
                                                 const OrderIndex& index,
                                                 const PatternReport& report) {
    fs::path target = fs::path(directory).lexically_normal();
    if (!target.has_filename() && target.has_parent_path()) {
        target = target.parent_path(); // "out/" names "out"
    }
    if (target.empty() || target.filename() == "." || target.filename() == "..") {
        throw CaptureWriteError("cannot write capture to '" + directory +
                                "': not a directory name");
    }
    if (!target.has_parent_path()) {
        target = fs::path(".") / target;
    }

    fs::path staging;
    try {
        capture.validate();
        std::error_code error;
        if (!fs::is_directory(target.parent_path(), error)) {
            throw std::runtime_error("'" + target.parent_path().string() + "' is not a directory");
        }
        if (fs::exists(fs::symlink_status(target, error))) {
            if (!fs::is_directory(fs::symlink_status(target, error))) {
                throw std::runtime_error("it exists and is not a directory");
            }
            if (!replaceable(target)) {
                throw std::runtime_error(
                    "it is a directory of other files, not an earlier capture");
            }
        }
        staging = freshSibling(target, "tmp", true);
        std::vector<std::string> written = writeContents(staging, capture, index, report);

        if (fs::exists(target)) {
            const fs::path old = freshSibling(target, "old", false);
            fs::rename(target, old);
            try {
                fs::rename(staging, target);
            } catch (...) {
                fs::rename(old, target);
                throw;
            }
            fs::remove_all(old, error); // the new capture is in place either way
        } else {
            fs::rename(staging, target);
        }
        return written;
    } catch (const std::exception& e) {
        if (!staging.empty()) {
            std::error_code ignored;
            fs::remove_all(staging, ignored);
        }
        throw CaptureWriteError("cannot write capture to '" + directory + "': " + e.what());
    }
}

} // namespace Vellumar::capture
