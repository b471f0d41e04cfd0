#include "tiled/tiled_import.h"

#include "app/ini_file.h"
#include "app/rom_image.h"
#include "stage/field_text.h"
#include "stage/object_edits.h"
#include "stage/object_layout.h"
#include "stage/view/stage_contents.h"
#include "terrain/chip_palette_layout.h"
#include "terrain/terrain_blocks.h"
#include "terrain/terrain_overview.h"
#include "tiled/tiled_format.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <set>

namespace vexa::tiled {

namespace {

using Json = nlohmann::json;

// Past this many problems the rest are only counted: a map of the wrong stage would
// otherwise give one line per cell.
constexpr std::size_t kMostProblems = 50;

struct Where {
    std::string en;
    std::string ja;
};

Where mapWhere() {
    return {"map", "マップ"};
}
Where layerWhere(std::string_view layer) {
    return {"layer \"" + std::string(layer) + "\"", "レイヤー「" + std::string(layer) + "」"};
}
Where cellWhere(std::string_view layer, int column, int row) {
    const std::string cell = "(" + std::to_string(column) + ", " + std::to_string(row) + ")";
    return {"layer \"" + std::string(layer) + "\", cell " + cell,
            "レイヤー「" + std::string(layer) + "」のセル " + cell};
}
Where objectWhere(std::string_view layer, std::int64_t id, int position) {
    const std::string name = "object " + std::to_string(id) + " (the " + std::to_string(position + 1) +
                             (position == 0   ? "st"
                              : position == 1 ? "nd"
                              : position == 2 ? "rd"
                                              : "th") +
                             ")";
    return {"layer \"" + std::string(layer) + "\", " + name, "レイヤー「" + std::string(layer) + "」の " +
                                                                 std::to_string(position + 1) +
                                                                 " 番目のオブジェクト (id " + std::to_string(id) + ")"};
}
Where tilesetWhere(std::string_view source) {
    return {"tileset \"" + std::string(source) + "\"", "タイルセット「" + std::string(source) + "」"};
}

std::string utf8(const std::wstring& text) {
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

class Problems {
public:
    void add(const Where& where, std::string why, std::string whyJa) {
        if (list.size() < kMostProblems)
            list.push_back({where.en, std::move(why), where.ja, std::move(whyJa)});
        else
            ++more;
    }
    bool any() const { return !list.empty(); }
    std::vector<Problem> take() {
        if (more > 0)
            list.push_back({"map", "and " + std::to_string(more) + " more problems", "マップ",
                            "ほかに " + std::to_string(more) + " 件の問題があります"});
        return std::move(list);
    }

private:
    std::vector<Problem> list;
    std::size_t more = 0;
};

// Members and values of a parsed file, nothing where a file has another type.
const Json* member(const Json& object, std::string_view key) {
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<double> number(const Json* value) {
    if (!value || !value->is_number()) return std::nullopt;
    const double n = value->get<double>();
    return std::isfinite(n) ? std::optional(n) : std::nullopt;
}

std::optional<std::int64_t> integer(const Json* value) {
    const std::optional<double> n = number(value);
    if (!n || *n != std::floor(*n) || std::fabs(*n) > 1e15) return std::nullopt;
    return static_cast<std::int64_t>(*n);
}

std::optional<std::string> text(const Json* value) {
    if (!value || !value->is_string()) return std::nullopt;
    return value->get<std::string>();
}

std::optional<bool> boolean(const Json* value) {
    if (!value || !value->is_boolean()) return std::nullopt;
    return value->get<bool>();
}

// The value of the custom property `name`, as Tiled lists them.
const Json* property(const Json& object, std::string_view name) {
    const Json* properties = member(object, "properties");
    if (!properties || !properties->is_array()) return nullptr;
    for (const Json& p : *properties)
        if (text(member(p, "name")) == name) return member(p, "value");
    return nullptr;
}

std::optional<std::uint16_t> hexWord(const Json* value) {
    if (const std::optional<std::int64_t> n = integer(value)) {
        if (*n >= 0 && *n <= 0xFFFF) return static_cast<std::uint16_t>(*n);
        return std::nullopt;
    }
    const std::optional<std::string> digits = text(value);
    return digits ? parseHexWord(*digits) : std::nullopt;
}

std::optional<Json> parseJson(std::string_view text) {
    if (text.size() > kMaxMapFileSize) return std::nullopt;
    Json json = Json::parse(text.begin(), text.end(), nullptr, false);
    if (json.is_discarded()) return std::nullopt;
    return json;
}

bool looksLikeXml(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return first != std::string_view::npos && text[first] == '<';
}

struct Tileset {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::string role;
    std::string name; // for the messages
};

struct Tilesets {
    std::vector<Tileset> all;
    int chips = -1; // index in `all`
    int attributes = -1;
    bool refused = false; // a tileset of the map was refused, with its reason

    // The tileset a tile id belongs to, as Tiled finds it: the last one starting at or
    // before it.
    const Tileset* of(std::uint32_t id) const {
        const Tileset* found = nullptr;
        for (const Tileset& t : all)
            if (t.first <= id && (!found || t.first > found->first)) found = &t;
        return found;
    }
    const Tileset* chipSet() const { return chips < 0 ? nullptr : &all[static_cast<std::size_t>(chips)]; }
    const Tileset* attributeSet() const {
        return attributes < 0 ? nullptr : &all[static_cast<std::size_t>(attributes)];
    }
};

Tilesets readTilesets(const Json& map, const FileReader& readTileset, Problems& problems) {
    Tilesets sets;
    const Json* list = member(map, "tilesets");
    if (!list || !list->is_array()) {
        problems.add(mapWhere(), "has no tilesets", "タイルセットがありません");
        return sets;
    }
    // A tileset that is refused may have been the one of a role: that role is not
    // missed again.
    const auto refuse = [&](const Where& where, std::string why, std::string whyJa) {
        problems.add(where, std::move(why), std::move(whyJa));
        sets.refused = true;
    };
    for (const Json& entry : *list) {
        const std::optional<std::int64_t> first = integer(member(entry, "firstgid"));
        const std::optional<std::string> source = text(member(entry, "source"));
        const Where where = tilesetWhere(source ? *source : text(member(entry, "name")).value_or("?"));
        if (!first || *first < 1 || *first > 0x0FFFFFFF) {
            refuse(where, "has no first tile id (firstgid) from 1 up", "先頭のタイル ID (firstgid) がありません");
            continue;
        }
        const Json* tileset = &entry;
        std::optional<Json> file;
        if (source) {
            const std::optional<std::string> content = readTileset(*source);
            if (!content) {
                refuse(where, "cannot be read", "読み込めません");
                continue;
            }
            if (looksLikeXml(*content)) {
                refuse(where,
                       "is a TSX (XML) tileset: open it in Tiled, export it as a JSON tileset (.tsj) and "
                       "let the map use that",
                       "TSX (XML) 形式のタイルセットです。Tiled で JSON 形式 (.tsj) で保存し直してください");
                continue;
            }
            file = parseJson(*content);
            if (!file || !file->is_object()) {
                refuse(where, "is not a JSON tileset", "JSON 形式のタイルセットではありません");
                continue;
            }
            tileset = &*file;
        }
        const std::optional<std::int64_t> count = integer(member(*tileset, "tilecount"));
        const std::string role = text(property(*tileset, kRoleProperty)).value_or("");
        const bool ours = role == kChipsRole || role == kAttributesRole;
        const bool square = integer(member(*tileset, "tilewidth")) == kTilePixels &&
                            integer(member(*tileset, "tileheight")) == kTilePixels;
        if (!count || *count < 0 || *count > 0x0FFFFFFF) {
            refuse(where, "has no tile count (tilecount)", "タイル数 (tilecount) がありません");
            continue;
        }
        if (ours && !square) {
            refuse(where, "has tiles of another size than 32 x 32", "タイルが 32 × 32 ではありません");
            continue;
        }
        int& slot = role == kChipsRole ? sets.chips : sets.attributes;
        if (ours && slot >= 0) {
            refuse(where, "is a second tileset of the role \"" + role + "\"",
                   "役割「" + role + "」のタイルセットが 2 つあります");
            continue;
        }
        if (ours) slot = static_cast<int>(sets.all.size());
        sets.all.push_back({static_cast<std::uint32_t>(*first), static_cast<std::uint32_t>(*count), role, where.en});
    }
    if (sets.chips < 0 && !sets.refused)
        problems.add(mapWhere(), "has no tileset of the chips (a tileset with the property role = chips)",
                     "チップのタイルセット (プロパティ role = chips) がありません");
    return sets;
}

struct FoundLayers {
    std::map<std::string, const Json*> byName;
    std::set<std::string> twice;   // names given to more than one layer
    std::set<std::string> shifted; // layers drawn away from their place by an offset
};

// The layers by name, those inside group layers included, with the offsets that
// shift them (their own and their groups').
void collectLayers(const Json& holder, FoundLayers& found, double offsetX, double offsetY, int depth) {
    const Json* list = member(holder, "layers");
    if (!list || !list->is_array() || depth > 32) return;
    for (const Json& layer : *list) {
        const double x = offsetX + number(member(layer, "offsetx")).value_or(0);
        const double y = offsetY + number(member(layer, "offsety")).value_or(0);
        if (text(member(layer, "type")) == "group") {
            collectLayers(layer, found, x, y, depth + 1);
            continue;
        }
        const std::optional<std::string> name = text(member(layer, "name"));
        if (!name) continue;
        if (!found.byName.emplace(*name, &layer).second) found.twice.insert(*name);
        if (x != 0 || y != 0) found.shifted.insert(*name);
    }
}

// A tile layer's ids, every form of its data read; nothing after telling a problem.
std::optional<std::vector<std::uint32_t>> layerIds(const Json& layer, std::string_view name, int width, int height,
                                                   Problems& problems) {
    const Where where = layerWhere(name);
    if (text(member(layer, "type")) != "tilelayer") {
        problems.add(where, "is not a tile layer", "タイルレイヤーではありません");
        return std::nullopt;
    }
    if (member(layer, "chunks")) {
        problems.add(where, "is a layer of an infinite map: make the map fixed-size in Tiled",
                     "無限マップのレイヤーです。Tiled で固定サイズのマップにしてください");
        return std::nullopt;
    }
    if (integer(member(layer, "width")) != width || integer(member(layer, "height")) != height) {
        problems.add(where, "is not " + std::to_string(width) + " x " + std::to_string(height) + " tiles, as the map",
                     "マップと同じ " + std::to_string(width) + " × " + std::to_string(height) +
                         " タイルではありません");
        return std::nullopt;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const Json* data = member(layer, "data");
    const std::string encoding = text(member(layer, "encoding")).value_or("csv");
    if (encoding == "base64") {
        const std::optional<std::string> packed = text(data);
        if (!packed) {
            problems.add(where, "has no Base64 data", "Base64 のデータがありません");
            return std::nullopt;
        }
        LayerIds decoded = decodeLayerData(*packed, text(member(layer, "compression")).value_or(""), count);
        if (!decoded.problem.empty()) {
            problems.add(where, decoded.problem, decoded.problemJa);
            return std::nullopt;
        }
        return std::move(decoded.ids);
    }
    if (encoding != "csv" || !data || !data->is_array() || data->size() != count) {
        problems.add(where, "has no data of " + std::to_string(count) + " tile ids",
                     std::to_string(count) + " 個のタイル ID のデータがありません");
        return std::nullopt;
    }
    std::vector<std::uint32_t> ids;
    ids.reserve(count);
    for (const Json& id : *data) {
        const std::optional<std::int64_t> n = integer(&id);
        if (!n || *n < 0 || *n > 0xFFFFFFFF) {
            problems.add(where, "has a tile id that is no number of 0 to 4294967295",
                         "0 から 4294967295 の数でないタイル ID があります");
            return std::nullopt;
        }
        ids.push_back(static_cast<std::uint32_t>(*n));
    }
    return ids;
}

// The tile of `tileset` a cell shows, as its index there; nothing after telling why not.
std::optional<std::uint32_t> tileOf(std::uint32_t id, const Tilesets& sets, const Tileset* tileset, std::uint32_t limit,
                                    const Where& where, Problems& problems) {
    if (id & kTileFlagBits) {
        problems.add(where, "its tile is flipped or rotated: the chip sheet holds the flipped chips, use those",
                     "タイルが反転または回転されています。反転したチップはチップ一覧にあるものを使ってください");
        return std::nullopt;
    }
    const Tileset* owner = sets.of(id);
    if (!owner || owner != tileset) {
        problems.add(where,
                     "its tile " + std::to_string(id) + " is " +
                         (owner ? "a tile of another tileset, " + owner->name : std::string("of no tileset")),
                     "タイル " + std::to_string(id) + " が" +
                         (owner ? "別のタイルセットのものです" : "どのタイルセットにもありません"));
        return std::nullopt;
    }
    const std::uint32_t index = id - owner->first;
    if (index >= std::min(owner->count, limit)) {
        problems.add(where, "its tile " + std::to_string(id) + " lies past the tileset's tiles",
                     "タイル " + std::to_string(id) + " がタイルセットの範囲外です");
        return std::nullopt;
    }
    return index;
}

// The words the terrain layers give the section's cells; nothing after telling why.
std::optional<std::vector<std::uint16_t>> readTerrain(const std::map<std::string, const Json*>& layers,
                                                      const Tilesets& sets, const TilemapData& terrain,
                                                      Problems& problems) {
    const int width = terrain.widthTiles;
    const int height = terrain.heightTiles;
    const auto chipsLayer = layers.find(std::string(kTerrainLayer));
    if (chipsLayer == layers.end()) {
        problems.add(mapWhere(), "has no tile layer \"" + std::string(kTerrainLayer) + "\"",
                     "タイルレイヤー「" + std::string(kTerrainLayer) + "」がありません");
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint32_t>> chipIds =
        layerIds(*chipsLayer->second, kTerrainLayer, width, height, problems);
    std::optional<std::vector<std::uint32_t>> attributeIds;
    const auto attributeLayer = layers.find(std::string(kAttributeLayer));
    if (attributeLayer != layers.end()) {
        attributeIds = layerIds(*attributeLayer->second, kAttributeLayer, width, height, problems);
        if (!attributeIds) return std::nullopt;
        if (!sets.attributeSet()) {
            if (!sets.refused)
                problems.add(mapWhere(),
                             "has no tileset of the attributes (role = attributes) for the layer \"" +
                                 std::string(kAttributeLayer) + "\"",
                             "レイヤー「" + std::string(kAttributeLayer) +
                                 "」の属性のタイルセット (role = attributes) がありません");
            return std::nullopt;
        }
    }
    if (!chipIds || !sets.chipSet()) return std::nullopt;

    std::vector<std::uint16_t> words(terrain.rawTiles.begin(), terrain.rawTiles.end());
    bool bad = false;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + column;
            if (i >= words.size()) return std::nullopt;
            const std::uint32_t id = (*chipIds)[i];
            const Where where = cellWhere(kTerrainLayer, column, row);
            std::optional<std::uint32_t> chip;
            if (id == 0)
                problems.add(where, "is empty: every cell needs a chip", "空です。すべてのセルにチップが必要です");
            else
                chip = tileOf(id, sets, sets.chipSet(), kChipTileCount, where, problems);
            std::uint16_t attributes = (words[i] >> 10) & 0xF;
            if (attributeIds) {
                const std::uint32_t a = (*attributeIds)[i];
                // An erased attribute cell reads as 0.
                const std::optional<std::uint32_t> value =
                    a == 0 ? std::optional<std::uint32_t>(0)
                           : tileOf(a, sets, sets.attributeSet(), kAttributeTileCount,
                                    cellWhere(kAttributeLayer, column, row), problems);
                if (!value) bad = true;
                attributes = static_cast<std::uint16_t>(value.value_or(0));
            }
            if (!chip) {
                bad = true;
                continue;
            }
            words[i] = static_cast<std::uint16_t>(chipWordFor(static_cast<int>(*chip), 0) | attributes << 10);
        }
    if (bad) return std::nullopt;
    return words;
}

// The objects of an object layer, in their order; nothing after telling why.
const Json* objectsOf(const std::map<std::string, const Json*>& layers, std::string_view name, Problems& problems) {
    const auto layer = layers.find(std::string(name));
    if (layer == layers.end()) {
        problems.add(mapWhere(), "has no object layer \"" + std::string(name) + "\"",
                     "オブジェクトレイヤー「" + std::string(name) + "」がありません");
        return nullptr;
    }
    const Json* objects = member(*layer->second, "objects");
    if (text(member(*layer->second, "type")) != "objectgroup" || !objects || !objects->is_array()) {
        problems.add(layerWhere(name), "is not an object layer", "オブジェクトレイヤーではありません");
        return nullptr;
    }
    return objects;
}

enum class Shape { Point, Rectangle };

// The object's place in map pixels (x, y, width, height); nothing after telling why.
std::optional<std::array<double, 4>> placeOf(const Json& object, Shape shape, const Where& where, Problems& problems) {
    if (member(object, "template")) {
        problems.add(where, "uses a template: detach it in Tiled",
                     "テンプレートを使っています。Tiled で切り離してください");
        return std::nullopt;
    }
    const bool point = boolean(member(object, "point")).value_or(false);
    const bool other = boolean(member(object, "ellipse")).value_or(false) || member(object, "polygon") ||
                       member(object, "polyline") || member(object, "text");
    if (shape == Shape::Point ? !point : (point || other)) {
        problems.add(where, shape == Shape::Point ? "is not a point" : "is not a rectangle",
                     shape == Shape::Point ? "点ではありません" : "矩形ではありません");
        return std::nullopt;
    }
    if (number(member(object, "rotation")).value_or(0) != 0) {
        problems.add(where, "is rotated", "回転されています");
        return std::nullopt;
    }
    const std::optional<double> x = number(member(object, "x"));
    const std::optional<double> y = number(member(object, "y"));
    const double w = number(member(object, "width")).value_or(0);
    const double h = number(member(object, "height")).value_or(0);
    if (!x || !y || std::fabs(*x) > 1e7 || std::fabs(*y) > 1e7 || std::fabs(w) > 1e7 || std::fabs(h) > 1e7) {
        problems.add(where, "has no position", "位置がありません");
        return std::nullopt;
    }
    return std::array<double, 4>{*x, *y, w, h};
}

std::int32_t nearest(double value) {
    return static_cast<std::int32_t>(std::lround(value));
}

std::string pointText(std::int32_t x, std::int32_t y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// The entries of a list with fixed slots, each object at its property "index".
template <typename Item, typename Read>
std::optional<std::vector<Item>> readSlots(const Json* objects, std::string_view layer,
                                           const std::vector<Item>& current, std::string_view kindEn,
                                           std::string_view kindJa, Read read, Problems& problems) {
    if (!objects) return std::nullopt;
    std::vector<Item> items = current;
    std::vector<bool> seen(current.size(), false);
    bool bad = false;
    int position = 0;
    for (const Json& object : *objects) {
        const Where where = objectWhere(layer, integer(member(object, "id")).value_or(0), position++);
        const std::optional<std::int64_t> index = integer(property(object, "index"));
        if (!index) {
            problems.add(where, "has no property \"index\" (int)", "プロパティ「index」(int) がありません");
            bad = true;
            continue;
        }
        if (*index < 0 || *index >= static_cast<std::int64_t>(current.size())) {
            problems.add(where,
                         "its index " + std::to_string(*index) + " names no " + std::string(kindEn) +
                             ": the stage has " + std::to_string(current.size()) + ", which cannot change",
                         "index " + std::to_string(*index) + " の" + std::string(kindJa) +
                             "はありません。このステージの" + std::string(kindJa) + "は " +
                             std::to_string(current.size()) + " 個で、数は変えられません");
            bad = true;
            continue;
        }
        const std::size_t slot = static_cast<std::size_t>(*index);
        if (seen[slot]) {
            problems.add(where, "its index " + std::to_string(*index) + " is another object's too",
                         "index " + std::to_string(*index) + " が別のオブジェクトと重複しています");
            bad = true;
            continue;
        }
        seen[slot] = true;
        if (!read(object, where, items[slot])) bad = true;
    }
    for (std::size_t slot = 0; slot < seen.size(); ++slot)
        if (!seen[slot]) {
            problems.add(layerWhere(layer),
                         "has no " + std::string(kindEn) + " of index " + std::to_string(slot) +
                             ": the stage's count cannot change",
                         "index " + std::to_string(slot) + " の" + std::string(kindJa) +
                             "がありません。数は変えられません");
            bad = true;
        }
    if (bad) return std::nullopt;
    return items;
}

void readFlag(const Json& object, std::string_view name, bool& flag, const Where& where, bool& ok, Problems& problems) {
    const Json* value = property(object, name);
    if (!value) return; // a property taken away keeps the entry's flag
    if (const std::optional<bool> b = boolean(value)) {
        flag = *b;
        return;
    }
    problems.add(where, "its property \"" + std::string(name) + "\" is not a bool",
                 "プロパティ「" + std::string(name) + "」が bool ではありません");
    ok = false;
}

std::optional<std::vector<CameraAllocData>> readCameras(const Json* objects,
                                                        const std::vector<CameraAllocData>& current,
                                                        std::uint16_t mapType, Problems& problems) {
    return readSlots(
        objects, kCameraLayer, current, "camera", "カメラ",
        [&](const Json& object, const Where& where, CameraAllocData& camera) {
            const auto place = placeOf(object, Shape::Rectangle, where, problems);
            if (!place) return false;
            const auto [x, y, w, h] = *place;
            CameraAllocData wanted = camera;
            wanted.left = snapToTile(nearest(x));
            wanted.top = snapToTile(nearest(y));
            wanted.right = snapToTile(nearest(x + w));
            wanted.bottom = snapToTile(nearest(y + h));
            bool ok = true;
            for (const auto& [name, flag] :
                 {std::pair{"rightLink", &wanted.rightLink}, std::pair{"rightLink2", &wanted.rightLink2},
                  std::pair{"downLink", &wanted.downLink}, std::pair{"downLink2", &wanted.downLink2},
                  std::pair{"P1", &wanted.p1}, std::pair{"P2", &wanted.p2}})
                readFlag(object, name, *flag, where, ok, problems);
            if (!ok) return false;
            if (wanted == camera) return true;
            if (wanted.right <= wanted.left || wanted.bottom <= wanted.top) {
                problems.add(where, "is narrower or lower than 8 pixels", "幅か高さが 8 ピクセルに足りません");
                return false;
            }
            CameraAllocData stored = wanted;
            maskCameraRectangle(stored, mapType);
            const std::string rectangle =
                pointText(wanted.left, wanted.top) + "-" + pointText(wanted.right, wanted.bottom);
            const std::string nearestRectangle =
                pointText(stored.left, stored.top) + "-" + pointText(stored.right, stored.bottom);
            if (objectLayoutOf(mapType) == ObjectLayout::None) {
                problems.add(where, "is changed, but this stage's map type stores no camera",
                             "変更されていますが、このステージのマップタイプはカメラを保存できません");
                return false;
            }
            if (!(stored == wanted)) {
                problems.add(where,
                             "its rectangle " + rectangle + " cannot be stored: the nearest the entry holds is " +
                                 nearestRectangle,
                             "矩形 " + rectangle + " は保存できません。保存できる最も近い矩形は " + nearestRectangle +
                                 " です");
                return false;
            }
            camera = wanted;
            return true;
        },
        problems);
}

std::optional<std::vector<BananaAllocData>> readBananas(const Json* objects,
                                                        const std::vector<BananaAllocData>& current,
                                                        std::uint16_t mapType, int setCount, Problems& problems) {
    return readSlots(
        objects, kBananaLayer, current, "banana", "バナナ",
        [&](const Json& object, const Where& where, BananaAllocData& banana) {
            const auto place = placeOf(object, Shape::Rectangle, where, problems);
            if (!place) return false;
            BananaAllocData wanted = banana;
            wanted.x = snapToTile(nearest((*place)[0]));
            wanted.y = snapToTile(nearest((*place)[1]));
            bool ok = true;
            readFlag(object, "front1", wanted.front1, where, ok, problems);
            readFlag(object, "front2", wanted.front2, where, ok, problems);
            if (const Json* set = property(object, "set")) {
                const std::optional<std::int64_t> n = integer(set);
                if (!n || *n < 0 || *n >= std::min(setCount, 256)) {
                    problems.add(where,
                                 "its set " + (n ? std::to_string(*n) : std::string("?")) +
                                     " is no banana set of the ROM (0 to " + std::to_string(setCount - 1) + ")",
                                 "バナナセット " + (n ? std::to_string(*n) : std::string("?")) +
                                     " はありません (0 から " + std::to_string(setCount - 1) + ")");
                    ok = false;
                } else {
                    wanted.setNumber = static_cast<std::uint8_t>(*n);
                }
            }
            if (!ok) return false;
            if (wanted == banana) return true;
            if (objectLayoutOf(mapType) == ObjectLayout::None) {
                problems.add(where, "is changed, but this stage's map type stores no banana",
                             "変更されていますが、このステージのマップタイプはバナナを保存できません");
                return false;
            }
            BananaAllocData stored = wanted;
            maskBananaPosition(stored, mapType);
            if (!(stored == wanted)) {
                problems.add(where,
                             "its position " + pointText(wanted.x, wanted.y) +
                                 " is past what the entry holds: the nearest is " + pointText(stored.x, stored.y),
                             "位置 " + pointText(wanted.x, wanted.y) + " は保存できる範囲外です。最も近い位置は " +
                                 pointText(stored.x, stored.y) + " です");
                return false;
            }
            banana = wanted;
            return true;
        },
        problems);
}

std::optional<SpriteList> readSprites(const Json* objects, const LevelSpritesData& current, Problems& problems) {
    if (!objects) return std::nullopt;
    SpriteList sprites;
    bool bad = false;
    int position = 0;
    for (const Json& object : *objects) {
        const Where where = objectWhere(kSpriteLayer, integer(member(object, "id")).value_or(0), position++);
        const auto place = placeOf(object, Shape::Point, where, problems);
        const std::optional<std::uint16_t> parameter = hexWord(property(object, "parameter"));
        const std::optional<std::uint16_t> type = hexWord(property(object, "type"));
        if (!parameter)
            problems.add(where, "has no property \"parameter\" of 1 to 4 hexadecimal digits",
                         "プロパティ「parameter」(16 進数 1〜4 桁) がありません");
        else if (*parameter == 0)
            problems.add(where, "its parameter is 0, which ends a sprite list", "パラメータに 0 は指定できません");
        if (!type)
            problems.add(where, "has no property \"type\" of 1 to 4 hexadecimal digits",
                         "プロパティ「type」(16 進数 1〜4 桁) がありません");
        if (!place || !parameter || *parameter == 0 || !type) {
            bad = true;
            continue;
        }
        const std::int32_t x = nearest((*place)[0]);
        const std::int32_t y = nearest((*place)[1]);
        constexpr std::int32_t kLowest = -kSpritePositionBias;
        constexpr std::int32_t kHighest = 0xFFFF - kSpritePositionBias;
        if (x < kLowest || x > kHighest || y < kLowest || y > kHighest) {
            problems.add(where,
                         "its position " + pointText(x, y) + " is past what an entry holds (" +
                             std::to_string(kLowest) + " to " + std::to_string(kHighest) + ")",
                         "位置 " + pointText(x, y) + " は保存できる範囲 (" + std::to_string(kLowest) + "〜" +
                             std::to_string(kHighest) + ") の外です");
            bad = true;
            continue;
        }
        sprites.push_back({x, y, *type, *parameter});
    }
    if (bad) return std::nullopt;
    if (sprites == current.sprites) return sprites;
    if (!current.readable) {
        problems.add(layerWhere(kSpriteLayer), "is changed, but the stage's sprite list cannot be read",
                     "変更されていますが、このステージのスプライトリストは読み込めません");
        return std::nullopt;
    }
    if (spriteListBytes(sprites) > current.capacity) {
        const int most = (current.capacity - 2) / static_cast<int>(kSpriteEntrySize);
        problems.add(layerWhere(kSpriteLayer),
                     "holds " + std::to_string(sprites.size()) + " sprites: the list's room (" +
                         std::to_string(current.capacity) + " bytes) holds at most " +
                         std::to_string(std::max(most, 0)),
                     "スプライトが " + std::to_string(sprites.size()) + " 個あります。リストの領域 (" +
                         std::to_string(current.capacity) + " バイト) には最大 " + std::to_string(std::max(most, 0)) +
                         " 個までです");
        return std::nullopt;
    }
    return sprites;
}

void checkMap(const Json& map, std::span<const std::uint8_t> image, const StageContents& stage, Problems& problems) {
    const Where where = mapWhere();
    const TilemapData& terrain = stage.terrain;
    if (text(member(map, "orientation")) != "orthogonal")
        problems.add(where, "is not orthogonal", "正投影 (orthogonal) のマップではありません");
    if (boolean(member(map, "infinite")).value_or(false))
        problems.add(where, "is infinite: make it fixed-size in Tiled",
                     "無限マップです。Tiled で固定サイズにしてください");
    if (integer(member(map, "tilewidth")) != kTilePixels || integer(member(map, "tileheight")) != kTilePixels)
        problems.add(where, "has tiles of another size than 32 x 32", "タイルが 32 × 32 ではありません");
    const std::optional<std::int64_t> format = integer(property(map, kFormatProperty));
    if (!format) {
        problems.add(where, "has no property \"" + std::string(kFormatProperty) + "\": it is no map that vexa exported",
                     "プロパティ「" + std::string(kFormatProperty) + "」がありません。書き出したマップではありません");
        return;
    }
    if (*format != kFormatVersion)
        problems.add(where, "is of format " + std::to_string(*format) + ", not " + std::to_string(kFormatVersion),
                     "形式 " + std::to_string(*format) + " のマップで、形式 " + std::to_string(kFormatVersion) +
                         " ではありません");
    const std::string title = romTitleText(image);
    const std::optional<std::string> rom = text(property(map, kRomProperty));
    if (rom != title)
        problems.add(where, "is a map of the ROM \"" + rom.value_or("?") + "\", not of \"" + title + "\"",
                     "ROM「" + rom.value_or("?") + "」のマップで、「" + title + "」のものではありません");
    const std::optional<std::int64_t> stageNumber = integer(property(map, kStageProperty));
    if (stageNumber != stage.stageNumber)
        problems.add(where,
                     "is a map of stage " + (stageNumber ? std::to_string(*stageNumber) : std::string("?")) +
                         ", not of stage " + std::to_string(stage.stageNumber),
                     "ステージ " + (stageNumber ? std::to_string(*stageNumber) : std::string("?")) +
                         " のマップで、ステージ " + std::to_string(stage.stageNumber) + " のものではありません");
    const std::optional<std::int64_t> terrainNumber = integer(property(map, kTerrainProperty));
    if (terrainNumber != terrain.terrainNumber)
        problems.add(where,
                     "shows terrain " + (terrainNumber ? std::to_string(*terrainNumber) : std::string("?")) +
                         ", but the stage shows terrain " + std::to_string(terrain.terrainNumber),
                     "地形 " + (terrainNumber ? std::to_string(*terrainNumber) : std::string("?")) +
                         " のマップですが、ステージの地形は " + std::to_string(terrain.terrainNumber) + " です");
    if (integer(member(map, "width")) != terrain.widthTiles || integer(member(map, "height")) != terrain.heightTiles)
        problems.add(where,
                     "is not " + std::to_string(terrain.widthTiles) + " x " + std::to_string(terrain.heightTiles) +
                         " tiles, the size of the stage's section",
                     "ステージの区画と同じ " + std::to_string(terrain.widthTiles) + " × " +
                         std::to_string(terrain.heightTiles) + " タイルではありません");
}

// The terrain core's refusal in both languages.
void refuse(const TerrainWrite& write, std::span<const std::uint8_t> image, const TerrainTables& tables, int stage,
            Problems& problems) {
    std::string ja = write.why;
    if (write.refusal == TerrainRefusal::DoesNotFit) {
        ja = utf8(terrainDoesNotFitMessage(write.shortfall));
    } else if (write.refusal == TerrainRefusal::NotEditable) {
        const TerrainSurvey survey = surveyTerrain(image, tables);
        const int block = survey.blockOfStage(stage);
        ja = "この地形は編集できません" +
             (block >= 0 ? "。" + utf8(blockProblemText(survey.blocks[static_cast<std::size_t>(block)].problemKind))
                         : std::string());
    }
    problems.add(layerWhere(kTerrainLayer), write.why, ja);
}

MapImport importParsed(std::span<const std::uint8_t> image, const RomInfo& info, int stageNumber, const Json& map,
                       const FileReader& readTileset) {
    MapImport result;
    Problems problems;
    const StageContents stage = loadStageContents(image, info, stageNumber);
    if (stage.terrainOutcome != TilemapLoadOutcome::Loaded || !stage.terrain.loaded) {
        problems.add(mapWhere(), "stage " + std::to_string(stageNumber) + " has no terrain that can be read",
                     "ステージ " + std::to_string(stageNumber) + " には読み込める地形がありません");
        result.problems = problems.take();
        return result;
    }
    checkMap(map, image, stage, problems);
    if (problems.any()) {
        // A map of another stage or size says nothing about this one's cells.
        result.problems = problems.take();
        return result;
    }
    const Tilesets sets = readTilesets(map, readTileset, problems);
    FoundLayers found;
    collectLayers(map, found, 0, 0, 0);
    for (const std::string_view name : {kTerrainLayer, kAttributeLayer, kCameraLayer, kBananaLayer, kSpriteLayer}) {
        if (found.twice.count(std::string(name))) problems.add(layerWhere(name), "appears twice", "2 つあります");
        if (found.shifted.count(std::string(name)))
            problems.add(layerWhere(name), "is shifted by an offset: set its offset (and its group's) to 0 in Tiled",
                         "オフセットでずらされています。Tiled でオフセット (グループのものも) を 0 にしてください");
    }
    const std::map<std::string, const Json*>& layers = found.byName;

    const std::uint16_t mapType = stage.terrain.mapType;
    const std::optional<std::vector<std::uint16_t>> words = readTerrain(layers, sets, stage.terrain, problems);
    const std::vector<CameraAllocData> cameras(stage.cameras.cameras.begin(), stage.cameras.cameras.end());
    const std::vector<BananaAllocData> bananas(stage.bananas.bananas.begin(), stage.bananas.bananas.end());
    const auto newCameras = readCameras(objectsOf(layers, kCameraLayer, problems), cameras, mapType, problems);
    const auto newBananas =
        readBananas(objectsOf(layers, kBananaLayer, problems), bananas, mapType, info.bananaSetCount(), problems);
    const auto newSprites = readSprites(objectsOf(layers, kSpriteLayer, problems), stage.sprites, problems);
    if (problems.any() || !words || !newCameras || !newBananas || !newSprites) {
        result.problems = problems.take();
        return result;
    }

    std::vector<std::uint8_t> edited(image.begin(), image.end());
    std::vector<TerrainCell> cells;
    const int width = stage.terrain.widthTiles;
    const std::size_t sectionCells =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(stage.terrain.heightTiles);
    for (std::size_t i = 0; i < sectionCells && i < words->size(); ++i)
        if ((*words)[i] != stage.terrain.rawTiles[i])
            cells.push_back({static_cast<int>(i % static_cast<std::size_t>(width)),
                             static_cast<int>(i / static_cast<std::size_t>(width)), (*words)[i]});
    if (!cells.empty()) {
        const TerrainTables tables = terrainTables(info);
        const TerrainWrite write = writeStageCells(edited, tables, stageNumber, cells);
        if (!write.ok()) {
            refuse(write, image, tables, stageNumber, problems);
            result.problems = problems.take();
            return result;
        }
        result.blockMoved = write.moved;
    }
    result.cellsChanged = static_cast<int>(cells.size());
    // A slot whose bytes lie past the image reads as zeros and takes no write.
    const auto unwritable = [&problems](std::string_view layer, std::string_view kindEn, std::string_view kindJa,
                                        std::size_t index) {
        problems.add(layerWhere(layer),
                     "its " + std::string(kindEn) + " " + std::to_string(index) +
                         " cannot be written: its entry lies past the image",
                     "index " + std::to_string(index) + " の" + std::string(kindJa) +
                         "は書き込めません。データが ROM イメージの外にあります");
    };
    for (std::size_t i = 0; i < cameras.size(); ++i)
        if (!((*newCameras)[i] == cameras[i])) {
            if (!writeCameraSlot(edited, info.cameraLevels(), stageNumber, static_cast<int>(i), (*newCameras)[i],
                                 mapType))
                unwritable(kCameraLayer, "camera", "カメラ", i);
            ++result.camerasChanged;
        }
    for (std::size_t i = 0; i < bananas.size(); ++i)
        if (!((*newBananas)[i] == bananas[i])) {
            if (!writeBananaSlot(edited, info.bananaLevels(), stageNumber, static_cast<int>(i), (*newBananas)[i],
                                 mapType))
                unwritable(kBananaLayer, "banana", "バナナ", i);
            ++result.bananasChanged;
        }
    if (problems.any()) {
        result = MapImport{};
        result.problems = problems.take();
        return result;
    }
    result.spritesBefore = static_cast<int>(stage.sprites.sprites.size());
    result.spritesAfter = static_cast<int>(newSprites->size());
    if (*newSprites != stage.sprites.sprites) {
        writeStageSpriteList(edited, stageNumber, *newSprites);
        result.spritesChanged = true;
    }
    result.image = std::move(edited);
    return result;
}

} // namespace

MapImport importStageMap(std::span<const std::uint8_t> image, const RomInfo& info, int stage, std::string_view mapText,
                         const FileReader& readTileset) {
    MapImport result;
    Problems problems;
    if (looksLikeXml(mapText)) {
        problems.add(mapWhere(), "is a TMX (XML) map: in Tiled, save it as a JSON map (.tmj) and import that",
                     "TMX (XML) 形式のマップです。Tiled で JSON 形式 (.tmj) で保存し直して読み込んでください");
    } else if (const std::optional<Json> map = parseJson(mapText); !map || !map->is_object()) {
        problems.add(mapWhere(), mapText.size() > kMaxMapFileSize ? "is larger than 64 MiB" : "is not a JSON map",
                     mapText.size() > kMaxMapFileSize ? "64 MiB を超えています" : "JSON 形式のマップではありません");
    } else {
        try {
            return importParsed(image, info, stage, *map, readTileset);
        } catch (const std::exception&) {
            // nlohmann's accessors are guarded above; a value of a type they did not expect
            // still ends here rather than in the caller.
            problems.add(mapWhere(), "cannot be read", "読み込めません");
        }
    }
    result.problems = problems.take();
    return result;
}

} // namespace vexa::tiled
