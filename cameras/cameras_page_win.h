// The cameras page of the inspector and the cameras layer of the map view.
#pragma once

#include "stage/object_page_win.h"

namespace vexa {

class LevelCamerasManager : public ObjectPage {
public:
    using ObjectPage::ObjectPage;

    const wchar_t* templateName() const override { return L"CAMERA_EDIT"; }
    const wchar_t* pageCaption() const override { return L"カメラ"; }

    bool initialize() override { return true; }
    void saveSettings() override {}
    void loadStage(int) override {}
    void clearObjects() override {}
    void enable(bool) override {}
    bool toggleShown() override { return true; }
    bool hoverTest(int, int) override { return false; }
    bool hitTest(int, int) override { return false; }
    void dragStep(int, int) override {}
    void drop(bool) override {}
    void drawFirstPass(HDC, const RECT&) override {}
    void drawSecondPass(HDC, const RECT&) override {}
};

} // namespace vexa
