// Random edits, groups of edits taken back as one, undos, redos, jumps through the
// history and stage switches over banana and camera lists of stages of every map type,
// alone and mixed with sprite edits: the open stage's lists always match the ROM,
// undoing everything gives the original image back byte for byte, and redoing
// everything the edited one.
#include "bananas/banana_edits.h"
#include "cameras/camera_edits.h"
#include "sprites/sprite_edits.h"

#include "sprites/fake_sprite_editor.h"
#include "tests/core/stage/object_edit_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace vexa {
namespace {

using test::EditedKind;
using test::FakeStageHost;

// Every map type with a layout, and two without.
constexpr std::uint16_t kStageMapTypes[] = {0, 1, 4, 6, 7, 8, 9, 2, 0, 6, 0xFFFF};
constexpr int kStageCount = static_cast<int>(std::size(kStageMapTypes));

template <typename Traits> std::list<typename Traits::Item> romList(FakeStageHost& host, std::uint32_t levels) {
    typename Traits::Data data;
    Traits::read(host.image, levels, host.stage, host.openMapType(), data);
    return Traits::items(data);
}

BananaFields randomFields(std::mt19937& random, const BananaFields*) {
    std::uniform_int_distribution<int> position(-64, 40000);
    std::uniform_int_distribution<int> set(0, 300);
    const int chosen = set(random);
    return {position(random), position(random), (random() & 1) != 0, (random() & 2) != 0,
            chosen < 256 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(chosen)) : std::nullopt};
}

CameraFields randomFields(std::mt19937& random, const CameraFields*) {
    std::uniform_int_distribution<int> edge(-64, 40000);
    return {edge(random),        edge(random),        edge(random),        edge(random),         (random() & 1) != 0,
            (random() & 2) != 0, (random() & 4) != 0, (random() & 8) != 0, (random() & 16) != 0, (random() & 32) != 0};
}

std::vector<int> randomCounts(std::mt19937& random) {
    std::vector<int> counts;
    for (int i = 0; i < kStageCount; ++i)
        counts.push_back(static_cast<int>(random() % 7));
    return counts;
}

// Undoes or redoes up to five records in one go; a jump past an end of the history
// stops there.
void randomJump(std::mt19937& random, UndoBuffer& history) {
    const long to = static_cast<long>(history.undoCount()) + std::uniform_int_distribution<long>(-5, 5)(random);
    history.jumpTo(static_cast<std::size_t>(std::max(0L, to)));
}

// Two to four random edits gathered into one record, as an edit of several objects
// makes them. True when they made a group (and not one record alone, or none).
template <typename Edit> bool groupedEdits(std::mt19937& random, UndoBuffer& history, Edit edit) {
    const std::size_t before = history.undoCount();
    history.beginGroup();
    for (int i = 2 + static_cast<int>(random() % 3); i > 0; --i)
        edit();
    pushGroup(history, [](std::vector<std::unique_ptr<UndoMethod>> parts) {
        return std::make_unique<UndoGroup>(std::move(parts), L"まとめた変更");
    });
    return history.undoCount() > before && dynamic_cast<const UndoGroup*>(history.nextUndo()) != nullptr;
}

template <typename Traits> void randomEdit(std::mt19937& random, ObjectListEditor<Traits>& editor) {
    std::uniform_int_distribution<int> index(-1, editor.count());
    switch (random() % 4) {
    case 0: editor.apply(index(random), randomFields(random, static_cast<typename Traits::Fields*>(nullptr))); break;
    case 1: editor.up(index(random)); break;
    case 2: editor.down(index(random)); break;
    default: editor.sort(index(random)); break;
    }
}

