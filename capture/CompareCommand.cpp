// The findings are read back from summary.json as the capture wrote them,
// so that a capture of another build or machine compares as it was found.
#include "CompareCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "CaptureComparison.h"
#include "CaptureReader.h"
#include "FindingsText.h"
#include "WholeFile.h"

namespace Vellumar::capture {

namespace {

using nlohmann::json;

std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

std::string decimalOrUnknown(const std::optional<double>& value) {
    return value ? decimal(*value) : "unknown";
}

// A member of an object as text: "unknown" where it is null or missing.
std::string field(const json& object, const char* name) {
    if (!object.is_object() || !object.contains(name) || object[name].is_null()) {
        return "unknown";
    }
    const json& value = object[name];
    return value.is_string() ? value.get<std::string>() : value.dump();
}

std::string contextText(const CaptureFiles& files) {
    const json& context = files.summary.value("context", json());
    return context.is_object() ? field(context, "platform") + ", " + field(context, "version")
                               : "not recorded";
}

void printSideBySide(std::ostream& out, const std::string& first, const CaptureFiles& a,
                     const std::string& second, const CaptureFiles& b) {
    using Row = std::string (*)(const CaptureFiles&);
    const std::vector<std::pair<std::string, Row>> rows = {
        {"tile", [](const CaptureFiles& f) { return tileText(f.findings.tile); }},
        {"traversal", [](const CaptureFiles& f) { return field(f.summary, "traversal"); }},
        {"block", [](const CaptureFiles& f) { return sizeText(f.findings.block); }},
        {"subgroup", [](const CaptureFiles& f) { return subgroupText(f.findings); }},
        {"fragments", [](const CaptureFiles& f) { return std::to_string(f.findings.shaded); }},
        {"pixels", [](const CaptureFiles& f) { return std::to_string(f.findings.fragments); }},
        {"size",
         [](const CaptureFiles& f) {
             return sizeText(Footprint{f.findings.width, f.findings.height});
         }},
        {"renderer",
         [](const CaptureFiles& f) {
             return field(f.summary.value("context", json()), "renderer");
         }},
        {"context", contextText},
    };
    std::size_t column = first.size();
    for (const auto& row : rows) {
        column = std::max(column, row.second(a).size());
    }
    const auto line = [&](const std::string& label, const std::string& left,
                          const std::string& right) {
        out << label << std::string(11 - label.size(), ' ') << left
            << std::string(column + 2 - left.size(), ' ') << right << "\n";
    };
    line("", first, second);
    for (const auto& row : rows) {
        line(row.first, row.second(a), row.second(b));
    }
}

} // namespace

std::string comparisonPictureName(const std::string& first, const std::string& second) {
    const auto name = [](const std::string& directory) {
        std::filesystem::path path = std::filesystem::absolute(directory).lexically_normal();
        if (path.filename().empty()) {
            path = path.parent_path();
        }
        const std::string base = path.filename().string();
        return base.empty() ? std::string("root") : base;
    };
    return name(first) + "-vs-" + name(second) + ".png";
}

int compareCaptures(const std::string& first, const std::string& second, std::ostream& out,
                    std::ostream& errors) {
    std::optional<CaptureFiles> a;
    std::optional<CaptureFiles> b;
    for (auto [directory, files] : {std::pair{&first, &a}, std::pair{&second, &b}}) {
        try {
            *files = readCaptureDirectory(*directory);
        } catch (const std::exception& e) {
            errors << "glintmoth: --compare " << *directory << ": " << e.what() << "\n";
            return 2;
        }
    }
    const CaptureComparison comparison(a->capture, a->findings.tile, b->capture, b->findings.tile);
    printSideBySide(out, first, *a, second, *b);
    out << "compared over " << comparison.width() << "x" << comparison.height() << ", "
        << comparison.sharedPixels() << " pixels both reached\n"
        << "rank correlation " << decimalOrUnknown(comparison.rankCorrelation()) << "\n"
        << "same tile position " << decimalOrUnknown(comparison.sameTileShare()) << "\n";
    const std::string picture = comparisonPictureName(first, second);
    try {
        std::vector<std::uint8_t> rgb;
        const Picture difference = comparison.differencePicture();
        if (difference.width > 0 && difference.height > 0) {
            measure::writeWholeFile(picture, encodePng(difference, rgb));
            out << "differences written to " << picture << "\n";
        }
    } catch (const std::exception& e) {
        errors << "glintmoth: --compare: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace Vellumar::capture
