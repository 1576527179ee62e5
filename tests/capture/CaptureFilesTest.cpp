// The capture directory: summary JSON, fragment CSV and PNG images read
// back, and the all-or-nothing write (unwritable targets, a write that fails
// half-way, replacing an earlier capture).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <stb/stb_image.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "CaptureDirectory.h"
#include "CapturePictures.h"
#include "CaptureReader.h"
#include "FragmentCsv.h"
#include "FragmentRows.h"
#include "OrderIndex.h"
#include "PatternAnalysis.h"
#include "PixelLayers.h"
#include "SummaryJson.h"
#include "SyntheticCapture.h"

namespace fs = std::filesystem;
using testsupport::addClock;
using testsupport::makeCapture;
using testsupport::SyntheticLayout;
using testsupport::Unit;
using testsupport::Walk;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::FragmentLog;
using Vellumar::capture::FragmentRows;
using Vellumar::capture::FreezePoint;
using Vellumar::capture::OrderIndex;
using Vellumar::capture::PixelLayers;
namespace PatternAnalysis = Vellumar::capture::PatternAnalysis;
using Vellumar::capture::fragmentCsv;
using Vellumar::capture::writeCaptureDirectory;
using Vellumar::measure::WriteError;

namespace {

// A fresh folder for one test, removed with its contents afterwards.
class Scratch {
public:
    Scratch() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               ("capture-test-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    const fs::path& path() const { return root; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path root;
};

FragmentCapture fullCapture() {
    SyntheticLayout layout;
    layout.width = 256;
    layout.height = 128;
    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    layout.subgroupSize = 8;
    FragmentCapture capture = makeCapture(layout);
    capture.freezePoints = {FreezePoint{1, 10, 20, 16, 8}};
    capture.extensions = {"GL_ARB_shader_clock", "GL_ARB_shader_ballot"};
    addClock(capture, 200, 1000);
    return capture;
}

FragmentCapture plainCapture() {
    SyntheticLayout layout;
    layout.width = 256;
    layout.height = 128;
    FragmentCapture capture = makeCapture(layout);
    capture.freezePoints = {FreezePoint{0, 0, 0, 8, 8}};
    return capture;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every entry below the directory, links not followed, with its kind.
std::vector<std::string> treeOf(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        names.push_back(entry.path().lexically_relative(directory).string() + " " +
                        std::to_string(static_cast<int>(entry.symlink_status().type())));
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct Png {
    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};
    // (x, y) with y from the top, as stored.
    const unsigned char* at(int x, int y) const { return pixels.get() + (y * width + x) * 4; }
    bool black(int x, int y) const {
        return at(x, y)[0] == 0 && at(x, y)[1] == 0 && at(x, y)[2] == 0;
    }
};

nlohmann::json summaryJson(const FragmentCapture& capture) {
    FragmentLog standIn;
    const PixelLayers layers(capture, capture.logOrFirstFragments(standIn));
    return Vellumar::capture::summaryJson(capture, PatternAnalysis::analyse(capture), layers);
}

Png loadPng(const fs::path& file) {
    Png png;
    int channels = 0;
    png.pixels.reset(stbi_load(file.c_str(), &png.width, &png.height, &channels, 4));
    EXPECT_NE(png.pixels, nullptr) << file;
    return png;
}

TEST(SummaryJson, CarriesTheFindingsAndWhatWasAvailable) {
    const FragmentCapture capture = fullCapture();
    const nlohmann::json json = summaryJson(capture);
    EXPECT_EQ(json["width"], 256);
    EXPECT_EQ(json["height"], 128);
    EXPECT_EQ(json["fragments"], 256 * 128);
    EXPECT_EQ(json["tile"]["width"], 64);
    EXPECT_EQ(json["tile"]["height"], 64);
    EXPECT_GT(json["tile"]["confidence"].get<double>(), 0.9);
    EXPECT_EQ(json["traversal"], "row-major");
    EXPECT_EQ(json["traversal_detail"]["x_direction"], "left-to-right");
    EXPECT_EQ(json["block"]["width"], 4);
    EXPECT_EQ(json["block"]["height"], 2);
    EXPECT_EQ(json["subgroup"]["size"], 8);
    EXPECT_EQ(json["subgroup"]["width"], 4);
    EXPECT_EQ(json["subgroup"]["height"], 2);
    ASSERT_EQ(json["freeze_points"].size(), 1u);
    const nlohmann::json& point = json["freeze_points"][0];
    EXPECT_EQ(point["index"], 1);
    EXPECT_EQ(point["w"], 16);
    EXPECT_EQ(point["inside_cycles_median"], 1000);
    EXPECT_EQ(point["outside_cycles_median"], 200);
    EXPECT_DOUBLE_EQ(point["ratio"].get<double>(), 5.0);
    EXPECT_EQ(json["extensions"],
              (std::vector<std::string>{"GL_ARB_shader_clock", "GL_ARB_shader_ballot"}));
    EXPECT_EQ(json["available"]["clock"], true);
    EXPECT_EQ(json["available"]["thread_group"], false);
}

TEST(SummaryJson, UnavailableAndUnknownAreNull) {
    const FragmentCapture capture = plainCapture();
    nlohmann::json json = summaryJson(capture);
    EXPECT_TRUE(json["subgroup"].is_null());
    EXPECT_EQ(json["available"]["ballot"], false);
    const nlohmann::json& point = json["freeze_points"][0];
    EXPECT_EQ(point["available"], false);
    EXPECT_TRUE(point["inside_cycles_median"].is_null());
    EXPECT_TRUE(point["outside_cycles_median"].is_null());
    EXPECT_TRUE(point["ratio"].is_null());
    EXPECT_EQ(point["inside_pixels"], 64);

    const FragmentCapture noise = testsupport::makeNoise(64, 64, 9);
    json = summaryJson(noise);
    EXPECT_TRUE(json["tile"]["width"].is_null());
    EXPECT_TRUE(json["block"]["height"].is_null());
    EXPECT_EQ(json["traversal"], "unknown");
    EXPECT_TRUE(json["traversal_detail"]["x_direction"].is_null());
}

// A 3 x 2 window: pixel 2 (x 2, y 0) drawn twice, pixel 5 three times, the
// second of its fragments by an earlier primitive.
FragmentCapture loggedCapture() {
    FragmentLog log;
    log.pixel = {2, 4, 2, 3, 5, 0, 5, 5};
    log.order = {0, 1, 2, 3, 4, 5, 6, 7};
    log.primitive = {0, 1, 1, 1, 2, 3, 1, 4};
    log.clockStart = {18446744073709551000ull, 1, 2, 3, 4, 5, 6, 7};
    log.clockEnd = {18446744073709551615ull, 11, 12, 13, 14, 15, 16, 17};
    log.loops = {9, 9, 9, 9, 9, 9, 9, 65535};
    log.shaded = 10;
    return FragmentCapture::fromLog(3, 2, log);
}

TEST(FragmentCsv, OneRowPerFragmentInShadingOrderWithItsLayer) {
    const FragmentCapture capture = loggedCapture();
    const PixelLayers layers(capture, capture.log);
    EXPECT_EQ(fragmentCsv(FragmentRows(capture, capture.log, layers)),
              "x,y,order,layer,clock_start,clock_end,subgroup,lane,primitive,sm,warp,"
              "loops,overdraw\n"
              "2,0,0,0,18446744073709551000,18446744073709551615,,,0,,,9,2\n"
              "1,1,1,0,1,11,,,1,,,9,1\n"
              "2,0,2,1,2,12,,,1,,,9,2\n"
              "0,1,3,0,3,13,,,1,,,9,1\n"
              "2,1,4,0,4,14,,,2,,,9,3\n"
              "0,0,5,0,5,15,,,3,,,9,1\n"
              "2,1,6,1,6,16,,,1,,,9,3\n"
              "2,1,7,2,7,17,,,4,,,65535,3\n");
    // The maps hold each pixel's first fragment.
    EXPECT_EQ(capture.order[5], 4u);
    EXPECT_EQ(capture.primitive[5], 2u);
    EXPECT_EQ(capture.overdraw[5], 3u);
    EXPECT_FALSE(capture.covered(1));
}

TEST(CaptureDirectory, TheLogGoesToANumPyFileAndTheSummary) {
    Scratch scratch;
    const fs::path dir = scratch.path() / "logged";
    writeCaptureDirectory(dir.string(), loggedCapture());
    const std::string npy = readFile(dir / "fragments.npy");
    // Magic, version 1.0, the header's length; the header padded to 64 bytes
    // and closed by a newline; then 8 records of 4 + 4 + 4 + 4 + 8 + 8 + 4 +
    // 4 + 4 bytes (no ballot, no thread group).
    ASSERT_GE(npy.size(), 10u);
    EXPECT_EQ(npy.substr(0, 8), std::string("\x93NUMPY\x01\x00", 8));
    const std::size_t headerLength =
        static_cast<unsigned char>(npy[8]) | (static_cast<unsigned char>(npy[9]) << 8);
    EXPECT_EQ((10 + headerLength) % 64, 0u);
    const std::string header = npy.substr(10, headerLength);
    EXPECT_EQ(header.back(), '\n');
    EXPECT_EQ(header.substr(0, header.find(']') + 1),
              "{'descr': [('x', '<u4'), ('y', '<u4'), ('order', '<u4'), ('layer', '<u4'), "
              "('clock_start', '<u8'), ('clock_end', '<u8'), ('primitive', '<u4'), "
              "('loops', '<u4'), ('overdraw', '<u4'), ]");
    EXPECT_NE(header.find("'fortran_order': False, 'shape': (8,), }"), std::string::npos);
    ASSERT_EQ(npy.size(), 10 + headerLength + 8 * 44u);
    // The last record: pixel (2, 1), order 7, layer 2, its clocks, primitive
    // 4, 65535 loops, 3 fragments at the pixel.
    const char* last = npy.data() + npy.size() - 44;
    const auto word = [&](int at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(last[at + i]);
        }
        return value;
    };
    EXPECT_EQ((std::vector<std::uint32_t>{word(0), word(4), word(8), word(12), word(16), word(24),
                                          word(32), word(36), word(40)}),
              (std::vector<std::uint32_t>{2, 1, 7, 2, 7, 17, 4, 65535, 3}));

    const nlohmann::json summary = nlohmann::json::parse(readFile(dir / "summary.json"));
    EXPECT_EQ(summary["fragments"], 10);
    EXPECT_EQ(summary["pixels"], 5);
    EXPECT_EQ(summary["dropped"], 2);
    EXPECT_EQ(summary["overdraw"]["max"], 3);
    EXPECT_DOUBLE_EQ(summary["overdraw"]["mean"].get<double>(), 1.6);
    EXPECT_DOUBLE_EQ(summary["primitive_order"].get<double>(), 0.5); // pixel 2, not pixel 5
    EXPECT_TRUE(summary["fragments_csv"].is_null());
    EXPECT_TRUE(summary["thread_group"].is_null());
}

TEST(CaptureDirectory, WritesEveryFileAndImagesTopDown) {
    Scratch scratch;
    FragmentCapture capture = fullCapture();
    // Leave the top row and the right column uncovered to see the flip.
    for (int x = 0; x < capture.width; ++x) {
        capture.order[capture.pixelIndex(x, capture.height - 1)] = FragmentCapture::notCovered;
    }
    for (int y = 0; y < capture.height; ++y) {
        capture.order[capture.pixelIndex(capture.width - 1, y)] = FragmentCapture::notCovered;
    }
    const fs::path dir = scratch.path() / "capture";
    const std::vector<std::string> files = writeCaptureDirectory(dir.string(), capture);
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"capture"});
    for (const char* name :
         {"summary.json", "fragments.csv", "fragments.npy", "order.png", "time.png",
          "subgroups.png", "overdraw.png", "last.png", "replay/010.png", "replay/025.png",
          "replay/050.png", "replay/075.png", "replay/100.png"}) {
        EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
    }