class ObjectEditsProperty : public testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        for (int stage = 0; stage < kStageCount; ++stage)
            host.mapTypes[stage] = kStageMapTypes[stage];
        test::putRandomLists(host.image, kDefaultBananaLevels, randomCounts(random), kBananaEntrySize, 0xF0, random);
        test::putRandomLists(host.image, kDefaultCameraLevels, randomCounts(random), kCameraEntrySize, 0xFF, random);
        host.openStage(0);
    }

    void expectListsMatchTheRom() {
        ASSERT_EQ(bananas.editor.stageNumber(), host.stage);
        ASSERT_EQ(cameras.editor.stageNumber(), host.stage);
        EXPECT_EQ(bananas.editor.items(), romList<BananaEditTraits>(host, kDefaultBananaLevels));
        EXPECT_EQ(cameras.editor.items(), romList<CameraEditTraits>(host, kDefaultCameraLevels));
    }

    // Runs `steps` random steps; `edit` makes one random edit.
    template <typename Edit> void run(int steps, Edit edit) {
        const auto original = host.image;
        int groups = 0;
        for (int step = 0; step < steps; ++step) {
            switch (random() % 10) {
            case 0: host.undoBuffer.undo(); break;
            case 1: host.undoBuffer.redo(); break;
            case 2: host.openStage(static_cast<int>(random() % kStageCount)); break;
            case 3: randomJump(random, host.undoBuffer); break;
            case 4: groups += groupedEdits(random, host.undoBuffer, edit); break;
            default: edit(); break;
            }
            ASSERT_NO_FATAL_FAILURE(expectListsMatchTheRom()) << "step " << step;
        }
        EXPECT_GT(groups, 0);
        const auto edited = host.image;
        std::size_t undone = 0;
        while (host.undoBuffer.undo()) {
            ++undone;
            ASSERT_NO_FATAL_FAILURE(expectListsMatchTheRom());
        }
        EXPECT_EQ(host.image, original);
        for (std::size_t i = 0; i < undone; ++i)
            host.undoBuffer.redo();
        EXPECT_EQ(host.image, edited);
    }

    FakeStageHost host;
    EditedKind<BananaEditTraits> bananas{
        host, [](int i, const BananaAllocData& b) { return bananaListLine(i, b.setNumber, L"?"); }};
    EditedKind<CameraEditTraits> cameras{host, [](int i, const CameraAllocData& c) { return cameraListLine(i, c); }};
    std::mt19937 random{GetParam()};
};

TEST_P(ObjectEditsProperty, RandomBananaEditsUndoToTheOriginalImage) {
    run(400, [this] { randomEdit(random, bananas.editor); });
}

TEST_P(ObjectEditsProperty, RandomCameraEditsUndoToTheOriginalImage) {
    run(400, [this] { randomEdit(random, cameras.editor); });
}

TEST_P(ObjectEditsProperty, RandomMixedEditsUndoToTheOriginalImage) {
    run(400, [this] {
        if (random() & 1)
            randomEdit(random, bananas.editor);
        else
            randomEdit(random, cameras.editor);
    });
}

INSTANTIATE_TEST_SUITE_P(ObjectSeeds, ObjectEditsProperty, testing::Values(1u, 7u, 42u, 1234u, 99991u));

