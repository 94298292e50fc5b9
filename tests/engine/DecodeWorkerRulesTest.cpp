#include "Viewer/engine/DecodeWorkerRules.h"
#include <gtest/gtest.h>

TEST(DecodeWorkerRulesTest, OneWorkerPerPhysicalCoreWithinOneToEight)
{
    struct Case {
        bool disableSmp;
        DWORD memoryGuide;
        int cores;
        int workers;
    };
    const Case cases[] = {
        {false, 32, 4, 4}, {false, 32, 0, 1}, {false, 32, 1, 1}, {false, 32, 8, 8}, {false, 32, 16, 8},
        {true, 32, 4, 1},  {false, 0, 4, 1},  {true, 0, 12, 1},  {false, 96, -3, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.workers, DecodeWorkerCount(c.disableSmp, c.memoryGuide, c.cores))
            << c.disableSmp << " " << c.memoryGuide << " " << c.cores;
    const int cores = CountPhysicalCores();
    EXPECT_GE(cores, 1);
}

TEST(DecodeWorkerRulesTest, TheDecodedFileIsThePreferredWholeExtension)
{
    struct Case {
        const wchar_t* extensions;
        const wchar_t* chosen;
        bool raw;
    };
    const Case cases[] = {
        {L"cr2;jpg", L"jpg", false},
        {L"CR2;JPG", L"jpg", false},
        {L"cr2;xmp", L"cr2", true},
        {L"dng;jpg", L"jpg", false},
        {L"dng", L"dng", true},
        {L"nef;tif", L"tif", false},
        // Only whole extensions count: "tiff" does not hold "tif", "jpgx" does not hold "jpg".
        {L"tiff", L"tiff", false},
        {L"jpgx;xmp", L"jpgx", true},
        {L"png;jpeg", L"jpeg", false},
        {L";orf", L"orf", true},
        {L"", L"", true},
    };
    for (const Case& c : cases) {
        const DecodeChoice choice = ChooseDecodeExtension(c.extensions);
        EXPECT_EQ(c.chosen, choice.extension) << c.extensions;
        EXPECT_EQ(c.raw, choice.raw) << c.extensions;
    }
}

TEST(DecodeWorkerRulesTest, BackOffHalvesButNotBelowTheWorkersIndex)
{
    EXPECT_EQ(32u, NextBackOffWait(64, 7));
    EXPECT_EQ(4u, NextBackOffWait(8, 0));
    EXPECT_EQ(0u, NextBackOffWait(1, 0));
    EXPECT_EQ(3u, NextBackOffWait(5, 3));
    EXPECT_EQ(2u, NextBackOffWait(4, 2));
}
