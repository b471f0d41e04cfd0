// The monkey's checks after each step and at the end, the seeded run, the replay of
// a recorded sequence and its shortening, and the watchdog for a step that hangs.
#include "monkey/monkey.h"

#include "app/settings_win.h"

#include "app/history_lines.h"
#include "app/ini_file.h"
#include "app/main/project_manager_win.h"
#include "app/rom_checksum.h"
#include "bananas/banana_edits.h"
#include "bananas/bananas_page_win.h"
#include "cameras/camera_edits.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "sprites/sprite_edits.h"
#include "sprites/sprites_page_win.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "stage/view/stage_contents.h"
#include "terrain/terrain_blocks.h"
#include "ui/texts.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <regex>
#include <thread>

namespace vexa::test::monkey {

namespace {

std::string narrow(const std::wstring& text) {
    return utf16ToUtf8({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

// Commands whose own dialog (a list, a path, or the system's file dialog) may open.
bool opensDialog(const Action& action) {
    if (action.act == Act::Press) return action.b == IDC_SPRITE_TYPE_BROWSE;
    if (action.act == Act::Tiled) return true;
    if (action.act != Act::Menu) return false;
    switch (action.a) {
    case IDM_FILE_OPEN:
    case IDM_FILE_SAVE_AS:
    case IDM_FILE_RESTORE:
    case IDM_FILE_EMULATOR:
    case IDM_FILE_CREATE_PATCH:
    case IDM_FILE_SAVE_PICTURE:
    case IDM_STAGE_SELECT: return true;
    default: return false;
    }
}

bool isMenu(const Action& action, std::initializer_list<int> ids) {
    return action.act == Act::Menu && std::find(ids.begin(), ids.end(), action.a) != ids.end();
}

// A text of the string tables as a regular expression: its %1 to %9 stand for
// anything on one line.
std::wstring patternOf(const std::wstring& text) {
    std::wstring pattern;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
            pattern += L".*";
            ++i;
            continue;
        }
        if (std::wstring_view(L"\\^$.|?*+()[]{}").find(text[i]) != std::wstring_view::npos) pattern += L'\\';
        pattern += text[i];
    }
    return pattern;
}

// A message the editor may show for this step, in either language: an answer to
// what the user did, a question before throwing edits away, or news of what the
// other program did.
bool expectedMessage(const std::wstring& text, const Action& action, bool otherProgramWrote, bool diskBroken) {
    struct Rule {
        unsigned id;
        bool allowed;
        unsigned optionalLine = 0; // a text that may follow
        bool anyTail = false;      // lines of details may follow
    };
    const bool closing =
        action.act == Act::OpenFile || isMenu(action, {IDM_FILE_CLOSE, IDM_RECENT_FILE_FIRST, IDM_FILE_OPEN});
    const bool editing = action.act == Act::Type || action.act == Act::Press || action.act == Act::Key ||
                         isMenu(action, {IDM_EDIT_PASTE});
    const bool terrain = action.act == Act::Terrain;
    const bool tiled = action.act == Act::Tiled;
    const bool painting = editing || terrain || action.act == Act::Click || action.act == Act::Drag;
    const bool reading = closing || isMenu(action, {IDM_FILE_RELOAD}) || otherProgramWrote;
    const Rule rules[] = {
        {IDS_ASK_SAVE, closing},
        {IDS_DISCARD_EDITS, isMenu(action, {IDM_FILE_RELOAD})},
        {IDS_ZERO_PARAMETER, editing},
        {IDS_SPRITE_LIST_FULL, editing},
        {IDS_PASTE_NO_ROOM, editing},
        {IDS_NO_EMULATOR, isMenu(action, {IDM_FILE_TEST_PLAY})},
        {IDS_EMULATOR_FAILED, isMenu(action, {IDM_FILE_TEST_PLAY})},
        {IDS_NO_BACKUP, isMenu(action, {IDM_FILE_RESTORE})},
        {IDS_CHANGED_RELOAD, otherProgramWrote, IDS_EDITS_DISCARDED_LINE},
        {IDS_CHANGED_OVERWRITE, otherProgramWrote},
        {IDS_FILE_MISSING, otherProgramWrote},
        // Reload after the other program deleted or broke the file.
        {IDS_RELOAD_FAILED, otherProgramWrote && isMenu(action, {IDM_FILE_RELOAD})},
        // A restore point may be the broken file another program left, kept by a save.
        {IDS_BAD_SIZE, (reading && diskBroken) || isMenu(action, {IDM_FILE_RESTORE})},
        {IDS_NOT_TERRAIN_CELLS, editing || terrain},
        {IDS_BAD_WORD, terrain},
        {IDS_TERRAIN_NO_ROOM, painting},
        {IDS_TILED_NOT_READ, tiled, 0, true},
        {IDS_TILED_SAME, tiled},
        {IDS_TILED_SENTENCE, tiled},
        {IDS_FILE_NOT_READ, tiled},
    };
    for (const Rule& rule : rules) {
        if (!rule.allowed) continue;
        for (const Language language : kLanguages) {
            std::wstring pattern = patternOf(textIn(language, rule.id));
            if (rule.optionalLine) pattern += L"(" + patternOf(textIn(language, rule.optionalLine)) + L")?";
            if (rule.anyTail) pattern += L"[\\s\\S]*";
            if (std::regex_match(text, std::wregex(pattern))) return true;
        }
    }
    return false;
}

std::string lineMismatch(const char* kind, int index, const std::wstring& shown, const std::wstring& read) {
    return std::string(kind) + " line " + std::to_string(index) + " shows \"" + narrow(shown) +
           "\" but the image holds \"" + narrow(read) + "\"";
}

} // namespace

bool isOverwriteQuestion(const SeenDialog& seen) {
    return !seen.text.empty() && std::any_of(std::begin(kLanguages), std::end(kLanguages), [&](Language language) {
        return seen.caption == textIn(language, IDS_TILED_EXPORT_TITLE);
    });
}

MonkeySession::MonkeySession(const MonkeyGame& game) : game_(game) {
    if (!writeSampleGame(game.game, editor.folder.path(), game.options)) return;
    romPath_ = editor.folder.file(L"sample.smc");
    editor.dialogs.setPolicy([this](HWND dialog, const SeenDialog& seen, DialogAnswerer::Action& act) {
        return answerDialog(dialog, seen, act);
    });
    started_ = editor.start(L"\"" + romPath_ + L"\"") && loaded();
    if (started_) {
        MoveWindow(editor.project->hwnd, 0, 0, 900, 640, TRUE);
        pumpMessages();
        baseline_ = image();
    }
}

std::optional<std::string> MonkeySession::checkLists() const {
    const LevelManager& levels = editor.project->levels;
    const ObjectPage* pages[] = {&levels.sprites, &levels.bananas, &levels.cameras};
    auto count = [&](int page) {
        return static_cast<int>(SendDlgItemMessageW(pages[page]->hwnd, kListId, LB_GETCOUNT, 0, 0));
    };
    if (!loaded()) {
        for (int page = 0; page < 3; ++page)
            if (count(page) != 0) return "a list shows lines with no ROM open";
        return std::nullopt;
    }
    const StageContents stage =
        loadStageContents(editor.project->document.image, levels.host.romInfo(), levels.stageNumber);
    if (!stage.sprites.readable)
        return "the sprite list of stage " + std::to_string(stage.stageNumber) + " is unreadable";
    std::vector<std::vector<std::wstring>> read(3);
    for (const SpriteAllocData& sprite : stage.sprites.sprites)
        read[0].push_back(
            spriteLineText(static_cast<int>(read[0].size()), sprite, spriteTypeLabel(romInfo(), sprite.type)));
    for (const BananaAllocData& banana : stage.bananas.bananas)
        read[1].push_back(bananaListLine(static_cast<int>(read[1].size()), banana.setNumber,
                                         bananaSetNameText(romInfo(), banana.setNumber)));
    for (const CameraAllocData& camera : stage.cameras.cameras)
        read[2].push_back(cameraListLine(static_cast<int>(read[2].size()), camera));
    static const char* const kinds[] = {"sprite", "banana", "camera"};
    for (int page = 0; page < 3; ++page) {
        const auto& lines = read[static_cast<std::size_t>(page)];
        if (count(page) != static_cast<int>(lines.size()))
            return std::string(kinds[page]) + " list shows " + std::to_string(count(page)) +
                   " lines but the image holds " + std::to_string(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::wstring shown = listBoxText(GetDlgItem(pages[page]->hwnd, kListId), static_cast<int>(i));
            if (shown != lines[i]) return lineMismatch(kinds[page], static_cast<int>(i), shown, lines[i]);
        }
    }
    return std::nullopt;
}

std::optional<std::string> MonkeySession::checkDialogs(const Action& action, std::size_t firstSeen) const {
    const std::vector<SeenDialog>& seen = editor.dialogs.seen();
    for (std::size_t i = firstSeen; i < seen.size(); ++i) {
        const SeenDialog& dialog = seen[i];
        const bool known = dialog.text.empty() ? opensDialog(action)
                           : action.act == Act::Tiled && isOverwriteQuestion(dialog)
                               ? true
                               : expectedMessage(dialog.text, action, otherProgramWrote_, diskBroken_);
        if (!known) return "unexpected dialog \"" + narrow(dialog.caption) + "\": \"" + narrow(dialog.text) + "\"";
    }
    return std::nullopt;
}

std::vector<std::uint8_t> MonkeySession::expectedFile() const {
    std::vector<std::uint8_t> saved = editor.project->document.image;
    if (editor.project->fixChecksumOnSave) fixChecksum(saved);
    return encodeRomFile(saved, editor.project->document.layout);
}

std::optional<std::string> MonkeySession::checkSavedFile() const {
    if (readBytes(romPath_) != expectedFile()) return "the file on disk is not the image just saved";
    return std::nullopt;
}

std::optional<std::string> MonkeySession::checkTerrain() const {
    const LevelManager& levels = editor.project->levels;
    if (!loaded()) return std::nullopt;
    if (levels.terrain.stroking()) return "a terrain stroke is still open after the step";
    const TilemapData& shown = levels.tilemap.data();
    TilemapData stored;
    if (loadTilemapData(editor.project->document.image,
                        readStageHeaderOfStage(editor.project->document.image, levels.stageNumber),
                        levels.host.romInfo().mapTables(), stored) != TilemapLoadOutcome::Loaded)
        return std::nullopt;
    if (shown.widthTiles != stored.widthTiles || shown.heightTiles != stored.heightTiles)
        return "the map's size is not the stage's";
    for (int row = 0; row < stored.heightTiles; ++row)
        for (int column = 0; column < stored.widthTiles; ++column)
            if (tileWordAt(shown, column, row) != tileWordAt(stored, column, row))
                return "the map shows cell (" + std::to_string(column) + ", " + std::to_string(row) +
                       ") other than the image holds";
    if (levels.inTerrainMode() != (levels.inspector.shownPage() == 3))
        return "terrain mode does not follow the inspector's page";
    return std::nullopt;
}

namespace {

// The byte runs a terrain edit may change, by what the survey of `image` finds:
// [first, end) each.
std::vector<std::pair<std::size_t, std::size_t>> terrainRuns(const TerrainSurvey& survey) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const TerrainBlock& block : survey.blocks) {
        runs.emplace_back(block.head, block.start + std::max(block.room, block.length));
        for (const unsigned info : block.infoOffsets) {
            const std::size_t at = imageOffset(survey.infoBank, info);
            runs.emplace_back(at, at + kMapInfoHeadSize);
        }
    }
    for (const FreeRange& range : survey.freeSpace)
        runs.emplace_back(range.first, range.last + 1);
    return runs;
}

// What edits the terrain alone when the map is in terrain mode before and after.
bool editsTerrainOnly(const Action& action) {
    switch (action.act) {
    case Act::Click:
    case Act::Drag:
    case Act::Key:
    case Act::Terrain: return true;
    case Act::Menu: return action.a == IDM_EDIT_PASTE || action.a == IDM_EDIT_DELETE;
    default: return false;
    }
}

} // namespace

