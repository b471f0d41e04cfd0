// The undo history: every edit of an object list leaves one record that can take it
// back and apply it again. The buffer also keeps the document's modified state in
// step with the history and keeps the Edit menu's two items up to date.
#pragma once

#include "resources/resource_ids.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

namespace vexa {

struct RomDocument;

inline constexpr int kUndoCommand = IDM_EDIT_UNDO;
inline constexpr int kRedoCommand = IDM_EDIT_REDO;
// The menu texts are formatted into buffers of this many characters, the end included.
inline constexpr std::size_t kUndoMenuTextChars = 256;

class UndoMethod {
public:
    virtual ~UndoMethod() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // The texts must stay valid while the record lives.
    virtual const wchar_t* undoName() const = 0;
    virtual const wchar_t* redoName() const = 0;
};

// The Edit menu's Undo (4609) and Redo (4610) items, implemented by the main window.
class UndoMenu {
public:
    virtual ~UndoMenu() = default;
    virtual void setUndoItem(bool enabled, const std::wstring& text) = 0;
    virtual void setRedoItem(bool enabled, const std::wstring& text) = 0;
};

// "元に戻す - name(&U)\tCtrl+Z", or "元に戻す(&U)\tCtrl+Z" for a null name; likewise for Redo.
// Cut to kUndoMenuTextChars - 1 characters.
std::wstring undoMenuText(const wchar_t* name);
std::wstring redoMenuText(const wchar_t* name);

class UndoBuffer {
public:
    explicit UndoBuffer(RomDocument* document = nullptr, UndoMenu* editMenu = nullptr)
        : owner(document), menu(editMenu) {}
    // Destroys the records in the order clear() does, but leaves the menu alone: it
    // may already be gone when the buffer's owner is torn down.
    ~UndoBuffer();
    UndoBuffer(const UndoBuffer&) = delete;
    UndoBuffer& operator=(const UndoBuffer&) = delete;

    void setOwner(RomDocument* document) { owner = document; }
    void setMenu(UndoMenu* editMenu) { menu = editMenu; }

    // Takes ownership; a null record is ignored.
    void push(std::unique_ptr<UndoMethod> record);
    bool undo();
    bool redo();
    void clear();
    void discardRedo();
    void refreshMenu();
    // 4609 undoes, 4610 redoes; both are taken even when there is nothing to do.
    bool handleCommand(int id);

    // The record the next undo or redo would run, or null.
    const UndoMethod* nextUndo() const { return undoStack.empty() ? nullptr : undoStack.back().get(); }
    const UndoMethod* nextRedo() const { return redoStack.empty() ? nullptr : redoStack.back().get(); }
    std::size_t undoCount() const { return undoStack.size(); }
    std::size_t redoCount() const { return redoStack.size(); }

private:
    void destroyAll();

    std::deque<std::unique_ptr<UndoMethod>> undoStack; // newest at the back
    std::deque<std::unique_ptr<UndoMethod>> redoStack; // newest at the back
    RomDocument* owner;
    UndoMenu* menu;
};

} // namespace vexa