// The sprite editor and the banana and camera editors on one host: one image, one
// undo buffer and one open stage.
class MixedEditsProperty : public testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        auto& image = sprites.image;
        for (int stage = 0; stage < kStageCount; ++stage) {
            host.mapTypes[stage] = kStageMapTypes[stage];
            const unsigned start = 0x2000 + 0x100 * static_cast<unsigned>(stage);
            setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(stage), static_cast<std::uint16_t>(start));
            SpriteList list;
            for (int i = static_cast<int>(random() % 5); i > 0; --i)
                list.push_back(randomSprite());
            writeSpriteList(image, list, start, 0x100);
        }
        test::putRandomLists(image, kDefaultBananaLevels, randomCounts(random), kBananaEntrySize, 0xF0, random);
        test::putRandomLists(image, kDefaultCameraLevels, randomCounts(random), kCameraEntrySize, 0xFF, random);
        host.openStage(0);
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    SpriteAllocData randomSprite() {
        return {pick(-256, 2000), pick(-256, 600), static_cast<std::uint16_t>(pick(0, 0x60)),
                static_cast<std::uint16_t>(pick(1, 0xFFFF))};
    }

    void spriteEdit() {
        const int count = static_cast<int>(sprites.data.sprites.size());
        sprites.pickLine(pick(-1, count - 1));
        const int selection = sprites.lineSelection;
        switch (pick(0, 5)) {
        case 0:
            sprites.type(hexText4(pick(0, 0xFFFF)), std::to_wstring(pick(-300, 3000)), std::to_wstring(pick(-300, 900)),
                         hexText4(pick(0, 0x60)));
            applySprite(sprites, selection);
            break;
        case 1:
            sprites.type(hexText4(pick(1, 0xFFFF)), L"64", L"32", L"0002");
            addSprite(sprites, selection);
            break;
        case 2: deleteSprite(sprites, selection); break;
        case 3: moveSpriteUp(sprites, selection); break;
        case 4: moveSpriteDown(sprites, selection); break;
        default: sortSprites(sprites, selection); break;
        }
    }

    void anyEdit() {
        switch (pick(0, 2)) {
        case 0: spriteEdit(); break;
        case 1: randomEdit(random, bananas.editor); break;
        default: randomEdit(random, cameras.editor); break;
        }
    }

    void expectEveryListMatchesTheRom() {
        ASSERT_EQ(sprites.stage, host.stage);
        ASSERT_EQ(sprites.data.sprites, sprites.storedList(host.stage));
        ASSERT_EQ(bananas.editor.stageNumber(), host.stage);
        ASSERT_EQ(cameras.editor.stageNumber(), host.stage);
        typename BananaEditTraits::Data storedBananas;
        readStageBananas(sprites.image, kDefaultBananaLevels, host.stage, host.openMapType(), storedBananas);
        ASSERT_EQ(bananas.editor.items(), storedBananas.bananas);
        typename CameraEditTraits::Data storedCameras;
        readStageCameras(sprites.image, kDefaultCameraLevels, host.stage, host.openMapType(), storedCameras);
        ASSERT_EQ(cameras.editor.items(), storedCameras.cameras);
    }

    std::mt19937 random{GetParam()};
    test::FakeSpriteEditor sprites;
    FakeStageHost& host = sprites;
    EditedKind<BananaEditTraits> bananas{
        host, [](int i, const BananaAllocData& b) { return bananaListLine(i, b.setNumber, L"?"); }};
    EditedKind<CameraEditTraits> cameras{host, [](int i, const CameraAllocData& c) { return cameraListLine(i, c); }};
};

TEST_P(MixedEditsProperty, AllThreeKindsWithStageSwitchesUndoToTheOriginalImage) {
    UndoBuffer& history = sprites.undoBuffer;
    const auto original = sprites.image;
    int groups = 0;
    for (int step = 0; step < 600; ++step) {
        switch (random() % 11) {
        case 0: history.undo(); break;
        case 1: history.redo(); break;
        case 2: host.openStage(pick(0, kStageCount - 1)); break;
        case 3:
        case 4: spriteEdit(); break;
        case 5:
        case 6: randomEdit(random, bananas.editor); break;
        case 7: randomJump(random, history); break;
        case 8: groups += groupedEdits(random, history, [this] { anyEdit(); }); break;
        default: randomEdit(random, cameras.editor); break;
        }
        ASSERT_NO_FATAL_FAILURE(expectEveryListMatchesTheRom()) << "step " << step;
    }
    EXPECT_GT(groups, 0);
    ASSERT_GT(history.undoCount() + history.redoCount(), 50u);
    const auto edited = sprites.image;
    const std::size_t undoable = history.undoCount();
    while (history.undo())
        ASSERT_NO_FATAL_FAILURE(expectEveryListMatchesTheRom());
    EXPECT_TRUE(sprites.image == original) << "undoing everything leaves the image as it was";
    history.jumpTo(undoable);
    ASSERT_NO_FATAL_FAILURE(expectEveryListMatchesTheRom());
    EXPECT_TRUE(sprites.image == edited) << "redoing to where the steps left off gives the edited image";
}

INSTANTIATE_TEST_SUITE_P(ObjectSeeds, MixedEditsProperty, testing::Values(3u, 11u, 2024u, 31337u));

} // namespace
} // namespace vexa