std::optional<std::string> MonkeySession::checkTerrainBytes(const std::vector<std::uint8_t>& before) {
    const LevelManager& levels = editor.project->levels;
    const TerrainTables tables = terrainTables(levels.host.romInfo());
    const TerrainSurvey was = surveyTerrain(before, tables);
    const TerrainSurvey now = surveyTerrain(image(), tables);
    auto runs = terrainRuns(was);
    for (const auto& run : terrainRuns(now))
        runs.push_back(run);
    const std::vector<std::uint8_t>& after = image();
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] == before[i]) continue;
        if (std::none_of(runs.begin(), runs.end(), [i](const auto& run) { return i >= run.first && i < run.second; }))
            return "a terrain edit changed byte " + std::to_string(i) +
                   ", which lies outside the blocks, their map "
                   "info and the free space";
    }
    const int wasBlock = was.blockOfStage(levels.stageNumber);
    const int nowBlock = now.blockOfStage(levels.stageNumber);
    if (wasBlock >= 0 && nowBlock >= 0 &&
        was.blocks[static_cast<std::size_t>(wasBlock)].start != now.blocks[static_cast<std::size_t>(nowBlock)].start)
        ++tally_.blockMoves;
    return std::nullopt;
}

std::optional<std::string> MonkeySession::checkHistory() const {
    const HistoryWindow& window = editor.project->history;
    if (!window.hwnd || !IsWindowVisible(window.hwnd)) return std::nullopt;
    const UndoBuffer& history = editor.project->undoBuffer;
    const std::size_t records = loaded() ? history.undoCount() + history.redoCount() : 0;
    const auto shown = static_cast<std::size_t>(SendMessageW(window.list, LB_GETCOUNT, 0, 0));
    if (shown != (loaded() ? records + 1 : 0))
        return "the history window shows " + std::to_string(shown) + " lines for " + std::to_string(records) +
               " records";
    if (!loaded()) return std::nullopt;
    if (listBoxText(window.list, 0) != text(IDS_HISTORY_OPENED))
        return "the history window's first line is \"" + narrow(listBoxText(window.list, 0)) + "\"";
    for (std::size_t i = 0; i < records; ++i) {
        const auto line = static_cast<int>(i + 1);
        const std::wstring wanted = historyLineText(history.record(i));
        if (listBoxText(window.list, line) != wanted)
            return "history line " + std::to_string(line) + " shows \"" + narrow(listBoxText(window.list, line)) +
                   "\" for the record \"" + narrow(wanted) + "\"";
        const bool greyed = SendMessageW(window.list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0) == 1;
        if (greyed != (i >= history.undoCount()))
            return "history line " + std::to_string(line) + (greyed ? " is greyed" : " is not greyed");
    }
    if (SendMessageW(window.list, LB_GETCURSEL, 0, 0) != static_cast<LRESULT>(history.undoCount()))
        return "the history window's current line is not after the last undoable record";
    return std::nullopt;
}

