#include "app/restore_point_dialog_win.h"

#include "resources/resource_ids.h"

namespace vexa {

RestorePointDialog::RestorePointDialog(std::vector<std::wstring> lines)
    : ListPickDialog(IDC_RESTORE_POINT_LIST), lines(std::move(lines)) {}

} // namespace vexa
