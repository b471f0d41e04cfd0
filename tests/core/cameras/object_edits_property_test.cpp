// Random edits, undos, redos and stage switches over banana and camera lists of
// stages of every map type: the open stage's list always matches the ROM, and undoing
// everything gives the original image back byte for byte.
#include "bananas/banana_edits.h"
#include "cameras/camera_edits.h"

#include "tests/core/bananas/object_edit_fixture.h"

#include <gtest/gtest.h>

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

// Fills every stage's list with random entries. `firstByteMask` clears the bits an
// entry never holds (a banana's bits 0-3), which no write could give back.
void fillTable(FakeStageHost& host, std::uint32_t location, unsigned entrySize, std::uint8_t firstByteMask,
               std::mt19937& random) {
    std::vector<int> counts;
    for (int i = 0; i < kStageCount; ++i)
        counts.push_back(static_cast<int>(random() % 7));
    const auto starts = test::putObjectTable(host.image, location, counts, entrySize);
    for (int k = 0; k < kStageCount; ++k)
        for (unsigned b = 0; b < static_cast<unsigned>(counts[k]) * entrySize; ++b)
            setRomByte(host.image, location >> 16, starts[k] + b,
                       static_cast<std::uint8_t>(random() & (b % entrySize == 0 ? firstByteMask : 0xFF)));
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
        fillTable(host, kDefaultBananaLevels, kBananaEntrySize, 0xF0, random);
        fillTable(host, kDefaultCameraLevels, kCameraEntrySize, 0xFF, random);
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
        for (int step = 0; step < steps; ++step) {
            switch (random() % 8) {
            case 0: host.undoBuffer.undo(); break;
            case 1: host.undoBuffer.redo(); break;
            case 2: host.openStage(static_cast<int>(random() % kStageCount)); break;
            default: edit(); break;
            }
            ASSERT_NO_FATAL_FAILURE(expectListsMatchTheRom()) << "step " << step;
        }
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
    EditedKind<BananaEditTraits> bananas{host, kDefaultBananaLevels, [](int i, const BananaAllocData& b) {
                                             return bananaListLine(i, b.setNumber, L"?");
                                         }};
    EditedKind<CameraEditTraits> cameras{host, kDefaultCameraLevels,
                                         [](int i, const CameraAllocData& c) { return cameraListLine(i, c); }};
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

} // namespace
} // namespace vexa
