// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::app {

// Whether the running instance may be handed a file now. Busy while starting up (until the window
// clears it at the end of its start-up) and while any BusyMark lives. Marks nest: a file operation
// run from inside a modal dialog keeps the instance busy until the dialog closes too.
// Used from the GUI thread only.
class BusyFlag {
public:
    void setBusy(bool busy) { m_set = busy; }
    bool busy() const { return m_set || m_marks > 0; }
    // One nesting level more or less, for marks that cannot be scoped (BusyMark uses these).
    void mark() { ++m_marks; }
    void unmark() {
        if (m_marks > 0) --m_marks;
    }

private:
    bool m_set = true;
    int m_marks = 0;
};

// Marks the instance busy for its lifetime: put one at the start of every handler that opens a
// modal dialog or a file dialog or runs a file operation, so every return path clears it.
class BusyMark {
public:
    explicit BusyMark(BusyFlag& flag) : m_flag(flag) { m_flag.mark(); }
    ~BusyMark() { m_flag.unmark(); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    BusyFlag& m_flag;
};

} // namespace kx::app
