// The edits that the banana and camera pages share: apply the page's fields to one
// entry, move an entry up or down, sort the list, each written into the ROM image at
// once and recorded for undo. The lists have fixed slots in the ROM, so entries are
// never added or removed; only values move between slots.
//
// A kind plugs in through a traits type:
//   Item, Data, Fields          the entry, the open stage's list holder, the page's fields
//   kKind, kApplyName, kUpName, kDownName, kSortName
//   levels(RomInfo) -> location  the kind's pointer table, as rominfo.ini gives it
//   items(Data&) -> std::list<Item>&
//   read(image, levels, stage, mapType, Data&)        replaces Data with the stage's list
//   slots(image, levels, stage) -> StageSlots
//   writeSlot(image, levels, stage, index, item, mapType) -> bool
//   writeList(image, levels, stage, list, mapType) -> int
//   fromFields(fields, current) -> Item                 the page's fields over an entry
//   mask(Item&, mapType)
//   sortKey(entry) -> std::int64_t (Sort's order)
//   anchorX(item), anchorY(item)                        the map point that is centred on
#pragma once

#include "app/rom_data_base.h"
#include "app/undo_buffer.h"
#include "stage/object_layout.h"
#include "stage/object_list_ops.h"
#include "stage/object_list_table.h"
#include "stage/stage_edit_host.h"
#include "ui/texts.h"

#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <utility>

