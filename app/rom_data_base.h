#pragma once

namespace vexa {

// Marks the classes that work with the ROM image or its description.
class RomData_Base {};

} // namespace vexa
