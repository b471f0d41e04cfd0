// The command-line tool run in-process on the sample game written to a folder.
#include "cli/cli.h"

#include "app/file_io.h"
#include "app/image_codec.h"
#include "app/patch_bps.h"
#include "app/patch_ips.h"
#include "app/rom_checksum.h"
#include "app/rom_image.h"
#include "sprites/sprite_list.h"
#include "stage/map_info.h"
#include "stage/sample_stage_fixture.h"
#include "stage/tilemap_data.h"
#include "stage/view/stage_render.h"
#include "terrain/terrain_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vexa {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class VexaCli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / (std::string("vexa_cli_test_") + info->name());
        fs::remove_all(folder);
        writeSample({});
    }
    void TearDown() override { fs::remove_all(folder); }

    void writeSample(const SampleFileOptions& options) {
        ASSERT_TRUE(writeSampleGame(test::sampleGame(), folder, options));
    }

    std::string path(const std::string& name) const { return utf8FromPath(folder / name); }
    std::string rom() const { return path("sample.smc"); }

    static void writeBytes(const fs::path& file, const Bytes& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes readBytes(const fs::path& file) { return readFileBytes(file, 1u << 26).bytes; }
    // A 24-bit bitmap's headers, and not one pixel.
    static Bytes bitmapHeader(std::uint32_t width, std::uint32_t height) {
        Bytes header(54, 0);
        const auto put = [&](std::size_t at, std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i)
                header[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        };
        header[0] = 'B';
        header[1] = 'M';
        put(2, 54, 4);  // file size
        put(10, 54, 4); // pixels' offset
        put(14, 40, 4); // info header size
        put(18, width, 4);
        put(22, height, 4);
        put(26, 1, 2);  // planes
        put(28, 24, 2); // bits per pixel
        return header;
    }

    // "ROM" names the sample's ROM, "DIR/x" the file x beside it.
    std::vector<std::string> expand(std::vector<std::string> args) const {
        for (std::string& arg : args) {
            if (arg == "ROM") arg = rom();
            if (arg.rfind("DIR/", 0) == 0) arg = path(arg.substr(4));
        }
        return args;
    }
    // The sample's rominfo.ini with `head` in front: its keys win.
    void writeRomInfo(const std::string& head) const {
        const std::string text = head + test::sampleGame().romInfoIni;
        writeBytes(folder / "rominfo.ini", Bytes(text.begin(), text.end()));
    }

    CliRun run(std::vector<std::string> args) const {
        std::ostringstream out;
        std::ostringstream err;
        CliRun result;
        result.code = runVexa(args, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    fs::path folder;
};

TEST_F(VexaCli, HelpDocumentsEveryCommandAndOption) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--help"}, {"render", "--help"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0);
        for (const char* word : {"info", "validate", "render", "checksum", "patch create", "patch apply", "--json",
                                 "--layers", "--fix", "--rominfo", "--sprites", "--chips", "Exit status"})
            EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
}

struct BadInputCase {
    const char* name;
    std::vector<std::string> args; // "ROM" and "DIR/" are replaced by the sample's paths
    std::string prepare;           // what to break first: "", "size", "huge", "title", "huge-rominfo", or a patch
    std::string expected;          // a part of the one line on stderr
};

TEST_F(VexaCli, BadInputGivesOneLineAndExitStatusTwo) {
    const std::vector<BadInputCase> cases = {
        {"missing ROM", {"info", "DIR/nothing.smc"}, "", "nothing.smc: no such file"},
        {"ROM is a folder", {"info", "DIR/chips"}, "", "chips: not a file"},
        {"ROM of a wrong size", {"info", "ROM"}, "size", "sample.smc: the file is 4194305 bytes; a ROM image is"},
        {"ROM past any size", {"info", "ROM"}, "huge", "sample.smc: the file is 16777216 bytes; a ROM image is"},
        {"ROM of another title", {"info", "ROM"}, "title", "sample.smc: the title \"OTHER GAME\""},
        {"rominfo past its limit",
         {"info", "ROM"},
         "huge-rominfo",
         "rominfo.ini: the file is 16777217 bytes, more than"},
        {"stage past the count", {"render", "ROM", "206", "DIR/out.png"}, "", "stage '206' is out of range"},
        {"stage in hex past the count", {"render", "ROM", "0xCE", "DIR/out.png"}, "", "has 206 stages (0 to 205)"},
        {"stage not a number", {"render", "ROM", "12a", "DIR/out.png"}, "", "stage '12a' is out of range"},
        {"negative stage", {"render", "ROM", "-1", "DIR/out.png"}, "", "stage '-1' is out of range"},
        {"stage without a map", {"render", "ROM", "0", "DIR/out.png"}, "", "stage 0 has no map"},
        {"unknown layer", {"render", "ROM", "37", "DIR/out.png", "--layers", "terrain,clouds"}, "", "--layers takes"},
        {"output folder missing",
         {"render", "ROM", "37", "DIR/no/out.png"},
         "",
         "out.png: cannot write the picture: the write failed"},
        {"unknown command", {"draw", "ROM"}, "", "unknown command 'draw'"},
        {"option of another command", {"info", "ROM", "--fix"}, "", "info: unknown option --fix"},
        {"option without its value", {"info", "ROM", "--rominfo"}, "", "option --rominfo needs a value"},
        {"missing operand", {"render", "ROM", "37"}, "", "render: expects ROM STAGE OUT.png"},
        {"named rominfo missing", {"info", "ROM", "--rominfo", "DIR/none.ini"}, "", "none.ini: no such file"},
        {"named sprites missing", {"info", "ROM", "--sprites", "DIR/none.ini"}, "", "none.ini: no such file"},
        {"patch without its verb", {"patch", "make", "ROM", "ROM", "DIR/out.bps"}, "", "patch: expects create"},
        {"patch of no known format", {"patch", "create", "ROM", "ROM", "DIR/out.txt"}, "", "a patch's name ends in"},
        {"patch from a missing ROM", {"patch", "create", "ROM", "DIR/no.smc", "DIR/out.bps"}, "", "no.smc: no such"},
        {"not a patch", {"patch", "apply", "ROM", "DIR/rominfo.ini", "DIR/out.smc"}, "", "neither a BPS nor an IPS"},
        {"patch for another ROM", {"patch", "apply", "ROM", "DIR/p.bps", "DIR/out.smc"}, "other", "another ROM"},
        {"damaged patch", {"patch", "apply", "ROM", "DIR/p.bps", "DIR/out.smc"}, "damaged", "damaged or truncated"},
        {"patch for a headered file",
         {"patch", "apply", "ROM", "DIR/p.bps", "DIR/out.smc"},
         "headered",
         "meant for a ROM of another size"},
        {"patch to another size", {"patch", "apply", "ROM", "DIR/p.ips", "DIR/out.smc"}, "short", "not a ROM image"},
        {"set without -o", {"terrain", "set", "ROM", "37", "0", "0", "1"}, "", "terrain: expects ROM, or set ROM"},
        {"half a cell", {"terrain", "set", "ROM", "37", "0", "0", "-o", "DIR/out.smc"}, "", "terrain: expects"},
        {"cell of no stage", {"terrain", "set", "ROM", "206", "0", "0", "1", "-o", "DIR/out.smc"}, "", "'206' is out"},
        {"column in hex", {"terrain", "set", "ROM", "37", "0x3", "0", "1", "-o", "DIR/out.smc"}, "", "COLUMN '0x3'"},
        {"word not hex", {"terrain", "set", "ROM", "37", "0", "0", "12G4", "-o", "DIR/out.smc"}, "", "WORD '12G4'"},
        {"word of 5 digits", {"terrain", "set", "ROM", "37", "0", "0", "01234", "-o", "DIR/out.smc"}, "", "'01234'"},
        {"-o of the list", {"terrain", "ROM", "-o", "DIR/out.smc"}, "", "terrain: unknown option -o"},
    };
    for (const BadInputCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeSample({});
        if (c.prepare == "size") {
            Bytes bytes = readBytes(folder / "sample.smc");
            bytes.push_back(0);
            writeBytes(folder / "sample.smc", bytes);
        } else if (c.prepare == "huge" || c.prepare == "huge-rominfo") {
            // Sparse: the size alone must refuse them, before any byte is read.
            fs::resize_file(folder / (c.prepare == "huge" ? "sample.smc" : "rominfo.ini"),
                            c.prepare == "huge" ? 16u << 20 : (16u << 20) + 1);
        } else if (c.prepare == "title") {
            writeBytes(folder / "rominfo.ini",
                       {'[', 'R', 'O', 'M', 'I', 'n', 'f', 'o', ']', '\n', 'C', 'a', 'r', 't', 'N',
                        'a', 'm', 'e', '=', 'O', 'T', 'H', 'E', 'R', ' ',  'G', 'A', 'M', 'E'});
        } else if (c.prepare == "other" || c.prepare == "damaged") {
            Bytes source = test::sampleGame().image;
            source[0x200000] ^= c.prepare == "other" ? 1 : 0;
            Bytes patch = createBpsPatch(source, Bytes(kRomSize, 7));
            patch[patch.size() / 2] ^= c.prepare == "damaged" ? 1 : 0;
            writeBytes(folder / "p.bps", patch);
        } else if (c.prepare == "headered") {
            Bytes headered(kCopierHeaderSize, 0);
            headered.insert(headered.end(), test::sampleGame().image.begin(), test::sampleGame().image.end());
            writeBytes(folder / "p.bps", createBpsPatch(headered, Bytes(kRomSize, 7)));
        } else if (c.prepare == "short") {
            writeBytes(folder / "p.ips", *createIpsPatch(test::sampleGame().image, Bytes(1000, 7)));
        }
        const CliRun r = run(expand(c.args));
        EXPECT_EQ(r.code, kExitBadInput);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        for (const char* output : {"out.png", "out.smc", "out.bps", "out.txt"})
            EXPECT_FALSE(fs::exists(folder / output)) << output;
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_NE(entry.path().extension(), ".tmp") << "a temporary file left behind";
    }
}

TEST_F(VexaCli, InfoTellsTheLayoutOfEachFile) {
    struct Case {
        SampleFileOptions options;
        std::string size;
        std::string layout;
    };
    for (const Case& c : {Case{{false, false}, "4194304 bytes", "plain HiROM, no copier header"},
                          Case{{true, true}, "4194816 bytes", "interleaved HiROM, with a 512-byte copier header"}}) {
        SCOPED_TRACE(c.layout);
        writeSample(c.options);
        const CliRun r = run({"info", rom()});
        EXPECT_EQ(r.code, 0) << r.err;
        for (const std::string& line :
             {"size:     " + c.size, "layout:   " + c.layout, std::string("title:    MARBLE CANYON QUEST\n"),
              std::string(", right\n"), std::string("stages:   206\n"), "rominfo:  " + path("rominfo.ini")})
            EXPECT_NE(r.out.find(line), std::string::npos) << line << "\nin:\n" << r.out;
    }

    // Settings files are optional: without them the editor's defaults hold.
    fs::remove(folder / "rominfo.ini");
    fs::remove(folder / "sprites.ini");
    const CliRun r = run({"info", rom()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("rominfo:  none found, the editor's defaults\nsprites:  none found"), std::string::npos)
        << r.out;
}

TEST_F(VexaCli, ChecksumFixWritesTheRightSumInTheFilesOwnLayout) {
    const SampleFileOptions layout{true, true};
    SampleGame game = test::sampleGame();
    game.image[0x123456] ^= 0x5A; // the stored checksum no longer fits
    ASSERT_TRUE(writeSampleGame(game, folder, layout));

    CliRun r = run({"checksum", rom()});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("\nwrong\n"), std::string::npos) << r.out;
    EXPECT_EQ(readBytes(folder / "sample.smc"), sampleRomFile(game, layout)) << "without --fix nothing is written";

    r = run({"checksum", rom(), "--fix"});
    EXPECT_EQ(r.code, 0) << r.err;
    fixChecksum(game.image);
    EXPECT_EQ(readBytes(folder / "sample.smc"), sampleRomFile(game, layout));
    EXPECT_TRUE(hasCorrectChecksum(game.image));
    r = run({"checksum", rom()});
    EXPECT_NE(r.out.find("\nright\n"), std::string::npos) << r.out;
}

// A patch made between two files of any layouts applies to the original, and the
// result is written in the original's layout.
TEST_F(VexaCli, PatchesGoBetweenLayoutsAndBackIntoTheRomsOwn) {
    SampleGame modified = test::sampleGame();
    modified.image[0x123456] ^= 0x5A;
    SpriteAllocData sprite = readSpriteEntry(modified.image, spriteListStart(modified.image, 37));
    sprite.x = 1234;
    writeStageSpriteEntry(modified.image, 37, 0, sprite);
    for (const SampleFileOptions& layout : {SampleFileOptions{false, false}, SampleFileOptions{true, true}}) {
        for (const char* name : {"p.bps", "p.ips"}) {
            SCOPED_TRACE(std::string(name) + (layout.interleaved ? " from interleaved" : " from plain"));
            writeSample(layout);
            writeBytes(folder / "modified.smc", sampleRomFile(modified, {!layout.copierHeader, !layout.interleaved}));
            CliRun r = run({"patch", "create", rom(), path("modified.smc"), path(name)});
            ASSERT_EQ(r.code, 0) << r.err;
            EXPECT_LT(fs::file_size(folder / name), 100u) << "a few edits make a small patch";
            r = run({"patch", "apply", rom(), path(name), path("out.smc")});
            ASSERT_EQ(r.code, 0) << r.err;
            EXPECT_EQ(readBytes(folder / "out.smc"), sampleRomFile(modified, layout));
            // An IPS patch lies between the files as they are on disk, so that the common
            // patchers, which apply it to the file as it is, make the same file.
            const Bytes patch = readBytes(folder / name);
            if (name[2] == 'i') {
                EXPECT_EQ(applyIpsPatch(readBytes(folder / "sample.smc"), patch).target,
                          sampleRomFile(modified, layout));
            }
        }
        // A BPS patch made against the whole file, header and order as they are, is
        // recognised by its checksums and applies to that file.
        writeBytes(folder / "whole.bps",
                   createBpsPatch(readBytes(folder / "sample.smc"), sampleRomFile(modified, layout)));
        const CliRun r = run({"patch", "apply", rom(), path("whole.bps"), path("out.smc")});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(readBytes(folder / "out.smc"), sampleRomFile(modified, layout));
    }
}

// --fix replaces the ROM with a whole file or leaves it as it was, refuses a read-only
// one (root may rename over it), writes through a link to the ROM it names and keeps the
// file's mode. A failure is one line and exit 2, and leaves no temporary file behind.
TEST_F(VexaCli, ChecksumFixWritesTheFileWholeOrNotAtAll) {
    const auto failWrite = [](int, const std::uint8_t*, std::size_t) { return false; };
    const auto failSync = [](int) { return false; };
    static const FileWriteCalls platform = fileWriteCalls();
    const auto failClose = [](int descriptor) { return platform.close(descriptor) && false; };
    struct Case {
        const char* name;
        FileWriteCalls calls;
        fs::perms mode;
        bool link;
        const char* expected; // on standard error; none: fixed
    };
    const FileWriteCalls& real = platform;
    const Case cases[] = {
        {"a write refused", {failWrite, real.sync, real.close}, fs::perms::unknown, false, "the write failed"},
        {"a flush refused", {real.write, failSync, real.close}, fs::perms::unknown, false, "the write failed"},
        {"an error only the close reports",
         {real.write, real.sync, failClose},
         fs::perms::unknown,
         false,
         "the write failed"},
        {"read-only", real, fs::perms::owner_read | fs::perms::group_read, false, "it is read-only"},
        {"a mode of its own", real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read, false,
         nullptr},
        {"a link to the ROM", real, fs::perms::unknown, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        SampleGame game = test::sampleGame();
        game.image[0x123456] ^= 0x5A;
        ASSERT_TRUE(writeSampleGame(game, folder, {}));
        const Bytes before = readBytes(folder / "sample.smc");
        std::string target = rom();
        if (c.link) {
            fs::create_symlink("sample.smc", folder / "link.smc");
            target = path("link.smc");
        }
        if (c.mode != fs::perms::unknown) fs::permissions(folder / "sample.smc", c.mode);
        fileWriteCalls() = c.calls;
        const CliRun r = run({"checksum", target, "--fix"});
        fileWriteCalls() = real;

        if (c.expected) {
            EXPECT_EQ(r.code, kExitBadInput);
            EXPECT_EQ(r.err,
                      "vexa: " + rom() + ": cannot write the fixed file: " + c.expected + "; it is left as it was\n");
            EXPECT_EQ(readBytes(folder / "sample.smc"), before);
        } else {
            EXPECT_EQ(r.code, 0) << r.err;
            fixChecksum(game.image);
            EXPECT_EQ(readBytes(folder / "sample.smc"), sampleRomFile(game, {}));
        }
        if (c.mode != fs::perms::unknown) {
            EXPECT_EQ(fs::status(folder / "sample.smc").permissions(), c.mode) << "the mode is kept";
        }
        if (c.link) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "link.smc"))) << "still a link";
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
        fs::permissions(folder / "sample.smc", fs::perms::owner_all);
    }
}

