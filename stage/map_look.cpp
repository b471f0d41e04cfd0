#include "stage/map_look.h"

#include <algorithm>

namespace vexa {

namespace {

int lookPercent = 100;

} // namespace

int objectLookPercent() {
    return lookPercent;
}

void setObjectLookPercent(int percent) {
    lookPercent = std::clamp(percent, 100, 400);
}

} // namespace vexa
