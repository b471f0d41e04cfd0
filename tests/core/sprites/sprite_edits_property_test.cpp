// Random edits, undos, redos and stage switches over stages whose lists share bytes,
// run out of room, reach past AvailableEnd or lie behind it. After every step the open
// stage's list must equal what the ROM holds; undoing everything must give back the
// original image byte for byte. (Sprite lists do not depend on the map type.)
#include "sprites/sprite_edits.h"

#include "sprites/fake_sprite_editor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vexa {
namespace {

using test::FakeSpriteEditor;

struct StageList {
    unsigned start;
    int count; // 0 for a stage that shares an earlier list
};

// Stage 2 shares stage 0's list; stage 8 starts inside it; stage 3 has no room to
// grow; stage 4 reaches past AvailableEnd (0x9500) and stage 5 lies behind it.
const StageList kStages[] = {{0x2000, 4}, {0x2100, 0}, {0x2000, 0}, {0x2140, 3}, {0x94F0, 3},
                             {0x9600, 2}, {0x2160, 2}, {0x2200, 0}, {0x2008, 0}};
constexpr int kStageCount = static_cast<int>(std::size(kStages));

class SpriteEditProperty : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        random.seed(GetParam());
        // Garbage everywhere behind the lists, so that a byte an edit leaves wrong shows.
        for (std::size_t i = 0; i < kBankSize; ++i)
            editor.image[imageOffset(kSpriteBank, 0) + i] = static_cast<std::uint8_t>(random() | 1);
        editor.spriteBank.levelCount = kStageCount;
        for (int stage = 0; stage < kStageCount; ++stage) {
            const StageList& list = kStages[stage];
            setRomWord(editor.image, kSpriteBank, 2 * static_cast<unsigned>(stage),
                       static_cast<std::uint16_t>(list.start));
            if (list.count == 0 && stage != 1 && stage != 7) continue;
            SpriteList sprites;
            for (int i = 0; i < list.count; ++i)
                sprites.push_back(randomSprite());
            writeSpriteList(editor.image, sprites, list.start, 0x100);
        }
        editor.open(0);
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    SpriteAllocData randomSprite() {
        return {pick(-256, 2000), pick(-256, 600), static_cast<std::uint16_t>(pick(0, 0x60)),
                static_cast<std::uint16_t>(pick(1, 0xFFFF))};
    }
    std::wstring randomNumberText() {
        switch (pick(0, 5)) {
        case 0: return L"";
        case 1: return L"-" + std::to_wstring(pick(0, 400));
        case 2: return std::to_wstring(pick(60000, 90000));
        default: return std::to_wstring(pick(0, 3000));
        }
    }
    std::wstring randomHexText() {
        switch (pick(0, 6)) {
        case 0: return L"0";
        case 1: return L"zz";
        default: return hexText4(pick(1, 0x1FFFF));
        }
    }
    int count() const { return static_cast<int>(editor.data.sprites.size()); }

    void step() {
        const int selection = editor.lineSelection;
        switch (pick(0, 13)) {
        case 0: editor.pickLine(pick(-1, count() - 1)); break;
        case 1: editor.type(randomHexText(), randomNumberText(), randomNumberText(), randomHexText()); break;
        case 2: applySprite(editor, selection); break;
        case 3: addSprite(editor, selection); break;
        case 4: deleteSprite(editor, selection); break;
        case 5: moveSpriteUp(editor, selection); break;
        case 6: moveSpriteDown(editor, selection); break;
        case 7: sortSprites(editor, selection); break;
        case 8:
        case 9: editor.undoBuffer.undo(); break;
        case 10: editor.undoBuffer.redo(); break;
        case 11: editor.open(pick(0, kStageCount - 1)); break;
        case 12:
            editor.shown = !editor.shown;
            if (!editor.shown) editor.selected = -1;
            break;
        default: { // a press on the map: a hit selects, a miss clears the mark
            const int hit = pick(-1, count() - 1);
            editor.selected = editor.shown ? hit : -1;
            if (editor.shown && hit >= 0) editor.pickLine(hit);
            break;
        }
        }
    }

    void expectConsistent(int at) {
        ASSERT_EQ(editor.data.sprites, editor.storedList(editor.stage)) << "step " << at;
        ASSERT_EQ(editor.lines, editor.expectedLines()) << "step " << at;
        ASSERT_GE(editor.lineSelection, -1);
        ASSERT_LT(editor.lineSelection, count());
        ASSERT_TRUE(editor.selected == -1 || editor.selected == editor.lineSelection) << "step " << at;
        ASSERT_EQ(editor.document.changeCount, static_cast<int>(editor.undoBuffer.undoCount()));
    }

    std::mt19937 random;
    FakeSpriteEditor editor;
};

TEST_P(SpriteEditProperty, RandomEditsStayInStepAndUndoAllRestoresTheImage) {
    const std::vector<std::uint8_t> original = editor.image;
    for (int at = 0; at < 2500; ++at) {
        step();
        ASSERT_NO_FATAL_FAILURE(expectConsistent(at));
    }
    while (editor.undoBuffer.undo())
        ASSERT_NO_FATAL_FAILURE(expectConsistent(-1));
    EXPECT_EQ(editor.document.changeCount, 0);
    EXPECT_TRUE(editor.image == original) << "undoing everything leaves the image as it was";
}

INSTANTIATE_TEST_SUITE_P(Seeds, SpriteEditProperty, ::testing::Range(1u, 25u));

} // namespace
} // namespace vexa
