// SPDX-License-Identifier: GPL-3.0-or-later
// The menu entry and the file types as the desktop's own tools and Qt read them.
#include "Run.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kx::testing::quoted;
using kx::testing::run;

const std::string kDesktop = std::string(KX_SOURCE_DIR) + "/packaging/kx48zz.desktop";
const std::string kMime = std::string(KX_SOURCE_DIR) + "/packaging/kx48zz-mime.xml";

// The value of a key of the [Desktop Entry] group.
std::string desktopValue(const std::string& key) {
    std::ifstream in(kDesktop);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

TEST(DesktopEntry, PassesTheValidator) {
    const kx::testing::Ran r = run("desktop-file-validate " + quoted(kDesktop));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "") << "hints or warnings";
    // A second start hands its one file over: %f, never %F or %U.
    EXPECT_EQ(desktopValue("Exec"), "kx48zz %f");
    EXPECT_EQ(desktopValue("Icon"), "kx48zz");
}

TEST(MimeTypes, WellFormedAndAcceptedByTheDatabaseTool) {
    const kx::testing::Ran lint = run("xmllint --noout " + quoted(kMime));
    EXPECT_EQ(lint.status, 0) << lint.out;
    const fs::path dir = fs::temp_directory_path() / ("kx_mime_" + std::to_string(::getpid()));
    fs::create_directories(dir / "mime/packages");
    fs::copy_file(kMime, dir / "mime/packages/kx48zz.xml");
    // Named in the search path, so the tool has nothing to say but warnings about the file.
    const kx::testing::Ran update = run("XDG_DATA_DIRS=" + quoted(dir.string()) + " update-mime-database " +
                                        quoted((dir / "mime").string()));
    EXPECT_EQ(update.status, 0) << update.out;
    EXPECT_EQ(update.out, "") << "warnings";
    EXPECT_TRUE(fs::exists(dir / "mime/application/x-kx48zz-data.xml"));
    fs::remove_all(dir);
}

// Qt reads the same files as the file manager: the types as a desktop would see them once installed.
class MimeDetection : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = fs::temp_directory_path() / ("kx_mimedb_" + std::to_string(::getpid()));
        fs::create_directories(dir / "share/mime/packages");
        fs::copy_file(kMime, dir / "share/mime/packages/kx48zz.xml", fs::copy_options::overwrite_existing);
        // Before the first use of the database in this process.
        ::setenv("XDG_DATA_DIRS", ((dir / "share").string() + ":/usr/local/share:/usr/share").c_str(), 1);
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    static std::string file(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    static std::string typeOf(const std::string& path) {
        return QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name().toStdString();
    }
    static inline fs::path dir;
};

TEST_F(MimeDetection, ByNameAndByContent) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* type;
    };
    const Case cases[] = {
        {"a.kxd", std::string("KXD_KX48zz:\0", 12) + std::string(64, '\x01'), "application/x-kx48zz-data"},
        // Renamed data files are still known by their magic, also those of earlier programs.
        {"renamed.bin", std::string("KXD_KX48zz:\0", 12) + std::string(64, '\x01'),
         "application/x-kx48zz-data"},
        {"old.dat", std::string("KXD_KX48:\0", 10) + std::string(64, '\x01'), "application/x-kx48zz-data"},
        {"s.kxs", "[System]\r\nKX48zz_KXS_FILE=1\r\n", "application/x-kx48zz-settings"},
        {"w.kxg", "; sine\r\n", "text/x-kx48zz-awg"},
        {"n.kxc", std::string(116, '\0'), "application/x-kx48zz-na-calibration"},
        {"o.kxo", std::string(148, '\0'), "application/x-kx48zz-aa-calibration"},
    };
    for (const Case& c : cases) EXPECT_EQ(typeOf(file(c.name, c.bytes)), c.type) << c.name;

    // The text types open in a text editor too.
    QMimeDatabase db;
    for (const char* t : {"text/x-kx48zz-awg", "application/x-kx48zz-settings"})
        EXPECT_TRUE(db.mimeTypeForName(QString::fromLatin1(t)).inherits(QStringLiteral("text/plain"))) << t;
}

TEST_F(MimeDetection, EveryTypeOfTheMenuEntryIsDefined) {
    std::istringstream list(desktopValue("MimeType"));
    int count = 0;
    QMimeDatabase db;
    for (std::string type; std::getline(list, type, ';');) {
        if (type.empty()) continue;
        ++count;
        EXPECT_TRUE(db.mimeTypeForName(QString::fromStdString(type)).isValid()) << type;
    }
    // What a double click may bring: data, settings and AWG files; the window refuses the rest.
    EXPECT_EQ(count, 3);
}

} // namespace
