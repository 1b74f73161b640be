#include "standin/pipl.h"

#include <gtest/gtest.h>

TEST(Pipl, ModuleNamesItsKindAndEntry)
{
    HMODULE module = LoadLibraryW(L"Zephrin.aex");
    ASSERT_NE(module, nullptr);
    auto pipl = standin::read_pipl(module);
    EXPECT_EQ(pipl["kind"], "AEgx");
    EXPECT_EQ(pipl["name"], "Zephrin");
    EXPECT_EQ(pipl["catg"], "Tarnwick");
    EXPECT_EQ(pipl["mi64"], "PluginMain");
    EXPECT_NE(GetProcAddress(module, pipl["mi64"].c_str()), nullptr);
    FreeLibrary(module);
}