namespace vexa {

// A dragged position goes to the nearest multiple of 8, halves rounding up.
constexpr std::int32_t snapToTile(std::int32_t value) {
    return (value + 4) & ~7;
}

template <typename Traits> class ObjectListEditor;

// Every record first brings its stage back on screen, then replays on it exactly as
// on the stage it was made on.
template <typename Traits> class ObjectRecord : public UndoMethod, public RomData_Base {
public:
    const wchar_t* undoName() const override { return text(name); }
    const wchar_t* redoName() const override { return text(name); }
    int stage() const override { return stageNumber; }

protected:
    ObjectRecord(ObjectListEditor<Traits>& editor, int stageNumber, unsigned name)
        : editor(editor), stageNumber(stageNumber), name(name) {}

    ObjectListEditor<Traits>& editor;
    int stageNumber;

private:
    unsigned name; // the id of the record's name
};

template <typename Traits> class ObjectApplyRecord final : public ObjectRecord<Traits> {
public:
    using Item = typename Traits::Item;
    ObjectApplyRecord(ObjectListEditor<Traits>& editor, const Item& before, const Item& after, int stageNumber,
                      int index)
        : ObjectRecord<Traits>(editor, stageNumber, Traits::kApplyName), before(before), after(after), index(index) {}

    void undo() override { this->editor.replayApply(this->stageNumber, index, before); }
    void redo() override { this->editor.replayApply(this->stageNumber, index, after); }

    Item before;
    Item after;
    int index;
};

// Undo and redo make the same exchange; the two directions differ only in which of
// the two entries is the one the user moved, and so is selected afterwards.
template <typename Traits> class ObjectUpDownRecord : public ObjectRecord<Traits> {
public:
    void undo() override { this->editor.replayExchange(this->stageNumber, upper, lower, movedAfterUndo()); }
    void redo() override { this->editor.replayExchange(this->stageNumber, upper, lower, movedAfterRedo()); }

    int upper;
    int lower;

protected:
    ObjectUpDownRecord(ObjectListEditor<Traits>& editor, int stageNumber, int upper, unsigned name)
        : ObjectRecord<Traits>(editor, stageNumber, name), upper(upper), lower(upper + 1) {}
    virtual int movedAfterUndo() const = 0;
    virtual int movedAfterRedo() const = 0;
};

template <typename Traits> class ObjectUpRecord final : public ObjectUpDownRecord<Traits> {
public:
    ObjectUpRecord(ObjectListEditor<Traits>& editor, int stageNumber, int upper)
        : ObjectUpDownRecord<Traits>(editor, stageNumber, upper, Traits::kUpName) {}

private:
    int movedAfterUndo() const override { return this->lower; }
    int movedAfterRedo() const override { return this->upper; }
};

template <typename Traits> class ObjectDownRecord final : public ObjectUpDownRecord<Traits> {
public:
    ObjectDownRecord(ObjectListEditor<Traits>& editor, int stageNumber, int upper)
        : ObjectUpDownRecord<Traits>(editor, stageNumber, upper, Traits::kDownName) {}

private:
    int movedAfterUndo() const override { return this->upper; }
    int movedAfterRedo() const override { return this->lower; }
};

template <typename Traits> class ObjectSortRecord final : public ObjectRecord<Traits> {
public:
    using List = std::list<typename Traits::Item>;
    ObjectSortRecord(ObjectListEditor<Traits>& editor, int stageNumber, List before, List after, int selectedBefore,
                     int selectedAfter)
        : ObjectRecord<Traits>(editor, stageNumber, Traits::kSortName), before(std::move(before)),
          after(std::move(after)), selectedBefore(selectedBefore), selectedAfter(selectedAfter) {}

    void undo() override { this->editor.replaySort(this->stageNumber, before, selectedBefore); }
    void redo() override { this->editor.replaySort(this->stageNumber, after, selectedAfter); }

    List before;
    List after;
    int selectedBefore;
    int selectedAfter;
};

// The open stage's list of one kind, with its four edits and their replays.
template <typename Traits> class ObjectListEditor {
public:
    using Item = typename Traits::Item;
    using List = std::list<Item>;
    using Fields = typename Traits::Fields;

    ObjectListEditor(StageEditHost& host, ObjectEditPage& page) : host(host), page(page) {}
    ObjectListEditor(const ObjectListEditor&) = delete;
    ObjectListEditor& operator=(const ObjectListEditor&) = delete;

    const List& items() const { return Traits::items(data); }
    int count() const { return static_cast<int>(items().size()); }
    // Null when no entry has that index.
    const Item* itemAt(int index) const { return hasItem(items(), index) ? &vexa::itemAt(items(), index) : nullptr; }
    int stageNumber() const { return data.stageNumber; }

    void load(int stageNumber) {
        data.stageNumber = stageNumber;
        const std::uint32_t levels = levelsLocation();
        clearObjects();
        Traits::read(host.romImage(), levels, stageNumber, host.openMapType(), data);
        page.rebuildLines(0);
        page.setMapSelection(-1);
    }

    void clearObjects() {
        list().clear();
        page.clearPage();
    }

    // Each edit answers whether it changed anything and left a record.
    bool apply(int index, const Fields& fields);
    bool up(int index);
    bool down(int index);
    bool sort(int index);

    // Called by the records.
    void replayApply(int stageNumber, int index, const Item& value);
    void replayExchange(int stageNumber, int upper, int lower, int moved);
    void replaySort(int stageNumber, const List& stored, int selection);

private:
    List& list() { return Traits::items(data); }
    // Read anew at every load and every write, as the settings file may have changed.
    std::uint32_t levelsLocation() const { return Traits::levels(host.romInfo()); }
    // Edits are refused where a slot could not take its entry: a stage whose map type
    // has no layout, or a slot past the image end. Changing the list there would show
    // the user values the ROM never receives.
    bool writable(int index) const;
    bool allWritable() const;
    void writeSlot(int index);
    void writeList();
    void endReplay(int index);

    StageEditHost& host;
    ObjectEditPage& page;
    typename Traits::Data data;
};

template <typename Traits> bool ObjectListEditor<Traits>::writable(int index) const {
    if (objectLayoutOf(host.openMapType()) == ObjectLayout::None) return false;
    return Traits::slots(host.romImage(), levelsLocation(), data.stageNumber).holdsSlot(index);
}

template <typename Traits> bool ObjectListEditor<Traits>::allWritable() const {
    if (objectLayoutOf(host.openMapType()) == ObjectLayout::None) return false;
    const StageSlots slots = Traits::slots(host.romImage(), levelsLocation(), data.stageNumber);
    for (int i = 0; i < count(); ++i)
        if (!slots.holdsSlot(i)) return false;
    return true;
}

template <typename Traits> void ObjectListEditor<Traits>::writeSlot(int index) {
    if (!hasItem(items(), index)) return;
    Traits::writeSlot(host.romImage(), levelsLocation(), data.stageNumber, index, vexa::itemAt(items(), index),
                      host.openMapType());
}

template <typename Traits> void ObjectListEditor<Traits>::writeList() {
    Traits::writeList(host.romImage(), levelsLocation(), data.stageNumber, items(), host.openMapType());
}

template <typename Traits> bool ObjectListEditor<Traits>::apply(int index, const Fields& fields) {
    if (!hasItem(items(), index) || !writable(index)) return false;
    Item& item = vexa::itemAt(list(), index);
    const Item before = item;
    item = Traits::fromFields(fields, item);
    Traits::mask(item, host.openMapType());
    page.showItem(index);
    writeSlot(index);
    page.setLine(index);
    page.selectLine(index);
    host.invalidateMap();
    host.pushUndo(std::make_unique<ObjectApplyRecord<Traits>>(*this, before, item, data.stageNumber, index));
    return true;
}

template <typename Traits> bool ObjectListEditor<Traits>::up(int index) {
    if (index <= 0 || !hasItem(items(), index) || !writable(index - 1) || !writable(index)) return false;
    host.pushUndo(std::make_unique<ObjectUpRecord<Traits>>(*this, data.stageNumber, index - 1));
    exchangeItems(list(), index - 1, index);
    if (page.mapSelection() != -1) page.setMapSelection(index - 1);
    page.setLine(index - 1);
    page.setLine(index);
    page.selectLine(index - 1);
    writeSlot(index - 1);
    writeSlot(index);
    page.showNumber(index - 1);
    host.invalidateMap();
    return true;
}

template <typename Traits> bool ObjectListEditor<Traits>::down(int index) {
    if (index < 0 || index >= count() - 1 || !writable(index) || !writable(index + 1)) return false;
    host.pushUndo(std::make_unique<ObjectDownRecord<Traits>>(*this, data.stageNumber, index));
    exchangeItems(list(), index, index + 1);
    if (page.mapSelection() != -1) page.setMapSelection(index + 1);
    page.setLine(index);
    page.setLine(index + 1);
    page.selectLine(index + 1);
    writeSlot(index);
    writeSlot(index + 1);
    page.showNumber(index + 1);
    host.invalidateMap();
    return true;
}

template <typename Traits> bool ObjectListEditor<Traits>::sort(int index) {
    if (!allWritable()) return false;
    List before = items();
    // The lines are made again once after the sort: replacing each line as its position
    // is done walks the list for every line, which takes seconds on the longest lists.
    const int tracked = exchangeSort(list(), index, Traits::sortKey);
    page.rebuildLines(0);
    if (page.mapSelection() != -1) page.setMapSelection(tracked);
    page.selectLine(tracked);
    writeList();
    host.invalidateMap();
    if (tracked != -1) page.showNumber(tracked);
    host.pushUndo(std::make_unique<ObjectSortRecord<Traits>>(*this, data.stageNumber, std::move(before), items(), index,
                                                             tracked));
    return true;
}

template <typename Traits> void ObjectListEditor<Traits>::endReplay(int index) {
    const Item* item = itemAt(index);
    if (page.layerShown()) page.setMapSelection(item ? index : -1);
    if (item && !host.isInView(Traits::anchorX(*item), Traits::anchorY(*item)))
        host.centerOn(Traits::anchorX(*item), Traits::anchorY(*item));
    // Also after a sort that had nothing selected: the picture changed all the same.
    host.invalidateMap();
}

template <typename Traits> void ObjectListEditor<Traits>::replayApply(int stageNumber, int index, const Item& value) {
    bringStageBack(host, stageNumber, pageOf(Traits::kKind));
    if (hasItem(items(), index)) {
        vexa::itemAt(list(), index) = value;
        writeSlot(index);
        page.setLine(index);
        page.selectLine(index);
        page.showItem(index);
    }
    endReplay(index);
}

template <typename Traits>
void ObjectListEditor<Traits>::replayExchange(int stageNumber, int upper, int lower, int moved) {
    bringStageBack(host, stageNumber, pageOf(Traits::kKind));
    if (hasItem(items(), upper) && hasItem(items(), lower)) {
        exchangeItems(list(), upper, lower);
        writeSlot(upper);
        writeSlot(lower);
        page.setLine(upper);
        page.setLine(lower);
        page.selectLine(moved);
        page.showItem(moved);
    }
    endReplay(moved);
}

template <typename Traits>
void ObjectListEditor<Traits>::replaySort(int stageNumber, const List& stored, int selection) {
    bringStageBack(host, stageNumber, pageOf(Traits::kKind));
    list() = stored;
    page.rebuildLines(0);
    page.selectLine(selection);
    if (hasItem(items(), selection)) page.showItem(selection);
    writeList();
    endReplay(selection);
}

} // namespace vexa
