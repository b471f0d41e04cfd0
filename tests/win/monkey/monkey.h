// The monkey: seeded random sequences of what a user can do with the real editor on
// the sample game, each step followed by the checks that must hold whatever the user
// did, and at the end undo, redo, save and reopen compared byte for byte.
#pragma once

#include "support/editor_session.h"
#include "tools/sample_game/sample_game.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vexa::test::monkey {

// The list of every dialog and page of the editor that has one.
inline constexpr int kListId = 20752;

enum class Act : std::uint8_t {
    Menu,         // a: command id
    RecentStage,  // a: line of Stage > recent stages
    Click,        // a, b: map point; c: 1 = double-click; keys held
    Drag,         // a, b -> c, d: map points; keys held (from the empty map: a box)
    Wheel,        // a: notches (signed); b: 1 = with Ctrl (zoom)
    Scroll,       // a: 0 horizontal, 1 vertical; b: SB_ code
    Key,          // a: virtual key; b: modifiers (kCtrl, kShift)
    Tab,          // a: page (0 sprites, 1 bananas, 2 cameras, 3 terrain)
    SelectLine,   // a: page; b: line; c: 1 = double-click
    Type,         // a: page; b: field id; text; c: 1 = press Apply (or Add) after
    Press,        // a: page; b: button id
    Check,        // a: page; b: check box id
    ChooseSet,    // b: line of the banana set list
    OtherProgram, // a: 0 saves the first version, 1 saves a broken file, 2 deletes, 3 touches
    Resize,       // a, b: main window size
    OpenFile,     // the sample file, as the Open dialog or a drop would open it
    Terrain,      // a: TerrainStep; b, c, d as it says; text for a typed word
    History,      // a: line of the history window clicked (held to its lines)
    Tiled,        // a: TiledStep; b: how the file is changed or broken; d: seed of the changes
};

// What a Tiled step does (Act::Tiled's a).
enum TiledStep {
    kTiledExport,        // File > export to Tiled
    kTiledImportChanged, // the stage's own export, changed at random, read back
    kTiledImportBroken,  // a broken map (b: which way) read
    kTiledStepCount,
};

// What a terrain step does (Act::Terrain's a).
enum TerrainStep {
    kTerrainMode,    // Edit > terrain editing, or the key T with b = 1
    kTerrainTool,    // the tool button b (0 pen to 3 selection)
    kTerrainPalette, // the palette shown, chip b clicked
    kTerrainPick,    // the right button at map point (b, c)
    kTerrainEscape,  // a pen press at (b, c) moved by d cells, then Escape
    kTerrainWord,    // text typed into the word field, then Enter
    kTerrainPaste,   // the clipboard (b: which form, d: seed) pasted with Ctrl+V
    kTerrainStepCount,
};

struct Action {
    Act act = Act::Menu;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    // The keys held with a click or drag on the map (MK_CONTROL, MK_SHIFT): Ctrl+clicks,
    // boxes that add to the selection.
    int keys = 0;
    // Picks the buttons of the dialogs the step opens, and the lines they choose.
    int answer = 0;
    std::wstring text;
};

std::string describe(const Action& action);

// The system's question, in the export's file dialog, whether to replace a file.
bool isOverwriteQuestion(const SeenDialog& seen);

// What the other program's files are made from.
struct MonkeyGame {
    SampleGame game;
    SampleFileOptions options;
};

// One editor on a fresh copy of the sample game in a folder of its own.
class MonkeySession {
public:
    explicit MonkeySession(const MonkeyGame& game);

    bool started() const { return started_; }
    // What the steps did: that the monkey edits, saves and is asked, not only looks.
    struct Tally {
        std::size_t imageChanged = 0;
        std::size_t terrainEdits = 0; // changes made in terrain mode
        std::size_t blockMoves = 0;   // terrain edits that moved a block into free space
        std::size_t groupEdits = 0;   // undo steps of several objects
        std::size_t imports = 0;      // Tiled maps read into the image
        std::size_t languageSwitches = 0;
        std::size_t undone = 0;
        std::size_t dialogs = 0;
        std::size_t saved = 0;
        std::size_t stagesOpened = 0;
    };
    const Tally& tally() const { return tally_; }
    Action generate(std::mt19937& rng);
    // Does the step and checks the editor after it; the finding, if any.
    std::optional<std::string> step(const Action& action);
    // Undoes and redoes everything, saves and reopens; the finding, if any.
    std::optional<std::string> finish();

private:
    // Doing one step (monkey_actions.cpp).
    void perform(const Action& action);
    void menuCommand(int id);
    void otherProgram(int mode);
    void showPage(int page);
    HWND pageWindow(int page) const;
    POINT clientPoint(int mapX, int mapY) const;
    void mouse(UINT message, WPARAM keys, POINT client);
    void terrainStep(const Action& action);
    void terrainPaste(const Action& action);
    void tiledStep(const Action& action);
    // Runs `command`, whose file dialog gets `path`.
    void commandOnFile(int command, const std::wstring& path);
    int answerDialog(HWND dialog, const SeenDialog& seen, DialogAnswerer::Action& act);

    // The checks (monkey_session.cpp).
    std::optional<std::string> checkLists() const;
    // The map shows the open stage's terrain as the image holds it.
    std::optional<std::string> checkTerrain() const;
    // A terrain edit changes no byte but those of the blocks (with the bytes in front
    // of them and their tags), their map info records and the declared free space.
    std::optional<std::string> checkTerrainBytes(const std::vector<std::uint8_t>& before);
    // The history window, when shown, lists the undo and redo records as they stand.
    std::optional<std::string> checkHistory() const;
    std::optional<std::string> checkDialogs(const Action& action, std::size_t firstSeen) const;
    std::optional<std::string> checkSavedFile() const;
    std::vector<std::uint8_t> expectedFile() const;
    std::vector<std::uint8_t>& image() { return editor.project->document.image; }
    bool loaded() const { return editor.project->document.loaded; }

    const MonkeyGame& game_;
    EditorSession editor;
    std::wstring romPath_;
    bool started_ = false;
    // The image the history leads back to: taken whenever the history is empty.
    std::vector<std::uint8_t> baseline_;
    // What the user has seen of the file on disk being another program's.
    bool otherProgramWrote_ = false;
    bool diskBroken_ = false;
    bool checksumSaved_ = false;
    Tally tally_;
    int currentAnswer_ = 0;
    int dialogsThisStep_ = 0;
    // What the next file dialog of this step is given; empty: it is cancelled.
    std::wstring fileToChoose_;
};

struct RunResult {
    std::uint32_t seed = 0;
    std::size_t stepsRun = 0;
    std::optional<std::string> finding;
    std::vector<Action> actions; // those done, up to and including a failing one
    MonkeySession::Tally tally;
};

// Generates and does `steps` steps from `seed`, then the closing checks.
RunResult runSeed(const MonkeyGame& game, std::uint32_t seed, std::size_t steps);
// Does the given steps in a fresh session, then the closing checks.
std::optional<std::string> replay(const MonkeyGame& game, const std::vector<Action>& actions);
// The shortest sequence found that still fails as `finding` did (delta debugging),
// within `seconds`.
std::vector<Action> minimize(const MonkeyGame& game, std::vector<Action> actions, const std::string& finding,
                             double seconds);

// Stops the process with the steps so far when one step takes longer than `seconds`.
class Watchdog {
public:
    explicit Watchdog(double seconds);
    ~Watchdog();
    void begin(std::uint32_t seed, const std::string& stepsSoFar);
    void end();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vexa::test::monkey
