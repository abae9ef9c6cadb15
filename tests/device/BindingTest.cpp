// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/D2xxBinding.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "device/RegisterImage.h"

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace kx::device {
namespace {

std::string stubPath(int omit) {
    return std::string(KX_STUB_DIR) + "/libkx_stub_d2xx_" + std::to_string(omit) + ".so";
}

using kx::testing::ScriptedPrompt;

TEST(D2xxBinding, NoLibraryGives100) {
    D2xxBinding binding;
    const std::vector<std::string> none = {"/nonexistent/libftd2xx.so"};
    EXPECT_EQ(binding.load(none), 100);
    EXPECT_FALSE(binding.loaded());
    DWORD rx = 5;
    EXPECT_EQ(binding.queueStatus(nullptr, rx), kFtInvalidHandle); // calls before a load fail cleanly
    EXPECT_EQ(usbErrorText(100, false), "Can't load libftd2xx.so");
}

TEST(D2xxBinding, MissingEntryPointGivesItsCode) {
    struct Case {
        int omit;
        const char* text;
    };
    const Case cases[] = {{110, "Ftd2xx.dll error.\r\nCan't find FT_Open"},
                          {125, "Ftd2xx.dll error.\r\nCan't find FT_Purge"},
                          {130, "Ftd2xx.dll error.\r\nCan't find FT_CyclePort"},
                          {137, "Ftd2xx.dll error.\r\nCan't find FT_GetStatus"}};
    for (const auto& c : cases) {
        D2xxBinding binding;
        const std::vector<std::string> libs = {"/nonexistent/first.so", stubPath(c.omit)};
        EXPECT_EQ(binding.load(libs), c.omit);
        EXPECT_TRUE(binding.loaded());
        EXPECT_FALSE(binding.complete());
        EXPECT_EQ(usbErrorText(c.omit, false), c.text);
        EXPECT_EQ(usbErrorText(c.omit, true), c.text);
    }
    D2xxBinding full;
    const std::vector<std::string> libs = {stubPath(0)};
    EXPECT_EQ(full.load(libs), 0);
    EXPECT_TRUE(full.complete());
}

TEST(ErrorReport, CaptionsAndTexts) {
    EXPECT_EQ(usbErrorCaption(2, false), "USB Error - 2");
    EXPECT_EQ(usbErrorCaption(2, true), "Ошибка USB - 2");
    EXPECT_EQ(usbErrorText(1, true), "Неверный дескриптор.");
    EXPECT_EQ(usbErrorText(2, false), "Device not found.");
    EXPECT_EQ(usbErrorText(2, true), "Устройство не найдено.");
    EXPECT_EQ(usbErrorText(3, true), "Device not opened. Make sure serial port driver is not loaded \r\n");
    EXPECT_EQ(usbErrorText(4, false), "Error - 4");
    EXPECT_EQ(usbErrorText(126, true), "Ошибка - 126");
    ScriptedPrompt prompt;
    reportUsbError(prompt, 2, false);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = dlopen(stubPath(0).c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_module, nullptr);
        control = reinterpret_cast<int (*)(const char*)>(dlsym(m_module, "stub_control"));
        log = reinterpret_cast<const char* (*)()>(dlsym(m_module, "stub_log"));
        control("clear");
        options.caption = "kx48zz";
        options.libraries = {stubPath(0)};
    }
    int open() { return openDevice(binding, connection, event, prompt, options); }

    void* m_module = nullptr;
    int (*control)(const char*) = nullptr;
    const char* (*log)() = nullptr;
    D2xxBinding binding;
    Connection connection;
    DataEvent event;
    ScriptedPrompt prompt;
    OpenOptions options;
};

TEST_F(DiscoveryTest, OpensTheInstrumentAndConfiguresIt) {
    control("add Some UART|17|A1");
    control("add Digital Oscilloscope KX48zz|529|KX1");
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(connection.opened);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(std::string(log()),
              "OpenEx location 529;ResetDevice;SetBaudRate 3000000;SetDataCharacteristics 8 0 0;"
              "GetModemStatus;SetFlowControl 0 19 23;SetTimeouts 500 500;SetLatencyTimer 2;"
              "SetEventNotification 1 event;");
}

TEST_F(DiscoveryTest, FlowControlFollowsCtsUnlessSwitchedOff) {
    control("add TRM207|1|T1");
    control("cts");
    EXPECT_EQ(open(), 0);
    EXPECT_NE(std::string(log()).find("SetFlowControl 256 19 23;SetRts;"), std::string::npos);
    control("clear");
    control("add TRM207|1|T1");
    control("cts");
    options.flowControlOff = true;
    EXPECT_EQ(open(), 0);
    // The earlier handle is closed before the new search.
    EXPECT_EQ(std::string(log()).rfind("Close;", 0), 0u);
    EXPECT_NE(std::string(log()).find("SetFlowControl 0 19 23;"), std::string::npos);
    EXPECT_EQ(std::string(log()).find("SetRts"), std::string::npos);
}

TEST_F(DiscoveryTest, FallsBackToTheSerialNumberWhenLocationsAreRefused) {
    control("add Digital Oscilloscope KX48zz|529|KX1");
    control("refuse-locations");
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(std::string(log()).rfind("OpenEx serial KX1;", 0), 0u);
}

TEST_F(DiscoveryTest, NoDevicesGivesNotFound) {
    EXPECT_EQ(open(), 2);
}

TEST_F(DiscoveryTest, OlderInstrumentsAreRefusedOutsideDebugMode) {
    struct Case {
        const char* add;
        const char* text;
    };
    const Case cases[] = {
        {"add Digital Oscilloscope|5|X", "KX4801 device found. \r\nPlease, use KX4801 software."},
        {"add Digital Oscilloscope KX48|5|X",
         "KX4801A or KX4803 device found. \r\nPlease, use KX4803 software."}};
    for (const auto& c : cases) {
        control("clear");
        control(c.add);
        prompt.shown.clear();
        EXPECT_EQ(open(), 2);
        EXPECT_FALSE(connection.opened);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].caption, "kx48zz");
        EXPECT_EQ(prompt.shown[0].text, c.text);
        EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    }
}

