// The common frame of the three object managers: an inspector page (a modeless
// child dialog from its template) that is also a layer of the map view.
#pragma once

#include "app/rom_data_base.h"
#include "stage/object_layer_win.h"
#include "ui/window_win.h"

namespace vexa {

class LevelManager;
class ProjectManager;

class ObjectPage : public MyDialog, public TabPage, public ObjectLayer, public RomData_Base {
public:
    ObjectPage(ProjectManager* project, LevelManager* view) : project(project), view(view) {}

    bool createPage(HWND parent) override { return createModeless(parent); }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Called once the page's controls exist.
    virtual void onInitPage() {}
    // A command from one of the page's controls; true when handled.
    virtual bool onPageCommand(int /*id*/, int /*code*/) { return false; }

    ProjectManager* project;
    LevelManager* view;
};

} // namespace vexa