TEST_F(VexaCli, RenderWritesTheStagePicture) {
    const fs::path out = folder / "stage.png";
    CliRun r = run({"render", rom(), "0x25", utf8FromPath(out), "--layers", "terrain,sprites"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::optional<RgbaImage> picture = readImageFile(out);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 6400);
    EXPECT_EQ(picture->height, 512);

    // Settings and chips found elsewhere than beside the ROM: named by the options; every
    // layer named draws what the editor draws.
    fs::create_directory(folder / "elsewhere");
    fs::rename(folder / "rominfo.ini", folder / "elsewhere" / "rominfo.ini");
    fs::rename(folder / "chips", folder / "elsewhere" / "pictures");
    r = run({"render", rom(), "37", utf8FromPath(out), "--rominfo", path("elsewhere/rominfo.ini"), "--chips",
             path("elsewhere/pictures"), "--layers", "cameras,terrain,bananas,sprites"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::optional<RgbaImage> chips = test::sampleChips(0);
    ASSERT_TRUE(chips);
    const StageContents stage = loadStageContents(test::sampleGame().image, test::SampleSettings().info(), 37);
    EXPECT_EQ(readImageFile(out)->rgba, renderStage(stage, &*chips, kRenderAllLayers).rgba);

    // Without the chip bitmaps the picture is still made, and a note says why it lacks them.
    r = run({"render", rom(), "37", utf8FromPath(out), "--rominfo", path("elsewhere/rominfo.ini")});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("no chip bitmap can be read"), std::string::npos) << r.err;

    // So too when a bitmap's 54-byte header claims more than a chip bitmap holds: it is
    // refused before a pixel is decoded (decoding it would take over 2 GB).
    for (const fs::directory_entry& entry : fs::directory_iterator(folder / "elsewhere" / "pictures"))
        writeBytes(entry.path(), bitmapHeader(32767, 16383));
    r = run({"render", rom(), "37", utf8FromPath(out), "--rominfo", path("elsewhere/rominfo.ini"), "--chips",
             path("elsewhere/pictures")});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("no chip bitmap can be read"), std::string::npos) << r.err;
    EXPECT_FALSE(decodeImage(bitmapHeader(kMaxChipBitmapSide + 1, 1), kMaxChipBitmapSide));
    EXPECT_TRUE(decodeImage(bitmapHeader(kMaxChipBitmapSide, 1), kMaxChipBitmapSide)) << "cut short: read black";
}

TEST_F(VexaCli, ValidateExitsByWhatItFinds) {
    CliRun r = run({"validate", rom()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    r = run({"validate", rom(), "--json"});
    EXPECT_EQ(r.out, "[]\n");

    SampleGame game = test::sampleGame();
    SpriteAllocData sprite = readSpriteEntry(game.image, spriteListStart(game.image, 37));
    sprite.x = 6500;
    writeStageSpriteEntry(game.image, 37, 0, sprite);
    ASSERT_TRUE(writeSampleGame(game, folder, {}));
    r = run({"validate", rom()});
    EXPECT_EQ(r.code, kExitFindings);
    EXPECT_EQ(r.out, "stage 37: sprite 0 at (6500, 384) lies outside the map (6400 x 512)\n");
    r = run({"validate", rom(), "--json"});
    EXPECT_EQ(r.code, kExitFindings);
    EXPECT_EQ(r.out, "[\n {\"stage\": 37, \"kind\": \"sprite-outside-map\", \"index\": 0, \"message\": \"stage 37: "
                     "sprite 0 at (6500, 384) lies outside the map (6400 x 512)\"}\n]\n");
}

std::string address(std::size_t imageOffset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%02zX:%04zX", imageOffset >> 16, imageOffset & 0xFFFF);
    return text;
}

TerrainSurvey sampleSurvey(const Bytes& image) {
    return surveyTerrain(image, terrainTables(test::SampleSettings().info()));
}

Bytes decodedImage(const Bytes& file, RomLayout* layout = nullptr) {
    Bytes image;
    RomLayout decoded;
    EXPECT_EQ(decodeRomFile(file, "MARBLE CANYON QUEST", image, decoded), RomFileStatus::Ok);
    if (layout) *layout = decoded;
    return image;
}

TilemapData stageMap(const Bytes& image, int stage) {
    TilemapData map;
    StageHeader header;
    readStageHeader(image, stageHeaderOffset(image, stage), header);
    EXPECT_EQ(loadTilemapData(image, header, test::SampleSettings().info().mapTables(), map),
              TilemapLoadOutcome::Loaded);
    return map;
}

// `terrain set ROM 37` with `count` cells of the section, column by column, each with a
// word of its own: a pattern the map data format cannot shorten.
std::vector<std::string> distinctCells(const std::string& rom, int count) {
    std::vector<std::string> args = {"terrain", "set", rom, "37"};
    for (int i = 0; i < count; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "%X", (i * 0x9E5 + 0x111) & 0xFFFF);
        args.insert(args.end(), {std::to_string(i / 16), std::to_string(i % 16), word});
    }
    return args;
}

TEST_F(VexaCli, TerrainListsEveryBlockWithItsStagesAndRoom) {
    const TerrainSurvey survey = sampleSurvey(test::sampleGame().image);
    ASSERT_EQ(survey.blocks.size(), 7u);
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "text");
        const CliRun r = run(json ? std::vector<std::string>{"terrain", rom(), "--json"}
                                  : std::vector<std::string>{"terrain", rom()});
        EXPECT_EQ(r.code, 0) << r.err;
        for (const TerrainBlock& b : survey.blocks) {
            std::string stages;
            for (const int stage : b.stages)
                stages += (stages.empty() ? "" : ", ") + std::to_string(stage);
            const std::string at = address(b.start);
            const std::string room = std::to_string(b.room);
            const std::string expected =
                json ? "{\"address\": \"" + at + "\", \"head\": \"" + address(b.head) + "\", \"terrains\": [" +
                           std::to_string(b.terrains.front()) + "], \"stages\": [" + stages +
                           "], \"decoded\": " + std::to_string(b.decodedSize) + ", \"length\": " + room +
                           ", \"room\": " + room + ", \"tagged\": false, \"inFreeSpace\": false, \"problem\": null}"
                     : at + ": terrain 0" + std::to_string(b.terrains.front()) + "; stages " + stages + "\n  " +
                           std::to_string(b.decodedSize) + " bytes decoded; block " + room + " bytes, room " + room +
                           "; no room tag; in place\n";
            EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\nin:\n" << r.out;
        }
        EXPECT_NE(
            r.out.find(json ? R"({"first": "0x34:0010", "last": "0x34:FFFF", "size": 65520, "used": 0, "free": 65520})"
                            : "free space 0x33:0010-0x33:FFFF: 65520 bytes, 0 used, 65520 free\n"),
            std::string::npos);
    }
}

