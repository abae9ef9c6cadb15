// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/FftTransform.h"

#include <array>
#include <bit>
#include <cstring>
#include <mutex>

#include <fftw3.h>

namespace kx::analyzers {
namespace {

// Plans for aligned and unaligned arrays, per size. They live for the whole process, as
// the planner's own tables do.
class PlanCache {
public:
    fftw_plan planFor(int log2n, bool aligned) {
        std::lock_guard lock(m_mutex);
        fftw_plan& slot = m_plans[static_cast<std::size_t>(aligned ? 0 : 1)][static_cast<std::size_t>(log2n)];
        if (slot == nullptr) {
            const int n = 1 << log2n;
            // Planning may touch the array, so plan on a scratch one and run it on the caller's.
            auto* scratch =
                static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<std::size_t>(n)));
            if (scratch == nullptr) return nullptr;
            const unsigned flags = FFTW_ESTIMATE | (aligned ? 0u : FFTW_UNALIGNED);
            slot = fftw_plan_dft_1d(n, scratch, scratch, FFTW_FORWARD, flags);
            fftw_free(scratch);
        }
        return slot;
    }

private:
    std::mutex m_mutex;
    std::array<std::array<fftw_plan, kMaxFftLog2 + 1>, 2> m_plans{};
};

PlanCache& planCache() {
    static PlanCache cache;
    return cache;
}

} // namespace

void ComplexBuffer::Free::operator()(std::complex<double>* p) const {
    fftw_free(p);
}

ComplexBuffer::ComplexBuffer(std::size_t size) {
    if (size == 0) return;
    void* raw = fftw_malloc(sizeof(std::complex<double>) * size);
    if (raw == nullptr) return;
    std::memset(raw, 0, sizeof(std::complex<double>) * size);
    m_data.reset(static_cast<std::complex<double>*>(raw));
    m_size = size;
}

bool fftInPlace(std::span<std::complex<double>> data) {
    const std::size_t n = data.size();
    if (n < 2 || !std::has_single_bit(n) || n > (std::size_t{1} << kMaxFftLog2)) return false;
    const int log2n = std::countr_zero(n);
    auto* p = reinterpret_cast<fftw_complex*>(data.data());
    const bool aligned = fftw_alignment_of(reinterpret_cast<double*>(p)) == 0;
    fftw_plan plan = planCache().planFor(log2n, aligned);
    if (plan == nullptr) return false;
    fftw_execute_dft(plan, p, p);
    return true;
}

} // namespace kx::analyzers
