#pragma once
// An engine of a stand-in main window that records what the engine tells it, with the process-wide
// imaging factory in a multithreaded apartment, and a folder of the test's own.
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>

class EngineFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        frameHandle = frame.Handle();
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
    }
    void TearDown() override
    {
        if (engine) engine->ShutdownLoader();
        engine.reset();
        ReleaseWicFactory();
        CoUninitialize();
    }

    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
};