std::optional<std::string> MonkeySession::step(const Action& action) {
    currentAnswer_ = action.answer;
    dialogsThisStep_ = 0;
    const std::size_t firstSeen = editor.dialogs.seen().size();
    const bool hadHistory = editor.project->undoBuffer.undoCount() + editor.project->undoBuffer.redoCount() > 0;
    const std::size_t undoBefore = editor.project->undoBuffer.undoCount();
    const std::vector<std::uint8_t> imageBefore = image();
    const int stageBefore = editor.project->levels.stageNumber;
    const bool loadedBefore = loaded();
    const bool modifiedBefore = editor.project->isModified();
    const bool terrainModeBefore = loadedBefore && editor.project->levels.inTerrainMode();
    const Language languageBefore = currentLanguage();
    perform(action);
    pumpMessages();
    fileToChoose_.clear();
    const bool changed = image() != imageBefore;
    const bool terrainEdit = changed && terrainModeBefore && loaded() && editor.project->levels.inTerrainMode() &&
                             editsTerrainOnly(action) && stageBefore == editor.project->levels.stageNumber;
    tally_.imageChanged += changed;
    tally_.terrainEdits += changed && loaded() && editor.project->levels.inTerrainMode();
    tally_.imports += changed && action.act == Act::Tiled;
    tally_.languageSwitches += currentLanguage() != languageBefore;
    tally_.groupEdits += editor.project->undoBuffer.undoCount() > undoBefore &&
                         dynamic_cast<const UndoGroup*>(editor.project->undoBuffer.nextUndo()) != nullptr;
    if (terrainEdit)
        if (auto finding = checkTerrainBytes(imageBefore)) return finding;
    // Any save (asked for, or said yes to before a close) may set the header checksum.
    if (image().size() == imageBefore.size() && image().size() > kChecksumOffset + 1 &&
        !std::equal(image().begin() + kChecksumComplementOffset, image().begin() + kChecksumOffset + 2,
                    imageBefore.begin() + kChecksumComplementOffset))
        checksumSaved_ = true;
    tally_.undone += editor.project->undoBuffer.undoCount() < undoBefore;
    tally_.dialogs += editor.dialogs.seen().size() - firstSeen;
    tally_.stagesOpened += editor.project->levels.stageNumber != stageBefore;
    static const bool trace = GetEnvironmentVariableA("VEXA_MONKEY_TRACE", nullptr, 0) > 0;
    if (trace)
        std::printf("  %s%s%s%s\n", describe(action).c_str(), loaded() ? "" : " [closed]",
                    image() != imageBefore ? " [edit]" : "",
                    editor.dialogs.seen().size() > firstSeen ? " [dialog]" : "");
    for (std::size_t i = firstSeen; trace && i < editor.dialogs.seen().size(); ++i)
        std::printf("    dialog \"%s\" answered %d\n", narrow(editor.dialogs.seen()[i].text).c_str(),
                    editor.dialogs.seen()[i].answer);

    HWND main = editor.project->hwnd;
    if (!IsWindow(main)) return "the main window is gone";
    if (!IsWindowEnabled(main)) return "the main window is left disabled (a dialog still open?)";
    if (auto finding = checkDialogs(action, firstSeen)) return finding;
    // A command whose every question was cancelled leaves everything as it was (but
    // Open, which closes the ROM before it asks for the next one).
    const auto& seen = editor.dialogs.seen();
    if (action.act == Act::Menu && action.a != IDM_FILE_OPEN && seen.size() > firstSeen &&
        std::all_of(seen.begin() + static_cast<std::ptrdiff_t>(firstSeen), seen.end(),
                    [](const SeenDialog& dialog) { return dialog.answer == IDCANCEL; }) &&
        (loaded() != loadedBefore || image() != imageBefore || editor.project->levels.stageNumber != stageBefore ||
         editor.project->isModified() != modifiedBefore))
        return "a cancelled command changed the document";
    if (auto finding = checkLists()) return finding;
    if (auto finding = checkTerrain()) return finding;
    if (auto finding = checkHistory()) return finding;

    const bool history = editor.project->undoBuffer.undoCount() + editor.project->undoBuffer.redoCount() > 0;
    const bool reads = action.act == Act::OtherProgram || action.act == Act::OpenFile || opensDialog(action) ||
                       isMenu(action, {IDM_FILE_RELOAD, IDM_FILE_CLOSE, IDM_RECENT_FILE_FIRST});
    if (hadHistory && !history && !reads) return "the undo history was lost";
    if (!history && loaded()) baseline_ = image();
    // A save that went through leaves the image on disk as it is in the editor (one
    // whose overwrite question was cancelled leaves the other program's file).
    const bool cancelled = std::any_of(seen.begin() + static_cast<std::ptrdiff_t>(firstSeen), seen.end(),
                                       [](const SeenDialog& dialog) { return dialog.answer == IDCANCEL; });
    if (isMenu(action, {IDM_FILE_SAVE}) && loaded() && !editor.project->isModified() && !cancelled) {
        if (auto finding = checkSavedFile()) return finding;
        ++tally_.saved;
        otherProgramWrote_ = false;
        diskBroken_ = false;
    }
    return std::nullopt;
}

