#include "bananas/bananas_page_win.h"

#include "bananas/object_page_fixture.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::ObjectPageTest;
using test::pumpMessages;

class BananaPageTest : public ObjectPageTest {
protected:
    LevelBananasManager& bananas() { return view().bananas; }
    HWND page() { return view().bananas.hwnd; }
};

TEST_F(BananaPageTest, Smoke) {
    auto rom = test::objectStageImage();
    test::putBananaLists(rom, {{{0, 0, false, false, 0}, {64, 32, true, false, 5}}});
    open(rom);
    EXPECT_EQ(view().mapType, 0);
    EXPECT_EQ(view().widthTiles, 64);
    EXPECT_EQ(lineCount(page(), IDC_BANANA_LIST), 2);
    EXPECT_EQ(line(page(), IDC_BANANA_LIST, 1), L"#1: 05: ?");
    view().showInspectorPage(1);
    screenshot("bc_banana_smoke");
}

} // namespace
} // namespace vexa
