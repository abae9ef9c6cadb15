// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/AwgCompiler.h"
#include "core/state/GeneratorState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kx::generator;

namespace {

AwgCompileResult compile(const std::string& text, bool russian = false, bool quiet = false) {
    return compileAwgText("/tmp/scripts/test.kxg", text, AwgCompileOptions{quiet, russian});
}

std::uint16_t word(const AwgCompileResult& r, std::size_t address) {
    return (*r.image)[address];
}

std::string lines(int n, const std::string& line) {
    std::string s;
    for (int i = 0; i < n; ++i) s += line + "\n";
    return s;
}

} // namespace

TEST(AwgCompiler, LabelAndTwoStatementsOnOneLine) {
    const auto r = compile("STOP 1\nloop1: OUT 100; DIFF -5 // ramp\nJMP LOOP1\n");
    ASSERT_TRUE(r.ok) << r.report;
    EXPECT_EQ(word(r, 0), 0x2001);
    EXPECT_EQ(word(r, 1), 0x0064);
    EXPECT_EQ(word(r, 2), 0x1FFB);
    EXPECT_EQ(word(r, 3), 0x9001); // resolved through the fix-up list
    ASSERT_EQ(r.labels.size(), 1u);
    EXPECT_EQ(r.labels[0].name, "loop1");
    EXPECT_EQ(r.labels[0].address, 1);
    EXPECT_EQ(r.commands, 4);
    EXPECT_EQ(r.line, 3);
}

TEST(AwgCompiler, ForwardJumpIsFixedUp) {
    const auto r = compile("jmp end\nOUT 1\nOUT 2\nend: out 3\n");
    ASSERT_TRUE(r.ok) << r.report;
    EXPECT_EQ(word(r, 0), 0x9003);
}

TEST(AwgCompiler, ImageIsFreshAndZeroFilled) {
    const auto a = compile("OUT 5\n");
    const auto b = compile("OUT 7\n");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_NE(a.image.get(), b.image.get());
    EXPECT_EQ(word(a, 0), 5);
    EXPECT_EQ(word(a, 1), 0);
    EXPECT_EQ(word(b, 0), 7);
}

struct FailureCase {
    const char* script;
    int line;
    const char* english;
    const char* russian;
};

class AwgFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AwgFailure, ReportsLineAndTextInBothLanguages) {
    const auto& c = GetParam();
    const auto en = compile(c.script);
    EXPECT_FALSE(en.ok);
    EXPECT_FALSE(en.image);
    EXPECT_EQ(en.line, c.line);
    EXPECT_EQ(en.report, "Error in line " + std::to_string(c.line) + "\r\n" + c.english);
    EXPECT_EQ(en.notice, AwgNotice::ErrorBox);
    EXPECT_EQ(en.caption, "Open AWG File");
    const auto ru = compile(c.script, true);
    EXPECT_EQ(ru.report, "Ошибка в строке " + std::to_string(c.line) + "\r\n" + c.russian);
    EXPECT_EQ(ru.caption, "Открытие файла генератора ПФ");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AwgFailure,
    ::testing::Values(
        FailureCase{"OUT 1\nJMP nowhere\n", 2, "nowhere is undefined", "Метка не найдена - nowhere"},
        FailureCase{"STOP\n", 1, "Parameter is missing", "Отсутствует параметр"},
        FailureCase{"#SINF\n", 1, "Parameter is missing", "Отсутствует параметр"},
        FailureCase{"OUT 4096\n", 1, "4096 is out of range", "Недопустимый параметр - 4096"},
        FailureCase{"DIFF -4096\n", 1, "-4096 is out of range", "Недопустимый параметр - -4096"},
        FailureCase{"CALL 2048\n", 1, "2048 is out of range", "Недопустимый параметр - 2048"},
        FailureCase{"#BITS 4\n", 1, "Wrong parameter - 4", "Недопустимый параметр - 4"},
        FailureCase{"#AMP abc\n", 1, "Wrong parameter - abc", "Недопустимый параметр - abc"},
        FailureCase{"JMP a-b\n", 1, "Wrong parameter - a-b", "Недопустимый символ в имени параметра - a-b"},
        FailureCase{"\n\nFOO 1\n", 3, "Invalid command - FOO", "Недопустимая команда - FOO"},
        FailureCase{"a b: OUT 1\n", 1, "Wrong lable - a b", "Недопустимый символ в имени метки - a b"},
        FailureCase{" : OUT 1\n", 1, "Wrong lable - :", "Недопустимая метка - :"},
        FailureCase{"Label: OUT 1\nlabel: OUT 2\n", 2, "Duplicate lable - label", "Повтор метки - label"},
        FailureCase{"OUT 99999999999999999999\n", 1, "99999999999999999999 is out of range",
                    "Недопустимый параметр - 99999999999999999999"},
        FailureCase{"#CLOCK 99999999999999999999\n", 1, "Wrong parameter - 99999999999999999999",
                    "Недопустимый параметр - 99999999999999999999"}));