// The cells are written, the file keeps its layout and the input stays as it was; a
// block that outgrows its room moves into free space and its map info record follows.
TEST_F(VexaCli, TerrainSetWritesTheCellsInTheRomsOwnLayout) {
    struct Case {
        SampleFileOptions layout;
        std::vector<std::string> args;
        bool grows; // past its room
    };
    const Case cases[] = {{{false, false}, {"terrain", "set", rom(), "0x25", "3", "4", "1A2", "10", "2", "c0f"}, false},
                          {{true, true}, {"terrain", "set", rom(), "37", "3", "4", "01a2", "10", "2", "C0F"}, false},
                          {{true, true}, distinctCells(rom(), 40), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.args.size()) + (c.layout.interleaved ? " interleaved" : " plain"));
        writeSample(c.layout);
        const Bytes before = readBytes(folder / "sample.smc");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", path("out.smc")});
        const CliRun r = run(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("wrote " + path("out.smc") + " in the layout of " + rom() + ": stage 37, "),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(readBytes(folder / "sample.smc"), before);
        RomLayout in, out;
        decodedImage(before, &in);
        const Bytes image = decodedImage(readBytes(folder / "out.smc"), &out);
        EXPECT_EQ(out.hasCopierHeader, c.layout.copierHeader);
        EXPECT_EQ(out.interleaved, c.layout.interleaved);
        EXPECT_EQ(out.copierHeader, in.copierHeader);
        const TilemapData map = stageMap(image, 37);
        for (std::size_t i = 4; i < c.args.size(); i += 3)
            EXPECT_EQ(tileWordAt(map, std::stoi(c.args[i]), std::stoi(c.args[i + 1])),
                      std::stoi(c.args[i + 2], nullptr, 16));

        const MapTableSettings maps = test::SampleSettings().info().mapTables();
        const MapInfo info = readMapInfo(image, static_cast<unsigned>(maps.mapInfoBank),
                                         mapInfoOffset(image, maps, map.terrainNumber), 0);
        const ImageAddress block = compressedDataAddress(info.dataOffset, info.dataBank);
        const std::size_t at = imageOffset(block.bank, block.offset);
        EXPECT_NE(r.out.find(" at " + address(at) + ": "), std::string::npos) << "where the record leads:\n" << r.out;
        if (!c.grows) continue;
        EXPECT_NE(r.out.find("; block moved into free space at "), std::string::npos) << r.out;
        const std::vector<FreeRange> free = sampleSurvey(image).freeSpace;
        EXPECT_TRUE(
            std::any_of(free.begin(), free.end(), [at](const FreeRange& f) { return at > f.first && at <= f.last; }));
    }
}

