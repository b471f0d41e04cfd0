// File > パッチの作成 and ステージを画像で保存 through the real editor: the dialogs
// answered as a user would, the files they write read back independently.
#include "app/image_codec.h"
#include "app/patch_bps.h"
#include "app/patch_ips.h"
#include "app/rom_checksum.h"
#include "app/rom_image.h"
#include "sprites/sprite_stage_fixture.h"
#include "stage/map_look.h"
#include "ui/path_text.h"

namespace vexa::test {
namespace {

class ShareCommandsTest : public SpriteStageTest {
protected:
    // The next file dialog gets `path` typed into its name field and OK.
    void chooseFile(const std::wstring& path, std::wstring* shown = nullptr) {
        editor.dialogs.answerNext(IDOK, [path, shown](HWND dialog) {
            if (shown) {
                wchar_t text[MAX_PATH] = {};
                GetDlgItemTextW(dialog, GetDlgItem(dialog, 0x47C) ? 0x47C : 0x480, text, MAX_PATH);
                *shown = text;
            }
            for (int id : {0x47C, 0x480})
                SetDlgItemTextW(dialog, id, path.c_str());
        });
    }
};

// The original chosen is a file with a copier header: a BPS patch lies between the
// images, an IPS patch between the files as they are on disk, as IPS patchers apply it.
TEST_F(ShareCommandsTest, PatchLeadsFromTheOriginalToTheImageASaveWouldWrite) {
    const Bytes original = readBytes(editor.project->romPath);
    const RomLayout headered{true, false, {}};
    const std::wstring clean = editor.folder.file(L"clean.smc");
    writeBytes(clean, encodeRomFile(original, headered));
    typeSprite(L"0001", L"100", L"100", L"0002");
    press(IDC_SPRITE_ADD); // shifts the list after it: found as a copy, not stored again
    Bytes expected = image();
    fixChecksum(expected);

    struct Case {
        const wchar_t* name;
        bool ips;
    };
    for (const Case& c : {Case{L"hack.bps", false}, Case{L"hack.IPS", true}}) {
        SCOPED_TRACE(c.ips ? "IPS" : "BPS");
        editor.dialogs.clear();
        std::wstring startedAt;
        chooseFile(clean, &startedAt);
        chooseFile(editor.folder.file(c.name));
        editor.dialogs.answerNext(IDOK); // where the patch went
        editor.command(IDM_FILE_CREATE_PATCH);
        ASSERT_EQ(editor.dialogs.seen().size(), 3u);
        EXPECT_EQ(editor.dialogs.seen()[1].caption, L"パッチの作成");
        const Bytes patch = readBytes(editor.folder.file(c.name));
        EXPECT_NE(editor.dialogs.seen()[2].text.find(std::to_wstring(patch.size()) + L" バイト"), std::wstring::npos);
        const PatchResult applied =
            c.ips ? applyIpsPatch(encodeRomFile(original, headered), patch) : applyBpsPatch(original, patch);
        ASSERT_EQ(applied.status, PatchStatus::Ok);
        EXPECT_EQ(applied.target, c.ips ? encodeRomFile(expected, headered) : expected);
        if (c.ips) {
            EXPECT_EQ(startedAt, fileNamePart(clean)) << "the original is remembered";
        } else {
            EXPECT_LT(patch.size(), 100u);
        }
    }
    EXPECT_EQ(editor.config(L"Patch", L"Original"), clean);
    EXPECT_TRUE(editor.project->isModified()) << "making a patch saves nothing";
}

TEST_F(ShareCommandsTest, StagePictureIsTheWholeMapAsShown) {
    const std::wstring path = editor.folder.file(L"stage.png");
    chooseFile(path);
    editor.command(IDM_FILE_SAVE_PICTURE);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    const std::optional<RgbaImage> picture = decodeImage(readBytes(path));
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, kMapWidthTiles * 32);
    ASSERT_EQ(picture->height, kMapHeightTiles * 32);
    const auto colourAt = [&](int x, int y) {
        const std::size_t at = picture->at(x, y);
        return RGB(picture->rgba[at], picture->rgba[at + 1], picture->rgba[at + 2]);
    };
    EXPECT_EQ(colourAt(5, 5), kSkyColour);
    EXPECT_EQ(colourAt(kMapWidthTiles * 32 - 5, 10 * 32), kGroundColour);
    // Sprite #4 stands at (1200, 300), far right of the 640-pixel view.
    EXPECT_EQ(colourAt(1200 - kSpriteBoxHalfWidth, 290), RGB(255, 0, 0));

    editor.command(IDM_VIEW_SPRITES); // hidden on the map, left out of the picture
    chooseFile(path);
    editor.dialogs.answerNext(IDYES); // replace the picture made before
    editor.command(IDM_FILE_SAVE_PICTURE);
    const std::optional<RgbaImage> hidden = decodeImage(readBytes(path));
    ASSERT_TRUE(hidden);
    const std::size_t at = hidden->at(1200 - kSpriteBoxHalfWidth, 290);
    EXPECT_EQ(RGB(hidden->rgba[at], hidden->rgba[at + 1], hidden->rgba[at + 2]), kGroundColour);
}

} // namespace
} // namespace vexa::test
