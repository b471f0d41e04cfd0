// File > Tiled 形式で書き出し and Tiled から読み込み through the real editor on the
// sample game: the files the export writes, a changed map read back as one undo step
// that replays from another stage, and a map with problems refused whole.
#include "terrain/terrain_fixture.h"
#include "tiled/tiled_commands_win.h"

#include "resources/resource_ids.h"

#include <nlohmann/json.hpp>

#include <functional>

namespace vexa::test {
namespace {

using Json = nlohmann::json;

class TiledCommandsTest : public TerrainTest {
protected:
    std::wstring mapPath() { return editor.folder.file(L"stage37.tmj"); }

    // The next file dialog gets `path` typed into its name field and OK.
    void chooseFile(const std::wstring& path) {
        editor.dialogs.answerNext(IDOK, [path](HWND dialog) {
            for (int id : {0x47C, 0x480})
                SetDlgItemTextW(dialog, id, path.c_str());
        });
    }

    void exportMap() {
        chooseFile(mapPath());
        editor.command(IDM_FILE_TILED_EXPORT);
    }

    // Exports the open stage, lets `change` edit the map and reads it back; the message
    // boxes after the file dialog get OK.
    void importChanged(const std::function<void(Json&)>& change, int messageBoxes = 0) {
        exportMap();
        const Bytes text = readBytes(mapPath());
        Json map = Json::parse(text.begin(), text.end());
        change(map);
        const std::string edited = map.dump();
        writeBytes(mapPath(), Bytes(edited.begin(), edited.end()));
        editor.dialogs.clear();
        chooseFile(mapPath());
        for (int i = 0; i < messageBoxes; ++i)
            editor.dialogs.answerNext(IDOK);
        editor.command(IDM_FILE_TILED_IMPORT);
    }

    static Json& layer(Json& map, std::string_view name) {
        for (Json& l : map["layers"])
            if (l["name"] == name) return l;
        throw std::runtime_error("no layer " + std::string(name));
    }
};

TEST_F(TiledCommandsTest, ExportWritesItsFilesWithNamesRightUnderEachCodePageAndReadsBackAsNoChange) {
    exportMap();
    for (const wchar_t* name : {L"stage37.tmj", L"stage37.chips.tsj", L"stage37.chips.png", L"stage37.attributes.tsj",
                                L"stage37.attributes.png"})
        EXPECT_FALSE(readBytes(editor.folder.file(name)).empty()) << std::string(name, name + wcslen(name));
    const Bytes text = readBytes(mapPath());
    const Json map = Json::parse(text.begin(), text.end());
    EXPECT_EQ(map["width"], opened.widthTiles);
    std::vector<std::string> layers;
    for (const Json& l : map["layers"])
        layers.push_back(l["name"]);
    EXPECT_EQ(layers, (std::vector<std::string>{"地形", "地形属性", "カメラ", "バナナ", "スプライト"}));
    // Names from the Shift-JIS settings files, as UTF-8.
    EXPECT_EQ(map["layers"][4]["objects"][1]["name"], "スライム");
    EXPECT_EQ(map["layers"][3]["objects"][1]["name"], "星");

    const Bytes before = image();
    editor.dialogs.clear();
    chooseFile(mapPath());
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_TILED_IMPORT);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1], L"マップはステージと同じです。変更はありません。");
    EXPECT_EQ(image(), before);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_FALSE(editor.project->isModified());
}

TEST_F(TiledCommandsTest, ChangedMapIsOneUndoStepThatReplaysFromAnotherStage) {
    const Bytes before = image();
    const std::size_t spritesBefore = levels().sprites.sprites().sprites.size();
    ASSERT_GE(spritesBefore, 2u);
    importChanged([](Json& map) {
        // Cell (2, 3) shows chip 5 with attribute 3; the first sprite moves, the last goes.
        layer(map, "地形")["data"][3 * map["width"].get<int>() + 2] = 1 + 5;
        layer(map, "地形属性")["data"][3 * map["width"].get<int>() + 2] = 4097 + 3;
        Json& sprites = layer(map, "スプライト")["objects"];
        sprites[0]["x"] = sprites[0]["x"].get<double>() + 40;
        sprites.erase(sprites.size() - 1);
    });
    ASSERT_EQ(messages().size(), 1u) << "only the file dialog";
    const std::uint16_t word = static_cast<std::uint16_t>(chipWordFor(5, 0) | 3 << 10);
    EXPECT_EQ(cellWord(shownCells(), {2, 3}), word);
    EXPECT_EQ(cellWord(imageCells(), {2, 3}), word);
    EXPECT_EQ(levels().sprites.sprites().sprites.size(), spritesBefore - 1);
    const Bytes imported = image();
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - Tiled からの読み込み(&U)\tCtrl+Z");

    levels().openStage(38);
    editor.command(IDM_EDIT_UNDO);
    EXPECT_EQ(levels().stageNumber, kSampleStage);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(levels().sprites.sprites().sprites.size(), spritesBefore);
    EXPECT_EQ(cellWord(shownCells(), {2, 3}), cellWord(cellsOf(opened), {2, 3}));
    levels().openStage(38);
    editor.command(IDM_EDIT_REDO);
    EXPECT_EQ(levels().stageNumber, kSampleStage);
    EXPECT_EQ(image(), imported);
    EXPECT_EQ(savedCells(), shownCells());
}

TEST_F(TiledCommandsTest, MapWithProblemsIsRefusedWholeInOneMessage) {
    const Bytes before = image();
    importChanged(
        [](Json& map) {
            layer(map, "地形")["data"][0] = 1 + 7; // a change that must not be written either
            Json& sprite = layer(map, "スプライト")["objects"][0];
            for (Json& p : sprite["properties"])
                if (p["name"] == "parameter") p["value"] = "0";
            layer(map, "バナナ")["objects"].erase(0);
        },
        1);
    ASSERT_EQ(messages().size(), 2u);
    const std::wstring& text = messages()[1];
    EXPECT_EQ(editor.dialogs.seen()[1].caption, L"エラー");
    EXPECT_NE(text.find(L"何も変更していません"), std::wstring::npos) << text.size();
    EXPECT_NE(text.find(L"パラメータに 0 は指定できません"), std::wstring::npos);
    EXPECT_NE(text.find(L"index 0 のバナナがありません"), std::wstring::npos);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(undoSteps(), 0u);
}

} // namespace
} // namespace vexa::test