TEST_F(DiscoveryTest, OtherDevicesAreTriedOutsideDebugMode) {
    control("add USB Serial Converter|9|S9");
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(DiscoveryTest, DebugModeAsksForEveryDevice) {
    options.debugMode = true;
    control("add Digital Oscilloscope KX48zz|529|KX1");
    control("add TRM207|530|KX2");
    EXPECT_EQ(open(), 2); // No to both
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_EQ(prompt.shown[0].text, "Number of devices = 2. ");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Warning);
    EXPECT_EQ(prompt.shown[1].text, "True device found.\r\nDescription = 'Digital Oscilloscope KX48zz'  "
                                    "\r\nDev_Index = 0\r\nDev_Loc = 529\r\nOpen ?");
    EXPECT_EQ(prompt.shown[2].text,
              "True device found.\r\nDescription = 'TRM207'  \r\nDev_Index = 1\r\nDev_Loc = 530\r\nOpen ?");
    EXPECT_EQ(prompt.shown[1].style, core::MessageStyle::Question);
    EXPECT_EQ(prompt.shown[2].style, core::MessageStyle::Question);

    prompt.shown.clear();
    prompt.answers = {core::Answer::Ok, core::Answer::No, core::Answer::Yes};
    EXPECT_EQ(open(), 0);
    EXPECT_NE(std::string(log()).find("OpenEx location 530;"), std::string::npos);
}

TEST_F(DiscoveryTest, DebugModeAsksBeforeTryingOtherDevices) {
    options.debugMode = true;
    control("add Digital Oscilloscope|7|Z");
    EXPECT_EQ(open(), 2);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text,
              "Other device found.\r\nDescription = 'Digital Oscilloscope'  \r\nDev_Index = 0"
              "\r\nDev_Loc = 7\r\nTry to open ?");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::YesNo);
    prompt.answers = {core::Answer::Yes};
    EXPECT_EQ(open(), 0);
}

TEST_F(DiscoveryTest, ResetSequencePulsesTheProgramLine) {
    control("add TRM207|1|T1");
    ASSERT_EQ(open(), 0);
    connection.DeviceStatus = 0;
    control("clear");
    EXPECT_EQ(resetInstrument(binding, connection), 0u);
    EXPECT_EQ(std::string(log()),
              "SetBitMode 133 1;Write 1;Write 1;SetBitMode 133 0;StopInTask;Purge 1;RestartInTask;");
    control("clear");
    connection.DeviceStatus = 2; // not working: nothing is sent
    resetInstrument(binding, connection);
    EXPECT_EQ(std::string(log()), "");
}

struct ProgressEvents : LinkEvents {
    std::vector<int> progress;
    void configurationProgress(int percent) override { progress.push_back(percent); }
};

// A silent instrument: the transfers go out as the protocol says and their failures are counted.
TEST_F(DiscoveryTest, TransfersWithoutAnswers) {
    control("add TRM207|1|T1");
    ASSERT_EQ(open(), 0);
    connection.DeviceStatus = 0;
    RequestFlags flags;
    LinkStatistics stats;
    StatusBoard board;
    RegisterImageHolder registers;
    DeviceLink link(binding, connection, flags, stats, board, registers);
    ProgressEvents events;
    link.setEvents(&events);

    control("clear");
    EXPECT_FALSE(link.sendSettings());
    EXPECT_EQ(std::string(log()), "Write 25;Write 131;");
    EXPECT_EQ(stats.framesSent.load(), 1u);
    EXPECT_EQ(stats.framesNotAcknowledged.load(), 1u);
    EXPECT_FALSE(flags.DeviceConfigured);

    control("clear");
    const std::vector<std::uint8_t> image(300, 0xA5);
    EXPECT_FALSE(link.configureFpga(image));
    EXPECT_EQ(std::string(log()),
              "SetBitMode 133 1;Write 1;Write 1;Write 4096;Write 704;Write 128;SetBitMode 133 0;"
              "StopInTask;Purge 1;RestartInTask;Write 3;");
    EXPECT_EQ(events.progress, std::vector<int>{85});
    EXPECT_TRUE(link.transferFailed);
    EXPECT_EQ(link.configProgress.load(), 0);
}

TEST(DataEvent, ManualResetAndTimeout) {
    DataEvent event;
    EXPECT_FALSE(event.wait(1));
    event.signal();
    EXPECT_TRUE(event.wait(0));
    EXPECT_TRUE(event.wait(0)); // stays set until reset
    event.reset();
    EXPECT_FALSE(event.isSet());
    // The driver's view: condition, mutex, flag at the start of the handle.
    auto* h = static_cast<D2xxEventHandle*>(event.driverHandle());
    pthread_mutex_lock(&h->eMutex);
    h->iVar = 1;
    pthread_cond_signal(&h->eCondVar);
    pthread_mutex_unlock(&h->eMutex);
    EXPECT_TRUE(event.wait(0));
}

} // namespace
} // namespace kx::device
