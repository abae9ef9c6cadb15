// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the manual's screenshots from the program's own main window, offscreen, on the simulated
// instrument, following a shot list (docs/manual/shots.txt):
//   kx_manual_shots --sim LIBRARY --list FILE --out IMAGES_DIR [--only NAME]
// Each shot starts a fresh window with its own settings; see the list's header for the steps.
#include "app/window/TMFrm.h"
#include "core/Prompt.h"
#include "ui/MainMenu.h"
#include "ui/ProgramLook.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Shot {
    std::string name;
    std::string language; // "en" or "ru"
    std::vector<std::vector<std::string>> steps;
    int line = 0;
};

// Message boxes are answered Yes (the model question) and told on stderr; no file dialog opens.
class ShotPrompt : public kx::core::Prompt {
public:
    kx::core::Answer message(const std::string& caption, const std::string& text,
                             kx::core::MessageStyle style) override {
        std::fprintf(stderr, "  message: %s: %s\n", caption.c_str(), text.c_str());
        return style == kx::core::MessageStyle::YesNo ? kx::core::Answer::Yes : kx::core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool readList(const std::string& path, std::vector<Shot>& shots) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> w = words(line);
        if (w.empty() || w[0][0] == '#') continue;
        if (w[0] == "shot") {
            if (w.size() != 3) {
                std::fprintf(stderr, "%s:%d: shot NAME LANGUAGE\n", path.c_str(), number);
                return false;
            }
            shots.push_back({w[1], w[2], {}, number});
        } else if (shots.empty()) {
            std::fprintf(stderr, "%s:%d: a step before the first shot\n", path.c_str(), number);
            return false;
        } else {
            shots.back().steps.push_back(w);
        }
    }
    return true;
}

