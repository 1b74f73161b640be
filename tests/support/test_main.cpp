#include <gtest/gtest.h>
#include <ole2.h>

// Every test program runs on an OLE-initialised UI thread, as the host's own thread is.
int main(int argc, char** argv)
{
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