    const nlohmann::json summary = nlohmann::json::parse(readFile(dir / "summary.json"));
    EXPECT_EQ(summary["fragments"], 255 * 127);
    EXPECT_EQ(summary["files"].size(), files.size());
    const std::string csv = readFile(dir / "fragments.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 255 * 127 + 1);

    const Png order = loadPng(dir / "order.png");
    ASSERT_EQ(order.width, 256);
    ASSERT_EQ(order.height, 128);
    // The capture's top row is the PNG's first row.
    for (int x = 0; x < 256; ++x) {
        EXPECT_TRUE(order.black(x, 0));
        EXPECT_FALSE(order.black(x % 255, 127));
    }
    EXPECT_TRUE(order.black(255, 60));
    // The first fragment (bottom-left corner) is the ramp's blue end.
    EXPECT_GT(order.at(0, 127)[2], order.at(0, 127)[0]);

    for (auto [name, percent] : {std::pair{"replay/010.png", 10}, std::pair{"replay/050.png", 50},
                                 std::pair{"replay/100.png", 100}}) {
        const Png replay = loadPng(dir / name);
        int lit = 0;
        for (int y = 0; y < replay.height; ++y) {
            for (int x = 0; x < replay.width; ++x) {
                lit += !replay.black(x, y);
            }
        }
        EXPECT_EQ(lit, 255 * 127 * percent / 100) << name;
    }
}

// time.png carries its ramp under the view with the cycles of both ends
// written under it (here 200 and 1000: three equal zeros on the right, two
// of them on the left). tile.png shows the first tile shaded (the top-left
// one when the rasteriser starts at the top) eight times enlarged, in the
// order and subgroup views, with a line between 4 x 2 subgroups.
TEST(CaptureDirectory, TimeCarriesItsScaleAndTileEnlargesTheFirstTile) {
    using namespace Vellumar::capture;
    SyntheticLayout layout;
    layout.width = 256;
    layout.height = 128;
    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    layout.subgroupSize = 8;
    layout.fromTop = true;
    FragmentCapture capture = makeCapture(layout);
    capture.freezePoints = {FreezePoint{0, 0, 0, 256, 32}};
    addClock(capture, 200, 1000);
    Scratch scratch;
    const fs::path dir = scratch.path() / "capture";
    writeCaptureDirectory(dir.string(), capture);

    const Png time = loadPng(dir / "time.png");
    ASSERT_EQ(time.width, 256);
    ASSERT_EQ(time.height, 128 + legendHeight);
    auto same = [](const unsigned char* a, const Rgba& b) {
        return a[0] == b.r && a[1] == b.g && a[2] == b.b;
    };
    EXPECT_TRUE(same(time.at(4, 135), ViewBuilder::rampColour(View::time, 0.0)));
    EXPECT_TRUE(same(time.at(251, 135), ViewBuilder::rampColour(View::time, 1.0)));
    // The digits, as columns lit anywhere in the text rows.
    std::string columns;
    for (int x = 0; x < time.width; ++x) {
        bool lit = false;
        for (int y = 128 + 16; y < time.height; ++y) {
            lit = lit || !time.black(x, y);
        }
        columns += lit ? '#' : '.';
    }
    const std::string digit = "######..";
    EXPECT_EQ(columns, "...." + digit + digit + "######" + std::string(256 - 8 - 22 - 30, '.') +
                           digit + digit + digit + "######....");
    auto glyph = [&](int left) {
        std::string cells;
        for (int y = 128 + 16; y < time.height; ++y) {
            for (int x = left; x < left + 6; ++x) {
                cells += time.black(x, y) ? '.' : '#';
            }
        }
        return cells;
    };
    const int one = 256 - 4 - 30;
    EXPECT_NE(glyph(one), glyph(one + 8));
    EXPECT_EQ(glyph(one + 8), glyph(one + 24));
    EXPECT_EQ(glyph(4 + 8), glyph(one + 8));
    EXPECT_NE(glyph(4), glyph(4 + 8)) << "2 and 0";

    const Png tile = loadPng(dir / "tile.png");
    const int side = 64 * tileEnlargement;
    ASSERT_EQ(tile.width, 2 * side + tileEnlargement);
    ASSERT_EQ(tile.height, side);
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    const std::vector<Rgba> subgroups = views.build(View::subgroups);
    // Pixel (x, y) of the top-left tile is cell (x, y) from the picture's
    // lower left (inside a cell, away from the subgroup lines): the order
    // ramp's ends at the tile's first and last fragments.
    std::pair<int, int> first{-1, -1};
    std::pair<int, int> last{-1, -1};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t rank = index.ranks()[capture.pixelIndex(x, 64 + y)];
            first = rank == 0 ? std::pair{x, y} : first;
            last = rank == 64 * 64 - 1 ? std::pair{x, y} : last;
        }
    }
    auto cell = [&](int left, std::pair<int, int> at) {
        return tile.at(left + at.first * tileEnlargement + 3,
                       side - 1 - at.second * tileEnlargement - 3);
    };
    EXPECT_TRUE(same(cell(0, first), ViewBuilder::rampColour(View::order, 0.0)));
    EXPECT_TRUE(same(cell(0, last), ViewBuilder::rampColour(View::order, 1.0)));
    for (auto at : {std::pair{0, 0}, std::pair{5, 63}, std::pair{63, 30}}) {
        EXPECT_TRUE(same(cell(side + tileEnlargement, at),
                         subgroups[capture.pixelIndex(at.first, 64 + at.second)]))
            << at.first << "," << at.second;
    }
    for (int left : {0, side + tileEnlargement}) {
        // Across the edge between x 3 and 4, and along the one between y 1 and 2.
        EXPECT_TRUE(tile.black(left + 4 * tileEnlargement - 1, side - 4));
        EXPECT_TRUE(tile.black(left + 4 * tileEnlargement, side - 4));
        EXPECT_FALSE(tile.black(left + 2 * tileEnlargement, side - 4));
        EXPECT_TRUE(tile.black(left + 3, side - 2 * tileEnlargement));
        EXPECT_FALSE(tile.black(left + 3, side - tileEnlargement));
    }
}

