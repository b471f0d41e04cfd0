// A stage editor without windows for the object edits: a ROM image with per-stage
// lists, stages that open with the map type a test gives them, an undo buffer, and
// pages that keep their lines and selections as plain values.
#pragma once

#include "app/rom_document.h"
#include "app/rom_image.h"
#include "app/undo_buffer.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "stage/object_edits.h"
#include "tools/sample_game/rom_blocks.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vexa::test {

// The stage editor around the edits of every kind: one ROM image and undo buffer, the
// settings a test gives, stages that open with the map type a test gives them, and a
// map that is a viewport. What the edits ask of it is counted for the tests to check.
class FakeStageHost : public StageEditHost {
public:
    FakeStageHost() { document.image.assign(kRomSize, 0); }

    std::span<std::uint8_t> romImage() override { return image; }
    RomInfo romInfo() const override {
        rominfoFile = IniFile::parse(textBytes("[Sprites]\nLevelCount=" + std::to_string(spriteBank.levelCount) +
                                               "\nAvailableEnd=" + std::to_string(spriteBank.availableEnd) +
                                               "\n[Bananas]\nLevels=" + std::to_string(bananaLevels) +
                                               "\n[Cameras]\nLevels=" + std::to_string(cameraLevels) + "\n"));
        return RomInfo(rominfoFile, spritesFile);
    }
    int openStageNumber() const override { return stage; }
    std::uint16_t openMapType() const override {
        const auto it = mapTypes.find(stage);
        return it == mapTypes.end() ? 0 : it->second;
    }
    void openStage(int stageNumber) override {
        stage = stageNumber;
        ++stagesOpened;
        for (auto& load : loaders)
            load(stageNumber);
    }
    void showPage(PageKind page) override {
        shownPage = page;
        ++pagesShown;
    }
    void clearOtherSelections(PageKind) override { ++otherSelectionsCleared; }
    bool isInView(int x, int y) const override {
        return x >= view.left && x < view.left + view.width && y >= view.top && y < view.top + view.height;
    }
    void centerOn(int x, int y) override { centred.emplace_back(x, y); }
    void invalidateMap() override { ++invalidations; }
    void refreshTerrain() override { ++terrainRefreshes; }
    void setMenuCheck(int command, bool checked) override { menuChecks[command] = checked; }
    void pushUndo(std::unique_ptr<UndoMethod> record) override { undoBuffer.push(std::move(record)); }
    void showError(const std::wstring& text) override { errors.push_back(text); }

    RomDocument document;
    std::vector<std::uint8_t>& image = document.image;
    UndoBuffer undoBuffer{&document};
    std::map<int, std::uint16_t> mapTypes;
    int stage = 0;
    // Every object list of the editor, loaded whenever a stage opens.
    std::vector<std::function<void(int)>> loaders;
    // The settings the edits read, as rominfo.ini would give them.
    SpriteBankSettings spriteBank;
    std::uint32_t bananaLevels = kDefaultBananaLevels;
    std::uint32_t cameraLevels = kDefaultCameraLevels;
    struct {
        int left = 0;
        int top = 0;
        int width = 256;
        int height = 224;
    } view;

    int stagesOpened = 0;
    std::optional<PageKind> shownPage;
    int pagesShown = 0;
    int terrainRefreshes = 0;
    int otherSelectionsCleared = 0;
    std::vector<std::pair<int, int>> centred;
    int invalidations = 0;
    std::map<int, bool> menuChecks;
    std::vector<std::wstring> errors;

private:
    static std::vector<std::uint8_t> textBytes(const std::string& text) { return {text.begin(), text.end()}; }

    mutable IniFile rominfoFile;
    IniFile spritesFile;
};

template <typename Traits> class FakePage : public ObjectEditPage {
public:
    using Item = typename Traits::Item;
    using LineText = std::function<std::wstring(int, const Item&)>;

    explicit FakePage(LineText lineText) : lineText(std::move(lineText)) {}

    void clearPage() override {
        lines.clear();
        selectedLine = -1;
        shownItem = -1;
        number = -1;
        ++clears;
    }
    void rebuildLines(int from) override {
        lines.resize(static_cast<std::size_t>(from));
        for (int i = from; i < editor->count(); ++i)
            lines.push_back(lineText(i, *editor->itemAt(i)));
    }
    void setLine(int index) override {
        if (index >= 0 && index < static_cast<int>(lines.size()))
            lines[index] = lineText(index, *editor->itemAt(index));
    }
    void selectLine(int index) override { selectedLine = index; }
    void showItem(int index) override {
        shownItem = index;
        number = index;
    }
    void showNumber(int index) override { number = index; }
    bool layerShown() const override { return shown; }
    int mapSelection() const override { return mapSelected; }
    void setMapSelection(int index) override { mapSelected = index; }

    const ObjectListEditor<Traits>* editor = nullptr;
    LineText lineText;
    std::vector<std::wstring> lines;
    int selectedLine = -1;
    int shownItem = -1;
    int number = -1;
    int clears = 0;
    bool shown = true;
    int mapSelected = -1;
};

// One kind's editor on the fake host, loaded with the other kinds on every stage open.
template <typename Traits> struct EditedKind {
    EditedKind(FakeStageHost& host, typename FakePage<Traits>::LineText lineText)
        : page(std::move(lineText)), editor(host, page) {
        page.editor = &editor;
        host.loaders.push_back([this](int stage) { editor.load(stage); });
    }
    EditedKind(const EditedKind&) = delete;
    EditedKind& operator=(const EditedKind&) = delete;

    FakePage<Traits> page;
    ObjectListEditor<Traits> editor;
};

// Writes a pointer table at `location` (bank in bits 16-23) whose stages hold lists of
// the given lengths, back to back behind the table, and returns each list's first slot
// offset within the bank.
inline std::vector<std::uint16_t> putObjectTable(std::vector<std::uint8_t>& image, std::uint32_t location,
                                                 const std::vector<int>& counts, unsigned entrySize) {
    return sample::writeObjectTable(image, location, counts, entrySize);
}

// Lists of the given lengths through a table at `location`, filled with random entry
// bytes. `firstByteMask` clears bits an entry never holds (a banana's bits 0-3), which
// no write could give back.
template <typename Random>
void putRandomLists(std::vector<std::uint8_t>& image, std::uint32_t location, const std::vector<int>& counts,
                    unsigned entrySize, std::uint8_t firstByteMask, Random& random) {
    const auto starts = putObjectTable(image, location, counts, entrySize);
    for (std::size_t k = 0; k < counts.size(); ++k)
        for (unsigned b = 0; b < static_cast<unsigned>(counts[k]) * entrySize; ++b)
            setRomByte(image, location >> 16, starts[k] + b,
                       static_cast<std::uint8_t>(random() & (b % entrySize == 0 ? firstByteMask : 0xFF)));
}

// The bytes of `size` slots from a slot offset.
inline std::vector<std::uint8_t> slotBytes(const std::vector<std::uint8_t>& image, std::uint32_t location,
                                           std::uint16_t first, int slot, unsigned size) {
    std::vector<std::uint8_t> bytes;
    for (unsigned i = 0; i < size; ++i)
        bytes.push_back(romByte(image, location >> 16, first + static_cast<unsigned>(slot) * size + i));
    return bytes;
}

} // namespace vexa::test
