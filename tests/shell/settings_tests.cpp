// Settings read at start and written at shutdown: values, types, sizes,
// defaults, and stored data that is not what it should be.
#include <gtest/gtest.h>

#include "fixture.h"
#include "in_process_app.h"
#include "resource.h"

namespace {

class SettingsTest : public ProductTest {
protected:
    void SetUp() override {
        ProductTest::SetUp();
        ResetApplicationState();
    }
    static void Store(const char* name, DWORD type, const void* data, DWORD size,
                      HKEY root = HKEY_CURRENT_USER) {
        harness::WriteValue(root, kProductKey, name, type, data, size);
    }
    static DWORD StoredTimer() {
        const harness::RegValue v = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), v.type);
        EXPECT_EQ(4u, v.data.size());
        return v.data.size() == 4 ? *reinterpret_cast<const DWORD*>(v.data.data()) : 0xFFFFFFFF;
    }
    static std::string StoredInSight() {
        const harness::RegValue v =
            harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue);
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), v.type);
        return v.data;
    }
};

TEST_F(SettingsTest, FirstStartUsesTheDefaults) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    EXPECT_EQ(100u, MonitorDelay);
    EXPECT_EQ(0, AlwaysInSight);
    EXPECT_FALSE(MenuItemState(app.options(), IDM_ALWAYS_IN_SIGHT) & MFS_CHECKED);
}

TEST_F(SettingsTest, AnyNonZeroByteTurnsAlwaysInSightOnAndTheFirstToggleOff) {
    const BYTE stored = 0x80;
    Store(kAlwaysInSightValue, REG_BINARY, &stored, 1);
    {
        InProcessApp app;
        ASSERT_TRUE(app.created());
        EXPECT_NE(0, AlwaysInSight);
        EXPECT_TRUE(MenuItemState(app.options(), IDM_ALWAYS_IN_SIGHT) & MFS_CHECKED);
        SendMessageA(app.window(), WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0);
        EXPECT_EQ(0, AlwaysInSight);
    }
    EXPECT_EQ(std::string(1, '\0'), StoredInSight());
}

TEST_F(SettingsTest, AlwaysInSightLongerThanOneByteReadsAsOff) {
    const DWORD stored = 1;
    Store(kAlwaysInSightValue, REG_DWORD, &stored, sizeof(stored));
    LoadSettings();
    EXPECT_EQ(0, AlwaysInSight);
}

TEST_F(SettingsTest, StoredDelayIsUsedWithoutRangeCheck) {
    for (DWORD stored : {5000u, 0u, 100u, 1000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(stored);
        Store(kTimerValue, REG_DWORD, &stored, sizeof(stored));
        LoadSettings();
        EXPECT_EQ(stored, MonitorDelay);
    }
}

TEST_F(SettingsTest, DelayOfTheWrongSizeOrTypeNeverOverflows) {
    // Longer than the four bytes: cannot be read, the default applies.
    const char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Store(kTimerValue, REG_BINARY, eight, sizeof(eight));
    LoadSettings();
    EXPECT_EQ(100u, MonitorDelay);

    // Shorter: fills its own bytes of the delay, which starts at 0.
    MonitorDelay = 0;
    const unsigned short two = 300;
    Store(kTimerValue, REG_BINARY, &two, sizeof(two));
    LoadSettings();
    EXPECT_EQ(300u, MonitorDelay);

    // Text of four bytes is read as the number those bytes make.
    Store(kTimerValue, REG_SZ, "abc", 4);
    LoadSettings();
    EXPECT_EQ(0x00636261u, MonitorDelay);

    const std::string longText(100000, 'x');
    Store(kTimerValue, REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1));
    Store(kAlwaysInSightValue, REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1));
    LoadSettings();
    EXPECT_EQ(100u, MonitorDelay);
    EXPECT_EQ(0, AlwaysInSight);
}

TEST_F(SettingsTest, MachineValuesAreTheFallbackForTheUser) {
    const DWORD delay = 700;
    const BYTE on = 1;
    Store(kTimerValue, REG_DWORD, &delay, sizeof(delay), HKEY_LOCAL_MACHINE);
    Store(kAlwaysInSightValue, REG_BINARY, &on, 1, HKEY_LOCAL_MACHINE);
    LoadSettings();
    EXPECT_EQ(700u, MonitorDelay);
    EXPECT_EQ(1, AlwaysInSight);

    const DWORD userDelay = 250;
    Store(kTimerValue, REG_DWORD, &userDelay, sizeof(userDelay));
    LoadSettings();
    EXPECT_EQ(250u, MonitorDelay);
}

TEST_F(SettingsTest, SavingWritesBothValuesWithTheirTypesAndSizes) {
    MonitorDelay = 5000;
    AlwaysInSight = 1;
    SaveSettings();
    EXPECT_EQ(5000u, StoredTimer());
    EXPECT_EQ(std::string(1, '\1'), StoredInSight());

    MonitorDelay = 100;
    AlwaysInSight = 0;
    SaveSettings();
    EXPECT_EQ(100u, StoredTimer());
    EXPECT_EQ(std::string(1, '\0'), StoredInSight());
}

TEST_F(SettingsTest, ChangesAreSavedOnlyAtShutdown) {
    {
        InProcessApp app;
        ASSERT_TRUE(app.created());
        SendMessageA(app.window(), WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0);
        MonitorDelay = 800;
        EXPECT_FALSE(harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue).found);
    }
    EXPECT_EQ(800u, StoredTimer());
    EXPECT_EQ(std::string(1, '\1'), StoredInSight());
}

}  // namespace