std::optional<std::string> MonkeySession::finish() {
    if (!loaded()) {
        // The user closed the file: open it again to look at what is on disk.
        currentAnswer_ = 0;
        editor.project->openRomPath(romPath_);
        pumpMessages();
        if (!loaded()) return std::nullopt; // a broken or deleted file: nothing to compare
        baseline_ = image();
    }
    // A save puts the header checksum into the image with no record of its own, so
    // after one those four bytes are the last save's, whatever is undone.
    const auto same = [this](std::vector<std::uint8_t> a, std::vector<std::uint8_t> b) {
        if (checksumSaved_)
            for (std::size_t i = kChecksumComplementOffset; i < kChecksumOffset + 2 && i < a.size() && i < b.size();
                 ++i)
                a[i] = b[i] = 0;
        return a == b;
    };
    const std::vector<std::uint8_t> before = image();
    UndoBuffer& history = editor.project->undoBuffer;
    const std::size_t undoable = history.undoCount();
    for (std::size_t n = undoable; n > 0; --n)
        editor.command(IDM_EDIT_UNDO);
    if (!same(image(), baseline_)) return "undoing everything does not give the image back byte for byte";
    if (auto finding = checkLists()) return "after undoing everything: " + *finding;
    for (std::size_t n = undoable; n > 0; --n)
        editor.command(IDM_EDIT_REDO);
    if (!same(image(), before)) return "redoing everything does not give the edited image back";
    if (auto finding = checkLists()) return "after redoing everything: " + *finding;

    // Save (over another program's file too) and open the file again.
    currentAnswer_ = 0;
    editor.dialogs.setPolicy([](HWND dialog, const SeenDialog&, DialogAnswerer::Action&) {
        return GetDlgItem(dialog, IDOK) ? IDOK : IDYES;
    });
    editor.command(IDM_FILE_SAVE);
    if (editor.project->isModified()) return "the closing save did not go through";
    if (auto finding = checkSavedFile()) return finding;
    editor.command(IDM_FILE_CLOSE);
    editor.project->openRomPath(romPath_);
    pumpMessages();
    if (!loaded()) return "the saved file does not open again";
    std::vector<std::uint8_t> expected = before;
    if (editor.project->fixChecksumOnSave) fixChecksum(expected);
    if (image() != expected) return "the reopened file differs from the image saved";
    return checkLists();
}

