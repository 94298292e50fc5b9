#include "Viewer/core/StartModeSwitches.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/ProcessState.h"
#include <gtest/gtest.h>
#include <ostream>

namespace {
struct StartModeCase {
    const wchar_t* arguments;
    DWORD storedInterval;
    BOOL autoStart;
    BOOL trackMode;
    BOOL deviceMode;
    DWORD interval;
};

void PrintTo(const StartModeCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::wstring(c.arguments));
}

const StartModeCase kCases[] = {
    {L"", 1000, FALSE, FALSE, FALSE, 1000},
    {L"-a", 1500, TRUE, FALSE, FALSE, 1500},
    {L"-a 5", 1000, TRUE, FALSE, FALSE, 10},
    {L"/autoMode:2500", 1000, TRUE, FALSE, FALSE, 2500},
    // A huge value is a large unsigned interval, not a negative one.
    {L"-a -1", 1000, TRUE, FALSE, FALSE, 1000},
    {L"-a:-1", 1000, TRUE, FALSE, FALSE, 0xFFFFFFFFu},
    {L"-a 300 -t", 1000, FALSE, TRUE, FALSE, 300},
    {L"-t -a", 1000, FALSE, TRUE, FALSE, 1000},
    {L"-p -t -a", 1000, FALSE, FALSE, TRUE, 1000},
    {L"-ptpMode", 1000, FALSE, FALSE, TRUE, 1000},
    {L"-auto", 1000, FALSE, FALSE, FALSE, 1000},
};

class StartModeSwitches : public testing::TestWithParam<StartModeCase> {
protected:
    void TearDown() override
    {
        StartModes = StartModeFlags{};
        AppSettings::AutoModeInterval = 1000;
    }
};
}

TEST_P(StartModeSwitches, ChooseOneModeAndTheInterval)
{
    const StartModeCase& c = GetParam();
    AppSettings::AutoModeInterval = c.storedInterval;
    CommandLine commandLine(c.arguments, true);
    ReadStartModeSwitches(commandLine);
    EXPECT_EQ(c.autoStart, StartModes.autoStart);
    EXPECT_EQ(c.trackMode, StartModes.trackMode);
    EXPECT_EQ(c.deviceMode, StartModes.deviceMode);
    EXPECT_EQ(c.interval, AppSettings::AutoModeInterval);
}
INSTANTIATE_TEST_SUITE_P(Cases, StartModeSwitches, testing::ValuesIn(kCases));
