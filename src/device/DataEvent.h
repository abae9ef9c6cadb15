// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pthread.h>

namespace kx::device {

// The Linux D2XX event handle: the driver locks eMutex, sets iVar and signals eCondVar when
// bytes arrive. The member order is the driver's, so its address can be handed to
// FT_SetEventNotification.
struct D2xxEventHandle {
    pthread_cond_t eCondVar;
    pthread_mutex_t eMutex;
    int iVar;
};

// Manual-reset event that wakes the acquisition thread: set by the driver on received bytes
// and by the GUI when settings change; stays set until reset.
class DataEvent {
public:
    DataEvent();
    ~DataEvent();
    DataEvent(const DataEvent&) = delete;
    DataEvent& operator=(const DataEvent&) = delete;

    void signal();
    void reset();
    // True when the event is (or becomes) set within timeoutMs; does not reset it.
    bool wait(int timeoutMs);
    [[nodiscard]] bool isSet();

    // For FT_SetEventNotification.
    void* driverHandle() { return &m_handle; }

private:
    D2xxEventHandle m_handle;
};

} // namespace kx::device
