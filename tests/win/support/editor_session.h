// A real editor for one test: the main window with its map view and inspector,
// settings files in a temp folder of its own, message boxes answered.
#pragma once

#include "app/main/project_manager_win.h"
#include "app/rom_image.h"
#include "support/dialog_answerer.h"
#include "support/temp_folder.h"

#include <memory>
#include <string>
#include <vector>

namespace vexa::test {

// A 4 MiB image with the cartridge title, stage tables all zero.
std::vector<std::uint8_t> titledImage(std::uint8_t fill = 0);

// Runs the message loop until nothing is pending (and for at least `ms`).
void pumpMessages(DWORD ms = 0);

// Puts the system pointer at screen point `at` and waits until it stays there: it
// reaches its place through the display, later on a busy machine, and a move asked
// for before may arrive after this one.
void placePointer(POINT at);

// A list box line's text as the list holds it (LB_GETTEXT); "<none>" for no such line.
std::wstring listBoxText(HWND list, int index);

class EditorSession {
public:
    // Points the settings at a fresh folder; the editor is created by start().
    EditorSession();
    ~EditorSession();

    // Writes a ROM file into the folder and returns its path.
    std::wstring writeRom(const std::wstring& name, const std::vector<std::uint8_t>& image,
                          const RomLayout& layout = {});
    void writeSetting(const std::wstring& file, const std::string& text);
    // Creates the main window as the program entry does.
    bool start(const std::wstring& commandLine = L"", int show = SW_SHOWNORMAL);
    // Destroys the main window (writing the settings), skipping the save question.
    void stop();

    LRESULT command(int id);
    // The user goes to another window and comes back to the editor.
    void comeBack();
    HMENU menu() const { return GetMenu(project->hwnd); }
    std::wstring menuText(int id) const;
    bool menuEnabled(int id) const;
    bool menuChecked(int id) const;
    // The texts of a submenu's items, from the top (separators as "-").
    std::vector<std::wstring> submenuTexts(HMENU submenu) const;
    std::wstring config(const wchar_t* section, const wchar_t* key) const;

    TempFolder folder;
    DialogAnswerer dialogs;
    std::unique_ptr<ProjectManager> project;
};

} // namespace vexa::test