TEST(AwgCompiler, OutOfMemoryAtTheWord2049) {
    const auto full = compile(lines(2048, "OUT 1"));
    ASSERT_TRUE(full.ok) << full.report;
    EXPECT_EQ(full.commands, 2048);
    EXPECT_NE(full.report.find("(100.0%)"), std::string::npos);
    const auto over = compile(lines(2049, "OUT 1"));
    EXPECT_FALSE(over.ok);
    EXPECT_EQ(over.report, "Error in line 2049\r\nOut of memory");
}

TEST(AwgCompiler, BareNumberIsOutOrSerialByte) {
    const auto out = compile("65\n");
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(word(out, 0), 65);

    const auto com = compile("#DCOM 1\n65\n");
    ASSERT_TRUE(com.ok) << com.report;
    ASSERT_EQ(com.commands, 10);
    const int expected[] = {0, 3300, 0, 0, 0, 0, 0, 3300, 0, 3300};
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(word(com, i), 0xC000 | expected[i]) << i;
}

TEST(AwgCompiler, SerialByteWithParityAndTwoStopBits) {
    // 0x03 has two ones: odd parity adds a one, even parity a zero.
    const auto odd = compile("#LOG1 1\n#PRTY 1\n#SBITS 2\n#BITS 5\n_COM 3\n");
    ASSERT_TRUE(odd.ok) << odd.report;
    const int oddBits[] = {0, 1, 1, 0, 0, 0, 1, 1, 1};
    ASSERT_EQ(odd.commands, 9);
    for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(word(odd, i) & 0xFFF, oddBits[i]) << i;

    const auto even = compile("#LOG1 1\n#PRTY 2\n#BITS 5\n_COM 3\n");
    ASSERT_TRUE(even.ok);
    ASSERT_EQ(even.commands, 8);
    EXPECT_EQ(word(even, 6) & 0xFFF, 0);
    EXPECT_EQ(word(even, 7) & 0xFFF, 1);
}

TEST(AwgCompiler, SineMacroEmitsDifferences) {
    const auto r = compile("#SINF 50000\n#SINA 1000\n#SINPH 0\n_SIN 4; STOP 0\n");
    ASSERT_TRUE(r.ok) << r.report;
    ASSERT_EQ(r.commands, 5);
    EXPECT_EQ(word(r, 0), 0xD000 | 1000);          // DIFFN 1000
    EXPECT_EQ(word(r, 1), 0xD000 | (4096 - 1000)); // DIFFN -1000
    EXPECT_EQ(word(r, 2), 0xD000 | (4096 - 1000));
    EXPECT_EQ(word(r, 3), 0x1000 | 1000); // DIFF 1000
    EXPECT_EQ(word(r, 4), 0x2000);        // the rest of the line follows the expansion
}

TEST(AwgCompiler, LineCountAndFailureLine) {
    const auto ok = compile(lines(10, "OUT 1"));
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(ok.line, 10);
    std::string bad = lines(2, "OUT 1") + "OUT x!\n" + lines(7, "OUT 1");
    EXPECT_EQ(compile(bad).line, 3);
    // CR LF, lone CR and a missing final line end all count as one would read them.
    EXPECT_EQ(compile("OUT 1\r\nOUT 2\rOUT 3").line, 3);
}

TEST(AwgCompiler, SuccessMessageAndDirectives) {
    const auto r = compile("#BAUD 9600\n#AMP 50\n#DC_OFFSET -200\n#AUTOR 0\nOUT 1\n");
    ASSERT_TRUE(r.ok);
    // N = rnd(2e8 / 9600) = 20833, giving 9600.15 baud.
    EXPECT_EQ(r.report,
              "test.kxg\r\n\r\nLines = 5\r\nCommands = 1 (0.0%)\r\nBaud Rate = 9600.2 (Err = 0.002%)");
    EXPECT_EQ(r.notice, AwgNotice::InformationBox);
    EXPECT_EQ(r.message, r.report);
    EXPECT_EQ(r.defaultPeriod, 20833);
    EXPECT_EQ(r.defaultAmplitude, 50);
    EXPECT_EQ(r.dcOffset, -200);
    EXPECT_FALSE(r.autoRun);
    EXPECT_TRUE(r.uploadRequested);

    const auto clock = compile("#BAUD 100\n#CLOCK 123456\nOUT 1\n");
    EXPECT_EQ(clock.defaultPeriod, 2000000); // the bit rate wins over the clock

    const auto plain = compile("OUT 1\n");
    EXPECT_EQ(plain.defaultPeriod, -1);
    EXPECT_EQ(plain.defaultAmplitude, -1);
    EXPECT_TRUE(plain.autoRun);
}

