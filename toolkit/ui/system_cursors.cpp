#include "toolkit/ui/system_cursors.h"

namespace qzsdk::ui {

std::array<HCURSOR, 9> init_system_cursors()
{
    std::array<HCURSOR, 9> cursors{};
    const LPCWSTR names[] = {IDC_ARROW,  IDC_CROSS, IDC_SIZEWE,   IDC_SIZENS,  IDC_SIZENWSE,
                             IDC_IBEAM, IDC_HAND,  IDC_SIZENWSE, IDC_SIZENESW};
    for (size_t i = 0; i < cursors.size(); ++i) cursors[i] = LoadCursorW(nullptr, names[i]);
    return cursors;
}

const std::array<HCURSOR, 9> system_cursors = init_system_cursors();

}  // namespace qzsdk::ui