TEST(CaptureDirectory, MissingPartsWriteNoImageForThem) {
    Scratch scratch;
    const fs::path dir = scratch.path() / "plain";
    const std::vector<std::string> files = writeCaptureDirectory(dir.string(), plainCapture());
    EXPECT_TRUE(fs::exists(dir / "order.png"));
    EXPECT_FALSE(fs::exists(dir / "time.png"));
    EXPECT_FALSE(fs::exists(dir / "subgroups.png"));
    EXPECT_EQ(std::find(files.begin(), files.end(), "time.png"), files.end());
}

TEST(CaptureDirectory, UnwritableTargetGivesOneErrorAndLeavesNothing) {
    Scratch scratch;
    std::ofstream(scratch.path() / "file") << "not a directory";
    const FragmentCapture capture = plainCapture();
    for (const fs::path& target :
         {scratch.path() / "file" / "capture", scratch.path() / "missing" / "capture",
          scratch.path() / "file", scratch.path() / std::string(300, 'n')}) {
        SCOPED_TRACE(target.string());
        try {
            writeCaptureDirectory(target.string(), capture);
            FAIL() << "no error";
        } catch (const WriteError& e) {
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(scratch.entries(), std::vector<std::string>{"file"});
    }
    EXPECT_EQ(readFile(scratch.path() / "file"), "not a directory");
    EXPECT_THROW(writeCaptureDirectory("", capture), WriteError);
}

// Lowers the largest file this process may write, so that a write fails
// part-way like on a full disk; the signal the kernel sends is ignored so
// that the write returns an error instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit lowered = previous;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST(CaptureDirectory, FailureHalfWayKeepsTheEarlierCapture) {
    Scratch scratch;
    const fs::path dir = scratch.path() / "capture";
    writeCaptureDirectory(dir.string(), plainCapture());
    const std::string earlier = readFile(dir / "summary.json");
    {
        // The images fit, the CSV (about 1.5 MB) does not.
        const FileSizeLimit limit(200 * 1024);
        EXPECT_THROW(writeCaptureDirectory(dir.string(), fullCapture()), WriteError);
    }
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"capture"});
    EXPECT_EQ(readFile(dir / "summary.json"), earlier);
    EXPECT_FALSE(fs::exists(dir / "time.png"));
}