TEST(AwgCompiler, QuietAndNoMsgGiveStatusText) {
    const auto quiet = compile(lines(3, "OUT 1"), false, true);
    EXPECT_EQ(quiet.notice, AwgNotice::StatusText);
    EXPECT_EQ(quiet.message, "Lines = 3  Commands = 3");
    const auto ru = compile("#NOMSG 1\nOUT 1\n", true);
    EXPECT_EQ(ru.notice, AwgNotice::StatusText);
    EXPECT_EQ(ru.message, "Строк = 2  Команд = 1");
    EXPECT_NE(ru.report.find("Число строк = 2\r\nЧисло команд = 1"), std::string::npos);

    // NOMSG 1 keeps the error box; NOMSG 2 as set before the failing line does not.
    EXPECT_EQ(compile("#NOMSG 1\nFOO 1\n").notice, AwgNotice::ErrorBox);
    const auto silent = compile("#NOMSG 2\nFOO 1\n");
    EXPECT_EQ(silent.notice, AwgNotice::StatusText);
    EXPECT_EQ(silent.message, "Error in line 2\r\nInvalid command - FOO");
    EXPECT_EQ(compile("FOO 1; #NOMSG 2\n").notice, AwgNotice::ErrorBox);
}

TEST(AwgCompiler, Listing) {
    const auto r = compile("#AMP 10\nstart: OUT 100; jmp start\n");
    ASSERT_TRUE(r.ok);
    const std::vector<std::string> expected{
        std::string(41, '-'),
        "/tmp/scripts/test.kxg",
        "",
        "#AMP  10",
        "start:",
        "0x000:  OUT       100         0x0064",
        "0x001:  JMP       start       0x9000",
        "",
        std::string(41, '-'),
        "test.kxg",
        "",
        "Lines = 2",
        "Commands = 2 (0.1%)",
        "",
    };
    EXPECT_EQ(r.listing, expected);
    EXPECT_EQ(awgListingText(r.listing).substr(0, 43), std::string(41, '-') + "\r\n");

    const auto bad = compile("OUT 1\nOUT 5000\n");
    const std::vector<std::string> failed{
        std::string(41, '-'), "/tmp/scripts/test.kxg", "", "0x000:  OUT       1",
        "Error in line 2",    "5000 is out of range",  ""};
    EXPECT_EQ(bad.listing, failed);
}

TEST(AwgCompiler, LongListingLineGetsTwoSpaces) {
    const auto r = compile("jmp abcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrstuvwxyz: OUT 0\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.listing[3], "0x000:  JMP       abcdefghijklmnopqrstuvwxyz  0x9001");
}

TEST(AwgCompiler, FileNotFound) {
    const auto r = compileAwgFile("/nonexistent/x.kxg", {});
    EXPECT_TRUE(r.fileNotFound);
    EXPECT_EQ(r.caption, "Open AWG file");
    EXPECT_EQ(r.message, "/nonexistent/x.kxg\r\nFile not found.");
    EXPECT_EQ(r.notice, AwgNotice::ErrorBox);
    EXPECT_TRUE(compileAwgFile(std::filesystem::temp_directory_path().string(), {}).fileNotFound);
    const auto ru = compileAwgFile("/nonexistent/x.kxg", {true, true});
    EXPECT_EQ(ru.caption, "Открытие файла генератора");
    EXPECT_EQ(ru.message, "/nonexistent/x.kxg\r\nФайл не найден.");
    EXPECT_EQ(ru.notice, AwgNotice::ErrorBox);
}

// Files a user can hand over that are no script: each is refused unread with the file message,
// never read until memory runs out nor compiled as an empty script.
TEST(AwgCompiler, RefusesDevicesAndHugeFiles) {
    const auto dir = std::filesystem::temp_directory_path() / "kx_awg_refuse_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto zeroLink = dir / "x.kxg";
    std::filesystem::create_symlink("/dev/zero", zeroLink);
    const auto zeros = dir / "zeros.kxg"; // sparse: 200 MB of zero bytes
    std::ofstream(zeros).close();
    std::filesystem::resize_file(zeros, 200u << 20);
    const auto justOver = dir / "long.kxg";
    std::ofstream(justOver).close();
    std::filesystem::resize_file(justOver, kMaxAwgScriptBytes + 1);

    for (const auto& p : {std::string("/dev/zero"), zeroLink.string(), zeros.string(), justOver.string()}) {
        const auto r = compileAwgFile(p, {true, false});
        EXPECT_TRUE(r.fileNotFound) << p;
        EXPECT_FALSE(r.ok) << p;
        EXPECT_EQ(r.message, p + "\r\nFile not found.") << p;
        EXPECT_EQ(r.notice, AwgNotice::ErrorBox) << p;
    }
    std::filesystem::remove_all(dir);
}

TEST(AwgCompiler, ListingFileIsCrLf) {
    const auto dir = std::filesystem::temp_directory_path() / "kx_awg_listing_test";
    std::filesystem::create_directories(dir);
    const auto file = (dir / kAwgListingName).string();
    ASSERT_TRUE(saveAwgListing(file, std::vector<std::string>{"a", "Ошибка"}));
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "a\r\nОшибка\r\n");
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(saveAwgListing("/nonexistent/dir/kxg.lst", std::vector<std::string>{"a"}));
}

