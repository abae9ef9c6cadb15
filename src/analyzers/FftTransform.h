// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <cstddef>
#include <memory>
#include <span>

namespace kx::analyzers {

// Largest transform the program makes (the equivalent-time reconstruction included).
constexpr int kMaxFftLog2 = 20;

// Complex array aligned for the fast transform paths; allocated once, zero-filled.
class ComplexBuffer {
public:
    ComplexBuffer() = default;
    explicit ComplexBuffer(std::size_t size);
    std::span<std::complex<double>> span() { return {m_data.get(), m_size}; }
    std::span<const std::complex<double>> span() const { return {m_data.get(), m_size}; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

private:
    struct Free {
        void operator()(std::complex<double>* p) const;
    };
    std::unique_ptr<std::complex<double>[], Free> m_data;
    std::size_t m_size = 0;
};

// Forward transform in place, X_k = sum x_n e^(-j 2 pi k n / N), without scaling.
// The size must be a power of two from 2 to 2^kMaxFftLog2; returns false otherwise.
// Plans are made once per size under one lock (the planner is not thread-safe) and kept;
// executing them is safe from any thread.
bool fftInPlace(std::span<std::complex<double>> data);

} // namespace kx::analyzers