void pause(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class Shooter {
public:
    Shooter(std::string sim, fs::path out) : m_sim(std::move(sim)), m_out(std::move(out)) {
        m_lib = dlopen(m_sim.c_str(), RTLD_NOW);
        if (m_lib != nullptr)
            m_control = reinterpret_cast<int (*)(const char*)>(dlsym(m_lib, "kxsim_control"));
    }
    bool usable() const { return m_control != nullptr; }

    bool take(const Shot& shot) {
        std::fprintf(stderr, "shot %s (%s)\n", shot.name.c_str(), shot.language.c_str());
        m_shot = &shot;
        m_control("reset");
        m_control("pacing=off");
        m_ini = {{"System", "KX48zz_INI_FILE=1"}, {"System", "WIN_DT=0x0023"}};
        m_ini.push_back({"Common", shot.language == "ru" ? "Russian=1" : "Russian=0"});
        m_ini.push_back({"Common", shot.language == "ru" ? "English=0" : "English=1"});
        bool ok = true;
        for (const auto& s : shot.steps)
            if (!(ok = step(s))) break;
        m_window.reset();
        m_control("reset");
        if (!m_dir.empty()) {
            std::error_code ec;
            fs::remove_all(m_dir, ec);
        }
        return ok;
    }

private:
    bool fail(const std::string& what) {
        std::fprintf(stderr, "  shot %s (line %d): %s\n", m_shot->name.c_str(), m_shot->line, what.c_str());
        return false;
    }

    bool start() {
        if (m_window) return true;
        const fs::path dir = fs::temp_directory_path() / ("kx_manual_shots_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        m_dir = dir;
        std::ofstream ini(dir / "kx48zz.ini", std::ios::binary);
        std::vector<std::string> sections;
        for (const auto& entry : m_ini)
            if (std::find(sections.begin(), sections.end(), entry.first) == sections.end())
                sections.push_back(entry.first);
        for (const std::string& section : sections) {
            ini << "[" << section << "]\r\n";
            for (const auto& [s, line] : m_ini)
                if (s == section) ini << line << "\r\n";
            ini << "\r\n";
        }
        ini.close();
        kx::app::WindowOptions o;
        o.exePath = (dir / "kx48zz").string();
        o.settingsPath = (dir / "kx48zz.ini").string();
        o.prompt = &m_prompt;
        o.chooseLanguage = [this] { return m_shot->language == "ru"; };
        o.driverLibraries = {m_sim};
        m_window = std::make_unique<kx::app::TMFrm>(std::move(o));
        m_window->show();
        return waitFor([this] { return m_window->scopeThread() != nullptr && !m_window->busy(); }, 10000) ||
               fail("the window did not start");
    }

    bool save(const QPixmap& picture) {
        const fs::path file = m_out / m_shot->language / (m_shot->name + ".png");
        fs::create_directories(file.parent_path());
        return picture.save(QString::fromStdString(file.string()), "PNG") ||
               fail("cannot write " + file.string());
    }

    QAction* action(const std::string& name) {
        QAction* a = m_window->mainMenu().action(name);
        if (a == nullptr) fail("no menu item " + name);
        return a;
    }

    bool step(const std::vector<std::string>& s) {
        const std::string& verb = s[0];
        const std::string arg = s.size() > 1 ? s[1] : std::string();
        if (verb == "ini" && s.size() == 3) {
            if (m_window) return fail("ini after the window started");
            m_ini.push_back({s[1], s[2]});
            return true;
        }
        if (verb == "sim") return m_control(arg.c_str()) == 0 || fail("the simulator refused " + arg);
        if (!start()) return false;
        if (verb == "wait") {
            pause(std::atoi(arg.c_str()));
            return true;
        }
        if (verb == "ready") {
            return waitFor(
                       [this] {
                           return m_window->flags().DeviceReady.load() &&
                                  m_window->flags().DeviceConfigured.load();
                       },
                       10000) ||
                   fail("the instrument did not become ready");
        }
        if (verb == "size" && s.size() == 3) {
            m_window->resize(std::atoi(s[1].c_str()), std::atoi(s[2].c_str()));
            pause(200);
            return true;
        }
        if (verb == "click") {
            auto* b = m_window->findChild<QAbstractButton*>(QString::fromStdString(arg));
            if (b == nullptr) return fail("no button " + arg);
            b->click();
            return true;
        }
        if (verb == "item") {
            QAction* a = action(arg);
            if (a == nullptr) return false;
            a->trigger();
            return true;
        }
        if (verb == "grab") return save(m_window->grab());
        if (verb == "dialog") return dialog(arg);
        if (verb == "menu") return menu(s);
        return fail("unknown step " + verb);
    }

    // Opens a dialog through its menu item, takes it once it is shown, and closes it.
    bool dialog(const std::string& item) {
        QAction* a = action(item);
        if (a == nullptr) return false;
        bool taken = false;
        QTimer::singleShot(600, [&] {
            QWidget* d = QApplication::activeModalWidget();
            if (d == nullptr) return;
            taken = save(d->grab());
            d->close();
        });
        a->trigger();
        return taken || fail("no dialog from " + item);
    }

    // The window with a menu, and optionally one of its submenus, open as the user sees them.
    bool menu(const std::vector<std::string>& s) {
        QMenu* top = m_window->mainMenu().menu(s.size() > 1 ? s[1] : std::string());
        if (top == nullptr) return fail("no menu " + (s.size() > 1 ? s[1] : std::string()));
        QMenuBar* bar = m_window->menuBar();
        const QRect title = bar->actionGeometry(top->menuAction());
        top->popup(bar->mapToGlobal(title.bottomLeft()));
        pause(300);
        QMenu* sub = nullptr;
        if (s.size() > 2) {
            sub = m_window->mainMenu().menu(s[2]);
            if (sub == nullptr) return fail("no menu " + s[2]);
            top->setActiveAction(sub->menuAction());
            sub->popup(top->mapToGlobal(top->actionGeometry(sub->menuAction()).topRight()));
            pause(300);
        }
        QPixmap picture = m_window->grab();
        // The open menus may reach past the window: the picture grows to hold them.
        const QPoint origin = m_window->mapToGlobal(QPoint(0, 0));
        QRect area = picture.rect();
        for (QMenu* m : {top, sub})
            if (m != nullptr) area = area.united(QRect(m->pos() - origin, m->size()));
        QPixmap whole(area.size());
        whole.fill(Qt::white);
        QPainter p(&whole);
        p.drawPixmap(-area.topLeft(), picture);
        for (QMenu* m : {top, sub})
            if (m != nullptr) p.drawPixmap(m->pos() - origin - area.topLeft(), m->grab());
        p.end();
        if (sub != nullptr) sub->hide();
        top->hide();
        return save(whole);
    }

    std::string m_sim;
    fs::path m_out;
    void* m_lib = nullptr;
    int (*m_control)(const char*) = nullptr;
    const Shot* m_shot = nullptr;
    std::vector<std::pair<std::string, std::string>> m_ini;
    fs::path m_dir;
    ShotPrompt m_prompt;
    std::unique_ptr<kx::app::TMFrm> m_window;
};

} // namespace

int main(int argc, char** argv) {
    std::string sim, list, out, only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--sim"))
            sim = argv[i + 1];
        else if (!std::strcmp(argv[i], "--list"))
            list = argv[i + 1];
        else if (!std::strcmp(argv[i], "--out"))
            out = argv[i + 1];
        else if (!std::strcmp(argv[i], "--only"))
            only = argv[i + 1];
    }
    if (sim.empty() || list.empty() || out.empty()) {
        std::fprintf(stderr,
                     "usage: kx_manual_shots --sim LIBRARY --list FILE --out IMAGES_DIR [--only NAME]\n");
        return 2;
    }
    QApplication app(argc, argv);
    kx::ui::applyProgramLook();
    std::vector<Shot> shots;
    if (!readList(list, shots)) return 1;
    Shooter shooter(sim, out);
    if (!shooter.usable()) {
        std::fprintf(stderr, "kx_manual_shots: %s is not the simulated instrument\n", sim.c_str());
        return 1;
    }
    int failed = 0;
    for (const Shot& shot : shots)
        if ((only.empty() || shot.name == only) && !shooter.take(shot)) ++failed;
    return failed == 0 ? 0 : 1;
}
