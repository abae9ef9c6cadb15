// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutTexts.h"

#include <gtest/gtest.h>

using namespace kx;

namespace {

ui::AboutInfo connected(bool russian) {
    ui::AboutInfo info;
    info.exePath = "/opt/kx/kx48zz.bin";
    info.russian = russian;
    info.debugMode = true;
    info.deviceReady = true;
    info.deviceType = 0x23;
    info.firmwareVersion = 312;
    info.fpgaVersion = 305;
    info.serial = 0x0123456789ABCDEFull;
    info.flashHash = 0xBEEF;
    return info;
}

} // namespace

TEST(AboutTexts, VersionNumbers) {
    struct Case {
        int v;
        const char* text;
    };
    const Case cases[] = {{307, "3.07"}, {300, "3.00"}, {555, "5.55"},
                          {310, "3.10"}, {0, "0.00"},   {1234, "12.34"}};
    for (const Case& c : cases) EXPECT_EQ(ui::versionText(c.v), c.text) << c.v;
}

TEST(AboutTexts, ConnectedInstrument) {
    struct Case {
        bool russian;
        ui::AboutTexts texts;
    };
    const Case cases[] = {
        {false,
         {"About", "kx48zz  (KX4823)", "Software Version  3.07", "Firmware Version  3.12",
          "FPGA Version  3.05", "Serial Number  0123456789ABCDEF - BEEF", "Device Code 0023"}},
        {true,
         {"О программе", "kx48zz  (KX4823)", "Версия программы  3.07", "Версия ПО устройства  3.12",
          "Версия FPGA устройства  3.05", "Серийный номер  0123456789ABCDEF - BEEF", "Код устройства  0023"}},
    };
    for (const Case& c : cases) {
        const ui::AboutTexts t = ui::aboutTexts(connected(c.russian));
        EXPECT_EQ(t.caption, c.texts.caption);
        EXPECT_EQ(t.productName, c.texts.productName);
        EXPECT_EQ(t.version, c.texts.version);
        EXPECT_EQ(t.firmware, c.texts.firmware);
        EXPECT_EQ(t.fpga, c.texts.fpga);
        EXPECT_EQ(t.serialNumber, c.texts.serialNumber);
        EXPECT_EQ(t.deviceCode, c.texts.deviceCode);
    }
}

TEST(AboutTexts, DisconnectedInstrumentShowsDots) {
    struct Case {
        bool russian;
        ui::AboutTexts texts;
    };
    const Case cases[] = {
        {false,
         {"About", "kx48zz", "Software Version  3.07", "Firmware Version  ...", "FPGA Version  ...",
          "Serial Number  ...", "Device Code ..."}},
        {true,
         {"О программе", "kx48zz", "Версия программы  3.07", "Версия ПО устройства  ...",
          "Версия FPGA устройства  ...", "Серийный номер  ...", "Код устройства  ..."}},
    };
    for (const Case& c : cases) {
        ui::AboutInfo info = connected(c.russian);
        info.deviceReady = false; // what the last status said is stale now
        const ui::AboutTexts t = ui::aboutTexts(info);
        EXPECT_EQ(t.productName, c.texts.productName);
        EXPECT_EQ(t.version, c.texts.version);
        EXPECT_EQ(t.firmware, c.texts.firmware);
        EXPECT_EQ(t.fpga, c.texts.fpga);
        EXPECT_EQ(t.serialNumber, c.texts.serialNumber);
        EXPECT_EQ(t.deviceCode, c.texts.deviceCode);
    }
}

TEST(AboutTexts, ProductNameOfTheExecutable) {
    struct Case {
        const char* exePath;
        std::int32_t deviceType;
        bool ready;
        const char* name;
    };
    const Case cases[] = {
        {"/usr/bin/kx48zz", 0x21, true, "kx48zz  (KX4821)"},
        {"/home/u/my.tools/TRM207.exe", 0x35, true, "TRM207  (TRM207 Mini)"},
        {"/home/u/my.tools/TRM207.exe", 0x35, false, "TRM207"},
        {"kx48zz", 0x77, true, "kx48zz  (Unknown Type = 0077)"},
        {"", 0x21, false, ""},
    };
    for (const Case& c : cases) {
        ui::AboutInfo info;
        info.exePath = c.exePath;
        info.deviceType = c.deviceType;
        info.deviceReady = c.ready;
        EXPECT_EQ(ui::aboutTexts(info).productName, c.name) << c.exePath;
    }
}

TEST(AboutTexts, InfoFromTheWindowsView) {
    core::SystemState system;
    system.RussianUi = true;
    system.DebugMode = true;
    device::StatusInfo status;
    status.deviceType = 0x31;
    status.firmwareVersion = 301;
    status.fpgaVersion = 302;
    status.serial = 42;
    status.flashHash = 7;
    const ui::AboutInfo info = ui::aboutInfoFrom("/x/kx48zz", system, status, true);
    const ui::AboutTexts t = ui::aboutTexts(info);
    EXPECT_EQ(t.productName, "kx48zz  (TRM207)");
    EXPECT_EQ(t.firmware, "Версия ПО устройства  3.01");
    EXPECT_EQ(t.fpga, "Версия FPGA устройства  3.02");
    EXPECT_EQ(t.serialNumber, "Серийный номер  000000000000002A - 0007");
    EXPECT_EQ(t.deviceCode, "Код устройства  0031");
    EXPECT_TRUE(info.debugMode);
}
