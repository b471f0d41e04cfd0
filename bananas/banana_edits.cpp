#include "bananas/banana_edits.h"

#include <algorithm>

#include "app/ini_file.h"
#include "stage/map_look.h"

namespace vexa {

template class ObjectListEditor<BananaEditTraits>;

BananaAllocData BananaEditTraits::fromFields(const BananaFields& fields, const BananaAllocData& current) {
    BananaAllocData banana;
    banana.x = fields.x;
    banana.y = fields.y;
    banana.front1 = fields.front1;
    banana.front2 = fields.front2;
    // A set beyond the combo's items leaves it without a selection; the banana keeps
    // its own set then, so changing only its position never changes its set.
    banana.setNumber = fields.setNumber.value_or(current.setNumber);
    return banana;
}

std::wstring bananaSetLabel(std::uint8_t setNumber, std::wstring_view name) {
    return hexText2(setNumber) + L": " + std::wstring(name);
}

std::wstring bananaListLine(int index, std::uint8_t setNumber, std::wstring_view name) {
    return L"#" + std::to_wstring(index) + L": " + bananaSetLabel(setNumber, name);
}

std::wstring bananaSetText(const BananaSet& set) {
    std::wstring text;
    for (int row = 0; row < set.keptRows(); ++row) {
        for (int column = 0; column < set.keptColumns(); ++column)
            text += set.hasBanana(column, row) ? L'●' : L'┼';
        text += L"\r\n";
    }
    return text;
}

bool bananaBoxContains(const BananaAllocData& banana, int x, int y) {
    return banana.x <= x && x < banana.x + looked(kBananaBoxWidth) && banana.y <= y &&
           y < banana.y + looked(kBananaBoxHeight);
}

std::vector<int> bananasMeeting(const BananaList& bananas, const MapBox& box) {
    return indicesMeeting(bananas, box, [](const BananaAllocData& banana) {
        return MapBox{banana.x, banana.y, banana.x + looked(kBananaBoxWidth), banana.y + looked(kBananaBoxHeight)};
    });
}

GroupLimits bananaGroupLimits(const std::vector<BananaAllocData>& bananas, std::uint16_t mapType) {
    // Each axis on its own: a banana's two positions are held apart.
    const auto storedMovedBy = [&](int dx, int dy) {
        return std::all_of(bananas.begin(), bananas.end(), [&](const BananaAllocData& banana) {
            BananaAllocData moved = banana;
            moved.x += dx;
            moved.y += dy;
            maskBananaPosition(moved, mapType);
            return moved.x == banana.x + dx && moved.y == banana.y + dy;
        });
    };
    return {acceptedOffsets(8, [&](int d) { return storedMovedBy(d, 0); }),
            acceptedOffsets(8, [&](int d) { return storedMovedBy(0, d); }), 8};
}

BananaFields bananaFieldsOf(const BananaAllocData& banana) {
    return {banana.x, banana.y, banana.front1, banana.front2, banana.setNumber};
}

int pickBanana(const BananaList& bananas, int x, int y) {
    int index = static_cast<int>(bananas.size());
    for (auto it = bananas.rbegin(); it != bananas.rend(); ++it) {
        --index;
        if (bananaBoxContains(*it, x, y)) return index;
    }
    return -1;
}

} // namespace vexa
