// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the instrument is attached but out of this user's reach, the error report that says
// so, and where the FPGA image override is looked for.
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "device/FpgaImage.h"
#include "device/UsbAccess.h"

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

namespace kx::device {
namespace {

namespace fs = std::filesystem;

// A fake /sys/bus/usb/devices; device nodes are judged by a list of the ones this user may open.
class UsbAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("kx_usb_" + std::to_string(::getpid()));
        fs::create_directories(m_root / "devices");
        probe.sysfsDevices = (m_root / "devices").string();
        probe.deviceNodes = "/dev/bus/usb";
        probe.canOpen = [this](const std::string& node) { return allowed.count(node) != 0; };
    }
    void TearDown() override { fs::remove_all(m_root); }

    void device(const std::string& name, const std::string& vendor, const std::string& product, int bus,
                int dev) {
        const fs::path d = m_root / "devices" / name;
        fs::create_directories(d);
        std::ofstream(d / "idVendor") << vendor << "\n";
        std::ofstream(d / "product") << product << "\n";
        std::ofstream(d / "busnum") << bus << "\n";
        std::ofstream(d / "devnum") << dev << "\n";
    }

    fs::path m_root;
    UsbAccessProbe probe;
    std::set<std::string> allowed;
};

TEST_F(UsbAccessTest, OnlyAnAttachedInstrumentOutOfReachCounts) {
    EXPECT_FALSE(instrumentLacksPermission(probe)); // nothing attached
    // Another FTDI device and a foreign device with the instrument's description are not it.
    device("1-1", "0403", "FT232R USB UART", 1, 4);
    device("1-2", "1234", "Digital Oscilloscope KX48zz", 1, 5);
    fs::create_directories(m_root / "devices/1-1:1.0"); // an interface: no attributes
    EXPECT_FALSE(instrumentLacksPermission(probe));

    device("2-3", "0403", "Digital Oscilloscope KX48zz", 2, 17);
    EXPECT_TRUE(instrumentLacksPermission(probe));
    allowed.insert("/dev/bus/usb/002/017");
    EXPECT_FALSE(instrumentLacksPermission(probe));

    device("3-1", "0403", "TRM207", 3, 2);
    EXPECT_TRUE(instrumentLacksPermission(probe));
}

TEST_F(UsbAccessTest, UnreadableFolderIsNoInstrument) {
    probe.sysfsDevices = (m_root / "missing").string();
    EXPECT_FALSE(instrumentLacksPermission(probe));
    EXPECT_FALSE(usbPermissionMissing(2, probe));
}

TEST_F(UsbAccessTest, ReportAddsOneLineForDriverStatusesOnly) {
    device("2-3", "0403", "Digital Oscilloscope KX48zz", 2, 17);
    struct Case {
        int code;
        bool hint;
    };
    for (const Case c : {Case{2, true}, Case{3, true}, Case{4, true}, Case{100, false}, Case{110, false}}) {
        kx::testing::ScriptedPrompt prompt;
        reportUsbError(prompt, c.code, false, probe);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].caption, "USB Error - " + std::to_string(c.code));
        const std::string& text = prompt.shown[0].text;
        const std::string base = usbErrorText(c.code, false);
        ASSERT_EQ(text.compare(0, base.size(), base), 0) << text; // the text itself comes first, unchanged
        const bool hinted = text.find(usbPermissionHint(false)) != std::string::npos;
        EXPECT_EQ(hinted, c.hint) << c.code;
        if (!hinted) continue;
        // One line break between them, also after a text that already ends with one.
        EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos) << text;
        EXPECT_EQ(text.substr(text.size() - std::string(usbPermissionHint(false)).size()),
                  usbPermissionHint(false));
        EXPECT_EQ(std::string(usbPermissionHint(false)).find('\n'), std::string::npos);
    }
    EXPECT_EQ(usbErrorReportText(2, true, true),
              std::string("Устройство не найдено.\r\n") + usbPermissionHint(true));
    // Reachable instrument: the report is the plain one.
    allowed.insert("/dev/bus/usb/002/017");
    EXPECT_EQ(usbErrorReportText(2, false, usbPermissionMissing(2, probe)), "Device not found.");
}

TEST(UdevRule, GrantsTheInstrumentsAndNoOtherFtdiDevice) {
    std::ifstream in(KX_UDEV_RULE);
    ASSERT_TRUE(in) << KX_UDEV_RULE;
    std::set<std::string> granted;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        EXPECT_NE(line.find("ATTR{idVendor}==\"" + std::string(kBridgeVendorId) + "\""), std::string::npos)
            << line;
        const std::string key = "ATTR{product}==\"";
        const auto at = line.find(key);
        ASSERT_NE(at, std::string::npos) << "a rule without the product description: " << line;
        const auto end = line.find('"', at + key.size());
        granted.insert(line.substr(at + key.size(), end - at - key.size()));
        EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
        EXPECT_EQ(line.find("MODE=\"0666\""), std::string::npos) << "world-writable: " << line;
    }
    std::set<std::string> instruments(std::begin(kInstrumentDescriptions), std::end(kInstrumentDescriptions));
    EXPECT_EQ(granted, instruments);
}

TEST(FpgaImageOverride, FirstFolderWithAnImageOfTheRightSize) {
    const fs::path root = fs::temp_directory_path() / ("kx_fpga_" + std::to_string(::getpid()));
    fs::create_directories(root / "exe");
    fs::create_directories(root / "config");
    const std::string folders[] = {(root / "exe").string() + "/", (root / "config").string() + "/"};
    EXPECT_FALSE(FpgaImage::loadFrom(folders).fromFile());

    std::ofstream(root / "exe" / kFpgaImageFile, std::ios::binary) << std::string(kFpgaImageSize - 1, 'x');
    std::ofstream(root / "config" / kFpgaImageFile, std::ios::binary) << std::string(kFpgaImageSize, 'c');
    const FpgaImage fromConfig = FpgaImage::loadFrom(folders);
    ASSERT_TRUE(fromConfig.fromFile()); // the short one beside the program is skipped
    EXPECT_EQ(fromConfig.bytes()[0], 'c');

    std::ofstream(root / "exe" / kFpgaImageFile, std::ios::binary) << std::string(kFpgaImageSize, 'e');
    EXPECT_EQ(FpgaImage::loadFrom(folders).bytes()[0], 'e');
    fs::remove_all(root);
}

} // namespace
} // namespace kx::device
