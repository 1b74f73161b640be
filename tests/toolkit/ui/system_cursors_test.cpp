#include <gtest/gtest.h>

#include "toolkit/ui/system_cursors.h"

namespace qzsdk::ui {
namespace {

TEST(SystemCursors, NineSharedCursorsInTheirOrder)
{
    for (HCURSOR cursor : system_cursors) EXPECT_NE(cursor, nullptr);
    EXPECT_EQ(system_cursors[cursor_arrow], LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(system_cursors[cursor_ibeam], LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(system_cursors[cursor_size_nwse], system_cursors[cursor_size_nwse_again]);
    EXPECT_EQ(system_cursors[cursor_size_nesw], LoadCursorW(nullptr, IDC_SIZENESW));
}

}  // namespace
}  // namespace qzsdk::ui
