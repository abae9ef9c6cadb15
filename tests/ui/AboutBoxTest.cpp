// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kx;

namespace {

QString textOf(const ui::AboutBox& box, const char* name) {
    const QWidget* w = box.findChild<QWidget*>(name);
    if (!w) {
        ADD_FAILURE() << name;
        return {};
    }
    return w->property("text").toString();
}

} // namespace

TEST(AboutBox, DisconnectedInstrument) {
    ui::AboutInfo info;
    info.exePath = "/usr/bin/kx48zz";
    ui::AboutBox box(nullptr, info);
    box.show();
    EXPECT_EQ(box.objectName(), "TAboutBox");
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(textOf(box, "ProductName"), "kx48zz");
    EXPECT_EQ(textOf(box, "Version"), "Software Version  3.07");
    EXPECT_EQ(textOf(box, "Version1"), "Firmware Version  ...");
    EXPECT_EQ(textOf(box, "Version2"), "FPGA Version  ...");
    auto* ok = box.findChild<QPushButton*>("OKButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(box.focusWidget(), ok);
    // The serial number and the device code are for debug mode only.
    EXPECT_FALSE(box.findChild<QLineEdit*>("Edit_SN")->isVisibleTo(&box));
    EXPECT_FALSE(box.findChild<QLabel*>("Label_Device_Code")->isVisibleTo(&box));
}

TEST(AboutBox, EachShowingTakesTheInfoGiven) {
    ui::AboutBox box(nullptr, {});
    ui::AboutInfo info;
    info.exePath = "/opt/TRM207";
    info.russian = true;
    info.debugMode = true;
    info.deviceReady = true;
    info.deviceType = 0x35;
    info.firmwareVersion = 311;
    info.fpgaVersion = 309;
    info.serial = 0xFEDCBA9876543210ull;
    info.flashHash = 0x0A0B;
    box.setInfo(info);
    box.show();
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("О программе"));
    EXPECT_EQ(textOf(box, "ProductName"), "TRM207  (TRM207 Mini)");
    EXPECT_EQ(textOf(box, "Version"), QString::fromUtf8("Версия программы  3.07"));
    EXPECT_EQ(textOf(box, "Version1"), QString::fromUtf8("Версия ПО устройства  3.11"));
    EXPECT_EQ(textOf(box, "Version2"), QString::fromUtf8("Версия FPGA устройства  3.09"));
    auto* sn = box.findChild<QLineEdit*>("Edit_SN");
    EXPECT_TRUE(sn->isVisibleTo(&box));
    EXPECT_TRUE(sn->isReadOnly());
    EXPECT_EQ(sn->text(), QString::fromUtf8("Серийный номер  FEDCBA9876543210 - 0A0B"));
    EXPECT_TRUE(box.findChild<QLabel*>("Label_Device_Code")->isVisibleTo(&box));
    EXPECT_EQ(textOf(box, "Label_Device_Code"), QString::fromUtf8("Код устройства  0035"));
    box.accept();

    info.deviceReady = false;
    info.russian = false;
    box.setInfo(info);
    box.show();
    EXPECT_EQ(textOf(box, "ProductName"), "TRM207");
    EXPECT_EQ(textOf(box, "Version1"), "Firmware Version  ...");
    EXPECT_EQ(textOf(box, "Edit_SN"), "Serial Number  ...");
    EXPECT_EQ(textOf(box, "Label_Device_Code"), "Device Code ...");
}

TEST(AboutBox, OkCloses) {
    ui::AboutBox box(nullptr, {});
    QTimer::singleShot(0, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        w->findChild<QPushButton*>("OKButton")->click();
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}