RunResult runSeed(const MonkeyGame& game, std::uint32_t seed, std::size_t steps) {
    RunResult result;
    result.seed = seed;
    MonkeySession session(game);
    if (!session.started()) {
        result.finding = "the editor did not open the sample game";
        return result;
    }
    std::mt19937 rng(seed);
    Watchdog watchdog(10.0);
    for (std::size_t i = 0; i < steps; ++i) {
        result.actions.push_back(session.generate(rng));
        watchdog.begin(seed, describe(result.actions.back()));
        result.finding = session.step(result.actions.back());
        watchdog.end();
        result.stepsRun = i + 1;
        result.tally = session.tally();
        if (result.finding) return result;
    }
    watchdog.begin(seed, "closing checks");
    result.finding = session.finish();
    watchdog.end();
    return result;
}

std::optional<std::string> replay(const MonkeyGame& game, const std::vector<Action>& actions) {
    MonkeySession session(game);
    if (!session.started()) return "the editor did not open the sample game";
    for (const Action& action : actions)
        if (auto finding = session.step(action)) return finding;
    return session.finish();
}

namespace {
// Findings alike but for their numbers: a shorter sequence must fail the same way.
std::string kindOf(const std::string& finding) {
    std::string kind;
    for (const char ch : finding)
        if (ch < '0' || ch > '9') kind += ch;
    return kind;
}
} // namespace

