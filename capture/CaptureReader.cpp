// The .npy header is read as the writer makes it (FragmentNpy.cpp): version
// 1.0, a dict with 'descr' as a list of ('name', '<u4' or '<u8') fields and
// a one-dimensional 'shape'. Anything else is refused rather than guessed at.
#include "CaptureReader.h"

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <regex>

#include "FragmentNpy.h"
#include "InputFile.h"

namespace Vellumar::capture {

namespace {

constexpr std::size_t maxSummaryBytes = std::size_t{16} << 20;
// A 2048 x 2048 capture with a few fragments a pixel and every column.
constexpr std::size_t maxNpyBytes = std::size_t{4} << 30;

std::string readFile(const std::string& directory, const std::string& name, std::size_t maxBytes) {
    std::string text;
    if (const auto refusal = measure::readInputFile(directory + "/" + name, maxBytes, text)) {
        throw CaptureReadError(name + ": " + refusal->reason);
    }
    return text;
}

std::uint64_t littleEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// The fields a first-fragment order map needs, and where they lie in a record.
struct NpyLayout {
    enum Field {
        x,
        y,
        order,
        layer,
        fieldCount
    };
    std::array<long, fieldCount> offset{-1, -1, -1, -1};
    std::size_t recordBytes = 0;
    std::size_t records = 0;
    std::size_t dataStart = 0;
};

NpyLayout npyLayout(const std::string& bytes) {
    const auto broken = [](const std::string& why) {
        return CaptureReadError("fragments.npy: " + why);
    };
    if (bytes.size() < npyPreambleSize ||
        bytes.compare(0, npyMagicSize, npyMagic, npyMagicSize) != 0) {
        throw broken("not a NumPy 1.0 file");
    }
    NpyLayout layout;
    layout.dataStart = npyPreambleSize + littleEndian(bytes, npyMagicSize, 2);
    if (layout.dataStart > bytes.size()) {
        throw broken("its header runs past its end");
    }
    const std::string header = bytes.substr(10, layout.dataStart - 10);
    static const char* const names[NpyLayout::fieldCount] = {"x", "y", "order", "layer"};
    static const std::regex field(R"(\('(\w+)', '<u([48])'\))");
    for (auto it = std::sregex_iterator(header.begin(), header.end(), field);
         it != std::sregex_iterator(); ++it) {
        for (int f = 0; f < NpyLayout::fieldCount; ++f) {
            if ((*it)[1] == names[f] && (*it)[2] == "4") {
                layout.offset[f] = static_cast<long>(layout.recordBytes);
            }
        }
        layout.recordBytes += (*it)[2] == "8" ? 8 : 4;
    }
    std::smatch shape;
    if (!std::regex_search(header, shape, std::regex(R"('shape': \((\d{1,12}),\))"))) {
        throw broken("no one-dimensional shape in its header");
    }
    layout.records = std::stoull(shape[1]);
    for (int f = 0; f < NpyLayout::fieldCount; ++f) {
        if (layout.offset[f] < 0) {
            throw broken(std::string("no 32-bit field '") + names[f] + "'");
        }
    }
    if ((bytes.size() - layout.dataStart) != layout.records * layout.recordBytes) {
        throw broken("holds " + std::to_string(bytes.size() - layout.dataStart) +
                     " bytes of records, not " + std::to_string(layout.records) + " records of " +
                     std::to_string(layout.recordBytes) + " bytes");
    }
    return layout;
}

// A whole number from 1 to maxSide, else 0 (unknown).
int sizeOf(const nlohmann::json& object, const char* name) {
    if (!object.is_object()) {
        return 0;
    }
    const nlohmann::json& value = object.value(name, nlohmann::json());
    if (!value.is_number_integer() || value.get<long long>() < 1 ||
        value.get<long long>() > FragmentCapture::maxSide) {
        return 0;
    }
    return value.get<int>();
}

Footprint footprintOf(const nlohmann::json& object) {
    return {sizeOf(object, "width"), sizeOf(object, "height")};
}

int side(const nlohmann::json& summary, const char* name) {
    if (const int size = sizeOf(summary, name)) {
        return size;
    }
    throw CaptureReadError(std::string("summary.json: no window ") + name + " from 1 to " +
                           std::to_string(FragmentCapture::maxSide));
}

std::uint64_t countOf(const nlohmann::json& summary, const char* name) {
    const nlohmann::json& value = summary.value(name, nlohmann::json());
    return value.is_number_unsigned() ? value.get<std::uint64_t>() : 0;
}

PatternReport findingsOf(const nlohmann::json& summary) {
    PatternReport findings;
    findings.shaded = countOf(summary, "fragments");
    findings.fragments = countOf(summary, "pixels");
    const nlohmann::json& tile = summary.value("tile", nlohmann::json());
    findings.tile.size = footprintOf(tile);
    if (findings.tile.size.known()) {
        findings.tile.offsetX = sizeOf(tile, "offset_x") % findings.tile.size.width;
        findings.tile.offsetY = sizeOf(tile, "offset_y") % findings.tile.size.height;
        findings.tile.confidence = tile.value("confidence", 0.0);
    }
    findings.block = footprintOf(summary.value("block", nlohmann::json()));
    const nlohmann::json& subgroup = summary.value("subgroup", nlohmann::json());
    if (subgroup.is_object()) {
        SubgroupFootprint& s = findings.subgroup.emplace();
        s.lanes = sizeOf(subgroup, "size");
        s.active = sizeOf(subgroup, "active");
        s.width = sizeOf(subgroup, "width");
        s.height = sizeOf(subgroup, "height");
    }
    return findings;
}

} // namespace

CaptureFiles readCaptureDirectory(const std::string& directory) {
    struct stat marker {};
    if (::stat((directory + "/.glintmoth-files").c_str(), &marker) != 0 ||
        !S_ISREG(marker.st_mode)) {
        throw CaptureReadError("not a capture directory (no .glintmoth-files in it)");
    }
    CaptureFiles files;
    files.summary =
        nlohmann::json::parse(readFile(directory, "summary.json", maxSummaryBytes), nullptr, false);
    if (!files.summary.is_object()) {
        throw CaptureReadError("summary.json: not a JSON object");
    }
    const int width = side(files.summary, "width");
    const int height = side(files.summary, "height");
    files.findings = findingsOf(files.summary);
    files.findings.width = width;
    files.findings.height = height;
    files.capture = FragmentCapture::blank(width, height);
    const std::string bytes = readFile(directory, "fragments.npy", maxNpyBytes);
    const NpyLayout layout = npyLayout(bytes);
    FragmentCapture& capture = files.capture;
    for (std::size_t r = 0; r < layout.records; ++r) {
        const std::size_t at = layout.dataStart + r * layout.recordBytes;
        const auto value = [&](NpyLayout::Field f) {
            return littleEndian(bytes, at + static_cast<std::size_t>(layout.offset[f]), 4);
        };
        const std::uint64_t x = value(NpyLayout::x);
        const std::uint64_t y = value(NpyLayout::y);
        if (x >= static_cast<std::uint64_t>(width) || y >= static_cast<std::uint64_t>(height)) {
            throw CaptureReadError("fragments.npy: a fragment at (" + std::to_string(x) + ", " +
                                   std::to_string(y) + ") outside the " + std::to_string(width) +
                                   " x " + std::to_string(height) + " window");
        }
        const std::size_t p = capture.pixelIndex(static_cast<int>(x), static_cast<int>(y));
        ++capture.overdraw[p];
        if (value(NpyLayout::layer) == 0) {
            if (capture.covered(p)) {
                throw CaptureReadError("fragments.npy: two first fragments at one pixel");
            }
            capture.order[p] = static_cast<std::uint32_t>(value(NpyLayout::order));
        }
    }
    return files;
}

} // namespace Vellumar::capture
