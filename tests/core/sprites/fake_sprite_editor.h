// An editor for the sprite edits without windows: the page is a vector of lines and
// a set of field texts, the map a viewport, the undo buffer the real one.
#pragma once

#include "app/rom_document.h"
#include "app/rom_image.h"
#include "app/undo_buffer.h"
#include "sprites/sprite_edits.h"
#include "stage/object_list_ops.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vexa::test {

inline std::wstring fakeTypeName(std::uint16_t type) {
    return L"type" + hexText4(type);
}

class FakeSpriteEditor : public SpriteEditor {
public:
    FakeSpriteEditor() { document.image.assign(kRomSize, 0); }

    std::vector<std::uint8_t>& image() { return document.image; }

    // Opens a stage as the stage manager does: the page is cleared, then filled.
    void open(int stage) {
        ++loads;
        openStageNumber = stage;
        fields = {};
        numberField.clear();
        description.clear();
        lines.clear();
        lineSelection = -1;
        loadStageSprites(image(), stage, settings, data, selected);
        remakeLines(0);
    }

    // The user picks a line: the page shows the sprite and, while shown, marks it.
    void pickLine(int index) {
        lineSelection = index;
        if (index >= 0) showFields(itemAt(data.sprites, index), index);
        if (shown) selected = index;
    }

    void type(const std::wstring& parameter, const std::wstring& x, const std::wstring& y, const std::wstring& t) {
        fields = {parameter, x, y, t};
    }

    std::span<std::uint8_t> romImage() override { return document.image; }
    LevelSpritesData& spriteData() override { return data; }
    int& mapSelection() override { return selected; }
    bool spritesShown() const override { return shown; }
    int openStage() const override { return openStageNumber; }
    void switchToStage(int stage) override { open(stage); }
    void clearOtherSelections() override { ++otherSelectionsCleared; }
    void showSpritePage() override { ++spritePageShown; }
    MapViewport visibleMap() const override { return view; }
    void centerMapOn(int x, int y) override { centred.emplace_back(x, y); }
    void redrawMap() override { ++redraws; }
    SpriteFieldTexts fieldTexts() const override { return fields; }
    void showFields(const SpriteAllocData& sprite, int index) override {
        numberField = std::to_wstring(index);
        fields = {hexText4(sprite.parameter), std::to_wstring(sprite.x), std::to_wstring(sprite.y), hexText4(sprite.type)};
        description = fakeTypeName(sprite.type);
    }
    void setNumberField(int index) override { numberField = std::to_wstring(index); }
    void remakeLines(int from) override {
        EXPECT_LE(static_cast<std::size_t>(from), lines.size());
        lines.resize(static_cast<std::size_t>(from));
        for (int i = from; i < static_cast<int>(data.sprites.size()); ++i)
            lines.push_back(lineOf(i));
    }
    void replaceLine(int index) override {
        ASSERT_LT(static_cast<std::size_t>(index), lines.size());
        lines[static_cast<std::size_t>(index)] = lineOf(index);
    }
    void selectLine(int index) override {
        lineSelection = index >= 0 && index < static_cast<int>(lines.size()) ? index : -1;
    }
    void showError(const std::wstring& text) override { errors.push_back(text); }
    void pushRecord(std::unique_ptr<UndoMethod> record) override { undo.push(std::move(record)); }

    std::wstring lineOf(int index) const {
        const SpriteAllocData& sprite = itemAt(data.sprites, index);
        return spriteLineText(index, sprite, fakeTypeName(sprite.type));
    }
    std::vector<std::wstring> expectedLines() const {
        std::vector<std::wstring> all;
        for (int i = 0; i < static_cast<int>(data.sprites.size()); ++i)
            all.push_back(lineOf(i));
        return all;
    }
    // The open stage's list as the ROM holds it now.
    SpriteList storedList(int stage) {
        SpriteList stored;
        readSpriteList(image(), spriteListStart(image(), stage), stored);
        return stored;
    }

    RomDocument document;
    UndoBuffer undo{&document};
    SpriteBankSettings settings;
    LevelSpritesData data;
    int selected = -1;
    bool shown = true;
    int openStageNumber = 0;
    MapViewport view{0, 0, 256, 224};

    SpriteFieldTexts fields;
    std::wstring numberField;
    std::wstring description;
    std::vector<std::wstring> lines;
    int lineSelection = -1;
    std::vector<std::wstring> errors;
    std::vector<std::pair<int, int>> centred;
    int otherSelectionsCleared = 0;
    int spritePageShown = 0;
    int redraws = 0;
    int loads = 0;
};

} // namespace vexa::test
