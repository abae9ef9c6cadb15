// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DataEvent.h"

#include <cerrno>
#include <ctime>

namespace kx::device {

DataEvent::DataEvent() {
    // The driver only signals the condition; waits measure their deadline on the monotonic
    // clock so a change of the wall clock cannot stretch them.
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&m_handle.eCondVar, &attr);
    pthread_condattr_destroy(&attr);
    pthread_mutex_init(&m_handle.eMutex, nullptr);
    m_handle.iVar = 0;
}

DataEvent::~DataEvent() {
    pthread_cond_destroy(&m_handle.eCondVar);
    pthread_mutex_destroy(&m_handle.eMutex);
}

void DataEvent::signal() {
    pthread_mutex_lock(&m_handle.eMutex);
    m_handle.iVar = 1;
    pthread_cond_broadcast(&m_handle.eCondVar);
    pthread_mutex_unlock(&m_handle.eMutex);
}

void DataEvent::reset() {
    pthread_mutex_lock(&m_handle.eMutex);
    m_handle.iVar = 0;
    pthread_mutex_unlock(&m_handle.eMutex);
}

bool DataEvent::isSet() {
    pthread_mutex_lock(&m_handle.eMutex);
    const bool set = m_handle.iVar != 0;
    pthread_mutex_unlock(&m_handle.eMutex);
    return set;
}

bool DataEvent::wait(int timeoutMs) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    const long long ns = deadline.tv_nsec + static_cast<long long>(timeoutMs < 0 ? 0 : timeoutMs) * 1000000LL;
    deadline.tv_sec += static_cast<time_t>(ns / 1000000000LL);
    deadline.tv_nsec = static_cast<long>(ns % 1000000000LL);
    pthread_mutex_lock(&m_handle.eMutex);
    while (m_handle.iVar == 0) {
        if (pthread_cond_timedwait(&m_handle.eCondVar, &m_handle.eMutex, &deadline) == ETIMEDOUT) break;
    }
    const bool set = m_handle.iVar != 0;
    pthread_mutex_unlock(&m_handle.eMutex);
    return set;
}

} // namespace kx::device