TEST(CaptureDirectory, ReplacesAnEarlierCaptureWhole) {
    Scratch scratch;
    const fs::path dir = scratch.path() / "capture";
    writeCaptureDirectory(dir.string(), fullCapture());
    const std::string earlier = readFile(dir / "summary.json");
    writeCaptureDirectory((dir.string() + "/"), plainCapture());
    EXPECT_FALSE(fs::exists(dir / "time.png")); // the earlier capture's, not this one's
    EXPECT_NE(readFile(dir / "summary.json"), earlier);
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"capture"});

    // An empty directory is taken too.
    fs::create_directory(scratch.path() / "empty");
    writeCaptureDirectory((scratch.path() / "empty").string(), plainCapture());
    EXPECT_TRUE(fs::exists(scratch.path() / "empty" / "summary.json"));
}

// A directory that only looks like a capture (a summary.json, even one that
// is a directory, beside other files) or a capture that something else has
// joined.
TEST(CaptureDirectory, ADirectoryOfOtherFilesIsNeverReplaced) {
    Scratch scratch;
    const fs::path dir = scratch.path() / "documents";
    const std::vector<std::function<void()>> cases = {
        [&] {
            fs::create_directories(dir / "replay");
            std::ofstream(dir / "summary.json") << "{}";
            std::ofstream(dir / "letter.txt") << "keep me";
        },
        [&] { fs::create_directories(dir / "summary.json"); },
        [&] {
            writeCaptureDirectory(dir.string(), plainCapture());
            fs::create_directory(dir / ".git");
        },
        [&] {
            writeCaptureDirectory(dir.string(), plainCapture());
            fs::remove(dir / "order.png");
            fs::create_symlink("/", dir / "order.png");
        },
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        fs::remove_all(dir);
        cases[i]();
        const std::vector<std::string> before = treeOf(dir);
        try {
            writeCaptureDirectory(dir.string(), plainCapture());
            ADD_FAILURE() << "no error";
        } catch (const WriteError& e) {
            EXPECT_NE(std::string(e.what()).find("not an earlier capture"), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(treeOf(dir), before);
        EXPECT_EQ(scratch.entries(), std::vector<std::string>{"documents"});
    }
}

TEST(CaptureFiles, ReadBackForComparisonAndRefusedWhenNotWhole) {
    Scratch scratch;
    SyntheticLayout layout;
    layout.width = 128;
    layout.height = 64;
    layout.tileWidth = layout.tileHeight = 32;
    const FragmentCapture capture = makeCapture(layout);
    const std::string directory = (scratch.path() / "c").string();
    writeCaptureDirectory(directory, capture);

    const Vellumar::capture::CaptureFiles read = Vellumar::capture::readCaptureDirectory(directory);
    EXPECT_EQ(read.capture.order, capture.order);
    EXPECT_EQ(read.findings.tile.size.width, 32);
    EXPECT_EQ(read.findings.fragments, 128u * 64u);

    const auto refusal = [&](const std::string& path) {
        try {
            Vellumar::capture::readCaptureDirectory(path);
        } catch (const Vellumar::capture::CaptureReadError& e) {
            return std::string(e.what());
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal(scratch.path().string()).rfind("not a capture directory", 0), 0u);
    fs::resize_file(fs::path(directory) / "fragments.npy", 200);
    EXPECT_EQ(refusal(directory).rfind("fragments.npy: holds", 0), 0u);
}

} // namespace