TEST(AwgMarkList, RebuildKeepsChoiceOnlyForTheSameScript) {
    const std::vector<AwgLabel> first{{"alpha", 3}, {"Beta", 7}};
    AwgMarkList list = buildAwgMarkList(first, false, false, {});
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries[0].text, "D1 trigger mark OFF");
    EXPECT_EQ(list.entries[0].value, 2048);
    EXPECT_EQ(list.entries[1].text, "Addr 0");
    EXPECT_EQ(list.entries[1].value, 0);
    EXPECT_EQ(list.mark(), 2048);

    list.chosen = 3; // Beta
    const std::vector<AwgLabel> second{{"Beta", 9}};
    const auto kept = buildAwgMarkList(second, false, true, list);
    EXPECT_EQ(kept.chosen, 2);
    EXPECT_EQ(kept.mark(), 9);
    EXPECT_EQ(buildAwgMarkList(second, false, false, list).chosen, 0);

    list.chosen = 2; // alpha, gone in the new script
    EXPECT_EQ(buildAwgMarkList(second, false, true, list).chosen, 0);
    list.chosen = 1;
    EXPECT_EQ(buildAwgMarkList(second, false, true, list).chosen, 1);
    EXPECT_EQ(buildAwgMarkList({}, true, false, {}).entries[1].text, "Адрес 0 (кнопка Пуск)");
}

TEST(AwgMarkList, LabelsAreSortedWithoutCase) {
    const auto r = compile("zed: OUT 1\nAlpha: OUT 2\nbeta: OUT 3\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.labels.size(), 3u);
    EXPECT_EQ(r.labels[0].name, "Alpha");
    EXPECT_EQ(r.labels[1].name, "beta");
    EXPECT_EQ(r.labels[2].name, "zed");
}

TEST(AwgApply, SetsGeneratorModel) {
    const auto r = compile("#CLOCK 123456\n#AMP 25\n#DC_OFFSET 100\nmark: OUT 1\n");
    ASSERT_TRUE(r.ok);
    auto marks = buildAwgMarkList(r.labels, false, false, {});
    marks.chosen = 2;
    kx::core::GeneratorState g;
    applyAwgResult(r, "/x/test.kxg", marks, g);
    EXPECT_EQ(g.AwgCoarse, 12);
    EXPECT_EQ(g.AwgFine, 3456);
    EXPECT_EQ(g.Ampl, 1000);
    EXPECT_EQ(g.DC_Shift, 100);
    EXPECT_EQ(g.Function, kx::core::GenFunction::Awg);
    EXPECT_EQ(g.AWG_File, "/x/test.kxg");
    EXPECT_EQ(g.AwgMark, 0);

    kx::core::GeneratorState untouched;
    applyAwgResult(compile("FOO 1\n"), "/x/y.kxg", marks, untouched);
    EXPECT_EQ(untouched.Function, kx::core::GenFunction::Plain);
    EXPECT_EQ(untouched.AWG_File, "");
}

TEST(AwgStatus, FirstLineThenTheRest) {
    const std::string text = "Error in line 2\r\nOut of memory";
    EXPECT_EQ(awgStatusShown(text, 4), "Error in line 2");
    EXPECT_EQ(awgStatusShown(text, 3), "Error in line 2");
    EXPECT_EQ(awgStatusShown(text, 2), "Out of memory");
    EXPECT_EQ(awgStatusShown(text, 1), "Out of memory");
    EXPECT_EQ(awgStatusShown("Lines = 3  Commands = 3", 2), "Lines = 3  Commands = 3");
}
