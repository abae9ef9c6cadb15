// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulated instrument opened through the program's own binding, as the program opens a real
// one. The test target defines KX_SIM_LIBRARY (the simulator's path) and links dl.
#include "core/Prompt.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DataEvent.h"
#include "device/DeviceOpen.h"

#include <dlfcn.h>

#include <cstdlib>

namespace kx::testing {

// kxsim_control of the simulator library in this process (the same instrument the program
// opens, since the library is loaded once); -1 when it is missing.
inline int simControl(const char* command) {
    static void* lib = dlopen(KX_SIM_LIBRARY, RTLD_NOW);
    if (lib == nullptr) return -1;
    using Control = int (*)(const char*);
    static auto control = reinterpret_cast<Control>(dlsym(lib, "kxsim_control"));
    return control ? control(command) : -1;
}

// Inherit it in a fixture: its members keep their usual names there.
struct SimDevice {
    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    device::OpenOptions options;
    int (*control)(const char*) = nullptr;

    // A fresh instrument on the default bench with `settings` applied, opened; the opening's
    // status (0 when working).
    int openSimulator(core::Prompt& prompt, const char* settings = "pacing=off;model=0x23;noise=off") {
        setenv("KX48ZZ_SIM", settings, 1);
        options.libraries = {KX_SIM_LIBRARY};
        options.caption = "kx48zz";
        if (binding.load(options.libraries) != 0) return -1;
        control = binding.simulatorControl();
        if (control == nullptr || control("reset") != 0 || control(settings) != 0) return -1;
        const int status = device::openDevice(binding, connection, event, prompt, options);
        connection.DeviceStatus = status;
        return status;
    }

    void closeSimulator() {
        if (connection.handle.load() != nullptr) binding.close(connection.handle.load());
        connection.handle.store(nullptr);
        connection.opened = false;
        if (control != nullptr) control("reset");
    }
};

} // namespace kx::testing
