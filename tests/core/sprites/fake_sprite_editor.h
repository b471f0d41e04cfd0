// The sprite edits without windows: the fake stage host with the sprite page as plain
// values (a vector of lines, a set of field texts, a map mark) and the real editor.
#pragma once

#include "sprites/sprite_edits.h"
#include "stage/object_list_ops.h"
#include "tests/core/stage/object_edit_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vexa::test {

inline std::wstring fakeTypeName(std::uint16_t type) {
    return L"type" + hexText4(type);
}

class FakeSpriteEditor : public FakeStageHost, public ObjectEditPage {
public:
    FakeSpriteEditor() {
        loaders.push_back([this](int stage) { edits.load(stage); });
    }

    // Opens a stage as the stage manager does: the page is cleared, then filled.
    void open(int stage) { openStage(stage); }

    // The user picks a line: the page shows the sprite and, while shown, marks it.
    void pickLine(int index) {
        lineSelection = index;
        showItem(index);
        if (shown) selected = index;
    }

    void type(const std::wstring& parameter, const std::wstring& x, const std::wstring& y, const std::wstring& t) {
        fields = {parameter, x, y, t};
    }

    void clearPage() override {
        fields = {};
        numberField.clear();
        description.clear();
        lines.clear();
        lineSelection = -1;
    }
    void rebuildLines(int from) override {
        EXPECT_LE(static_cast<std::size_t>(from), lines.size());
        lines.resize(static_cast<std::size_t>(from));
        for (int i = from; i < edits.count(); ++i)
            lines.push_back(lineOf(i));
    }
    void setLine(int index) override {
        ASSERT_LT(static_cast<std::size_t>(index), lines.size());
        lines[static_cast<std::size_t>(index)] = lineOf(index);
    }
    void selectLine(int index) override {
        lineSelection = index >= 0 && index < static_cast<int>(lines.size()) ? index : -1;
    }
    void showItem(int index) override {
        const SpriteAllocData* sprite = edits.itemAt(index);
        if (!sprite) return;
        numberField = std::to_wstring(index);
        fields = {hexText4(sprite->parameter), std::to_wstring(sprite->x), std::to_wstring(sprite->y),
                  hexText4(sprite->type)};
        description = fakeTypeName(sprite->type);
    }
    void showNumber(int index) override { numberField = std::to_wstring(index); }
    bool layerShown() const override { return shown; }
    int mapSelection() const override { return selected; }
    void setMapSelection(int index) override { selected = index; }

    std::wstring lineOf(int index) const {
        const SpriteAllocData& sprite = *edits.itemAt(index);
        return spriteLineText(index, sprite, fakeTypeName(sprite.type));
    }
    std::vector<std::wstring> expectedLines() const {
        std::vector<std::wstring> all;
        for (int i = 0; i < edits.count(); ++i)
            all.push_back(lineOf(i));
        return all;
    }
    // A stage's list as the ROM holds it now.
    SpriteList storedList(int stage) {
        SpriteList stored;
        readSpriteList(image, spriteListStart(image, stage), stored);
        return stored;
    }

    SpriteListEditor edits{*this, *this};
    const LevelSpritesData& data = edits.data();
    int selected = -1;
    bool shown = true;

    SpriteFieldTexts fields;
    std::wstring numberField;
    std::wstring description;
    std::vector<std::wstring> lines;
    int lineSelection = -1;
};

// The page's buttons, each with the fields as typed and the list's selection.
inline void applySprite(FakeSpriteEditor& editor, int index) {
    editor.edits.apply(index, editor.fields);
}
inline void addSprite(FakeSpriteEditor& editor, int index) {
    editor.edits.add(index, editor.fields);
}
inline void deleteSprite(FakeSpriteEditor& editor, int index) {
    editor.edits.remove(index);
}
inline void moveSpriteUp(FakeSpriteEditor& editor, int index) {
    editor.edits.up(index);
}
inline void moveSpriteDown(FakeSpriteEditor& editor, int index) {
    editor.edits.down(index);
}
inline void sortSprites(FakeSpriteEditor& editor, int index) {
    editor.edits.sort(index);
}
inline void showSpriteOnMap(FakeSpriteEditor& editor, int index) {
    editor.edits.showOnMap(index);
}

} // namespace vexa::test
