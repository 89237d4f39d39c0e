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

// Hold Shift To Wait (one byte) and the pause key (a number: the key, its
// modifiers above it): off and Pause at first, saved as chosen; a stored
// key that the dialog would not take counts as missing.
TEST_F(SettingsTest, HoldShiftAndThePauseKeyStartOffAndPauseAndAreSavedAsChosen) {
    LoadSettings();
    EXPECT_FALSE(HoldShiftToWait);
    EXPECT_EQ(static_cast<DWORD>(VK_PAUSE), PauseKey);
    const DWORD chosen = 'P' | (MOD_CONTROL | MOD_ALT) << 16;
    HoldShiftToWait = true;
    PauseKey = chosen;
    SaveSettings();
    const harness::RegValue shift = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kHoldShiftValue);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), shift.type);
    EXPECT_EQ(std::string(1, '\1'), shift.data);
    const harness::RegValue key = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kPauseKeyValue);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), key.type);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chosen), 4), key.data);
    {
        // A new start takes the stored key for its hotkey, and names it.
        InProcessApp app;
        ASSERT_TRUE(app.created());
        EXPECT_TRUE(HoldShiftToWait);
        EXPECT_EQ(chosen, PauseKey);
        EXPECT_FALSE(RegisterHotKey(nullptr, 7, HIWORD(chosen), LOWORD(chosen)));
        EXPECT_EQ("&Stop Monitoring\tCtrl+Alt+P", MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    }

    for (DWORD stored : {DWORD{'X'}, DWORD{0}, DWORD{VK_F5 | MOD_WIN << 16}}) {
        Store(kPauseKeyValue, REG_DWORD, &stored, sizeof(stored));
        LoadSettings();
        EXPECT_EQ(static_cast<DWORD>(VK_PAUSE), PauseKey) << std::hex << stored;
    }
}

// Each guard under its own name, the one a deployment script sets: read
// from it alone, and saved back to it.
TEST_F(SettingsTest, EachGuardIsReadAndSavedUnderItsOwnName) {
    const struct {
        const char* name;
        bool* setting;
    } guards[] = {{"Wait While Typing", &WaitWhileTyping},
                  {"Switch When The Pointer Rests", &SwitchWhenResting},
                  {"Hold Shift To Wait", &HoldShiftToWait}};
    for (const auto& on : guards) {
        SCOPED_TRACE(on.name);
        for (const auto& g : guards) {
            const BYTE stored = &g == &on;
            Store(g.name, REG_BINARY, &stored, 1);
        }
        LoadSettings();
        for (const auto& g : guards) EXPECT_EQ(&g == &on, *g.setting) << g.name;
        for (const auto& g : guards) *g.setting = !*g.setting;
        SaveSettings();
        for (const auto& g : guards)
            EXPECT_EQ(std::string(1, &g == &on ? '\0' : '\1'),
                      harness::ReadValue(HKEY_CURRENT_USER, kProductKey, g.name).data)
                << g.name;
    }
}

TEST(PauseKeyRule, AKeyThatTypesNeedsCtrlOrAlt) {
    const auto key = [](UINT code, UINT modifiers) { return static_cast<DWORD>(code | modifiers << 16); };
    struct Case {
        DWORD key;
        bool usable;
    };
    const Case cases[] = {
        {key(VK_PAUSE, 0), true},          {key(VK_F12, 0), true},
        {key(VK_SCROLL, 0), true},         {key(VK_F5, MOD_SHIFT), true},
        {key(0xAD, 0), true},              {key('P', MOD_CONTROL | MOD_ALT), true},
        {key(VK_SPACE, MOD_ALT), true},    {key(VK_LEFT, MOD_CONTROL), true},
        {key('X', 0), false},              {key('X', MOD_SHIFT), false},
        {key(VK_SPACE, 0), false},         {key(VK_RETURN, 0), false},
        {key(VK_LEFT, 0), false},          {key(VK_SHIFT, MOD_CONTROL), false},
        {key(0, MOD_ALT), false},          {key(VK_F5, MOD_WIN), false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.usable, IsUsablePauseKey(c.key)) << std::hex << c.key;
}

}  // namespace
