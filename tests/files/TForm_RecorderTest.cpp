// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder dialog on screen (offscreen): its controls follow a recording from start to stop,
// and closing it while recording asks first. With KX_SCREENSHOT_DIR set it leaves pictures of
// itself there.
#include "files/forms/TForm_Recorder.h"

#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace kx::files {
namespace {

using core::Answer;
namespace fh = core::fh;
namespace fs = std::filesystem;

class StepClock : public RecorderClock {
public:
    TimePoint t{std::chrono::seconds(1'700'000'000)};
    TimePoint now() override { return t += std::chrono::seconds(7); }
    std::string dateTime(TimePoint p) override {
        return "day " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(p.time_since_epoch()).count());
    }
};

template <class T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

void shot(QWidget* w, const char* name) {
    if (const char* dir = std::getenv("KX_SCREENSHOT_DIR"))
        w->grab().save(QString::fromStdString((fs::path(dir) / name).string()));
}

class RecorderForm : public ::testing::Test {
protected:
    fs::path dir;
    core::InstrumentState state;
    BinaryRecorder recorder;
    kx::testing::ScriptedPrompt prompt;
    core::FrameHeader header;
    int changes = 0;
    QWidget parent;
    std::unique_ptr<TForm_Recorder> form;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kx_recorder_form_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        state.system.LastDir = dir.string();
        header.set64(fh::SamplePeriodPs, 200'000'000);
        header[fh::ScaleA1] = 1'000'000;
        header[fh::ZeroA1] = 0x8000;
        parent.setGeometry(100, 100, 900, 600);
        form = std::make_unique<TForm_Recorder>(
            &parent, TForm_Recorder::Parts{state, recorder, prompt, [this] { return header; },
                                           [this] { ++changes; }, '.', std::make_unique<StepClock>()});
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(dir);
    }
};

TEST_F(RecorderForm, RecordsFromStartToStop) {
    state.system.RussianUi = false;
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Binary Recorder");
        auto* start = child<QPushButton>(w, "Button_Start");
        auto* stop = child<QPushButton>(w, "Button_Stop");
        auto* file = child<QPushButton>(w, "Button_File");
        auto* exit = child<QPushButton>(w, "Button_Exit");
        auto* size = child<QLabel>(w, "Label_Size");
        EXPECT_EQ(child<QLineEdit>(w, "Edit_File")->text().toStdString(), (dir / "recorder.bin").string());
        EXPECT_TRUE(
            child<QPlainTextEdit>(w, "Memo_Info")->toPlainText().startsWith("Sampling rate = 5.00 KHz\n"));
        EXPECT_EQ(size->text(), "Size = ...");
        EXPECT_FALSE(stop->isEnabled());
        EXPECT_EQ(w->focusWidget(), exit);

        start->click();
        EXPECT_TRUE(recorder.recording());
        EXPECT_EQ(changes, 1);
        EXPECT_FALSE(start->isEnabled() || file->isEnabled() || exit->isEnabled());
        EXPECT_TRUE(stop->isEnabled());
        EXPECT_TRUE(child<QPlainTextEdit>(w, "Memo_Info")
                        ->toPlainText()
                        .endsWith("\nStart recording = day 1700000014"));

        // Frames arrive; the timer shows the counters.
        const std::vector<std::int16_t> frame(50'000, 5);
        for (int i = 0; i < 10; ++i) recorder.append(frame, 0);
        QMetaObject::invokeMethod(child<QTimer>(w, "Timer1"), "timeout");
        EXPECT_EQ(size->text(), "Size = 1 000 000 Bytes    Time = 0  0:00:07");
        shot(w, "recorder_recording.png");

        // Closing while recording: No keeps the window and the recording.
        prompt.answers = {Answer::No};
        w->close();
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(recorder.recording());

        prompt.answers = {Answer::Yes};
        stop->click();
        EXPECT_FALSE(recorder.recording());
        EXPECT_EQ(changes, 2);
        EXPECT_TRUE(start->isEnabled() && file->isEnabled() && exit->isEnabled());
        EXPECT_FALSE(stop->isEnabled());
        EXPECT_TRUE(child<QPlainTextEdit>(w, "Memo_Info")
                        ->toPlainText()
                        .endsWith("\nStop recording = day 1700000021"));
        shot(w, "recorder_stopped.png");
        exit->click();
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_EQ(fs::file_size(dir / "recorder.bin"), 1'000'000u);
    EXPECT_TRUE(fs::exists(dir / "recorder.txt"));
}

TEST_F(RecorderForm, ClosingWhileRecordingStopsAfterYes) {
    state.system.RussianUi = true;
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Двоичный самописец");
        EXPECT_EQ(child<QPushButton>(w, "Button_Start")->text(), "Старт");
        EXPECT_EQ(child<QLabel>(w, "Label_Size")->text(), "Записано = ...");
        child<QPushButton>(w, "Button_Start")->click();
        prompt.answers = {Answer::Yes};
        w->close();
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_FALSE(recorder.recording());
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().caption, "Предупреждение");
    EXPECT_EQ(prompt.shown.back().text, "Прервать запись самописца?");
    EXPECT_TRUE(fs::exists(dir / "recorder.txt"));
}

} // namespace
} // namespace kx::files