TEST_F(VexaCli, TerrainSetRefusesAndWritesNothing) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* expected;         // the line on standard error
        const char* rominfoHead = ""; // what wins over the sample's rominfo.ini
    };
    const Case cases[] = {
        {"a cell outside the section",
         {"terrain", "set", rom(), "37", "0", "0", "1", "9999", "0", "1"},
         "vexa: cell (9999, 0) lies outside stage 37's terrain\n"},
        {"a stage without a map", {"terrain", "set", rom(), "0", "0", "0", "1"}, "vexa: stage 0 has no terrain data\n"},
        {"a block grown past every free range", distinctCells(rom(), 400), " bytes short\n",
         "[FreeSpace]\n0=330010-3300FF\n1=340010-3400FF\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeRomInfo(c.rominfoHead);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", path("out.smc")});
        const CliRun r = run(args);
        EXPECT_EQ(r.code, kExitRefused);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(folder / "out.smc"));
    }
}

// The free ranges and terrain tables that validate reports, in text and JSON alike.
TEST_F(VexaCli, ValidateReportsUnusualTerrainTables) {
    const TerrainBlock first = sampleSurvey(test::sampleGame().image).blocks.front();
    char overBlock[64];
    std::snprintf(overBlock, sizeof overBlock, "[FreeSpace]\r\n0=%06zX-%06zX\r\n", first.start + 16, first.start + 99);
    struct Case {
        std::string rominfoHead;
        const char* kind;
    };
    for (const Case& c : {Case{overBlock, "terrain-table-unusual"},
                          Case{"[FreeSpace]\r\n0=31FF00-3200FF\r\n", "free-space-unusable"}}) {
        SCOPED_TRACE(c.kind);
        writeRomInfo(c.rominfoHead);
        CliRun r = run({"validate", rom()});
        EXPECT_EQ(r.code, kExitFindings);
        ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
        const std::string line = r.out.substr(0, r.out.size() - 1);
        r = run({"validate", rom(), "--json"});
        EXPECT_EQ(r.code, kExitFindings);
        EXPECT_EQ(r.out, std::string("[\n {\"stage\": -1, \"kind\": \"") + c.kind +
                             "\", \"index\": -1, \"message\": \"" + line + "\"}\n]\n");
    }
}

} // namespace
} // namespace vexa