std::vector<Action> minimize(const MonkeyGame& game, std::vector<Action> actions, const std::string& finding,
                             double seconds) {
    const std::string kind = kindOf(finding);
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    // Delta debugging: drop ever smaller chunks while the rest still fails.
    std::size_t chunk = std::max<std::size_t>(actions.size() / 2, 1);
    while (chunk >= 1 && std::chrono::steady_clock::now() < until) {
        bool dropped = false;
        for (std::size_t from = 0; from < actions.size() && std::chrono::steady_clock::now() < until;) {
            std::vector<Action> shorter = actions;
            shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(from),
                          shorter.begin() + static_cast<std::ptrdiff_t>(std::min(from + chunk, shorter.size())));
            const std::optional<std::string> again = replay(game, shorter);
            if (again && kindOf(*again) == kind) {
                actions = std::move(shorter);
                dropped = true;
            } else {
                from += chunk;
            }
        }
        if (!dropped) {
            if (chunk == 1) break;
            chunk /= 2;
        }
    }
    return actions;
}

struct Watchdog::State {
    std::mutex mutex;
    std::vector<std::string> steps;
    std::uint32_t seed = 0;
    std::atomic<bool> running{false};
    std::atomic<bool> stop{false};
    std::atomic<long long> startedAt{0};
    double limit = 0;
    std::thread thread;
};

namespace {
long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

Watchdog::Watchdog(double seconds) : state_(std::make_unique<State>()) {
    state_->limit = seconds;
    state_->thread = std::thread([state = state_.get()] {
        while (!state->stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (!state->running || nowMs() - state->startedAt < static_cast<long long>(state->limit * 1000)) continue;
            std::lock_guard lock(state->mutex);
            std::fprintf(stderr, "\nmonkey: seed %u: step %zu has not come back in %.0f s; the steps:\n", state->seed,
                         state->steps.size(), state->limit);
            for (std::size_t i = 0; i < state->steps.size(); ++i)
                std::fprintf(stderr, "  %zu: %s\n", i + 1, state->steps[i].c_str());
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    });
}

Watchdog::~Watchdog() {
    state_->stop = true;
    state_->thread.join();
}

void Watchdog::begin(std::uint32_t seed, const std::string& step) {
    std::lock_guard lock(state_->mutex);
    state_->seed = seed;
    state_->steps.push_back(step);
    state_->startedAt = nowMs();
    state_->running = true;
}

void Watchdog::end() {
    state_->running = false;
}

} // namespace vexa::test::monkey
