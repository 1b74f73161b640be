#include "toolkit/platform/special_folders.h"

#include "tests/support/registry_value.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace qzsdk;

using qzsdk::test::registry_value;

TEST(SpecialFolders, RegistryThenEnvironmentThenDocuments)
{
    EXPECT_EQ(folder_from_registry_or_environment("QzTestNoValue", "QZ_TEST_NO_VARIABLE"), documents_folder());

    SetEnvironmentVariableW(L"QZ_TEST_FOLDER", L"D:/from/environment");
    EXPECT_EQ(folder_from_registry_or_environment("QzTestNoValue", "QZ_TEST_FOLDER").wide(), L"D:\\from\\environment");
    {
        registry_value value(L"QzTestFolder", L"E:/from/registry");
        EXPECT_EQ(folder_from_registry_or_environment("QzTestFolder", "QZ_TEST_FOLDER").wide(), L"E:\\from\\registry");
    }
    {
        // 300 characters are 602 bytes: more than the value buffer holds, so the value is missing.
        registry_value value(L"QzTestFolder", L"E:\\" + std::wstring(297, L'r'));
        EXPECT_EQ(folder_from_registry_or_environment("QzTestFolder", "QZ_TEST_FOLDER").wide(), L"D:\\from\\environment");
    }
    {
        registry_value value(L"QzTestFolder", L"");
        EXPECT_EQ(folder_from_registry_or_environment("QzTestFolder", "QZ_TEST_FOLDER").wide(), L"D:\\from\\environment");
    }
    SetEnvironmentVariableW(L"QZ_TEST_FOLDER", (L"D:\\" + std::wstring(600, L'e')).c_str());
    EXPECT_EQ(folder_from_registry_or_environment("QzTestNoValue", "QZ_TEST_FOLDER"), documents_folder());
    SetEnvironmentVariableW(L"QZ_TEST_FOLDER", nullptr);
}
