// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the placeholder FPGA image as a C++ source: sixteen 0xFF bytes, the synchronisation
// word, then deterministic filler, 337 006 bytes in all. Run at build time.
#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kx_fpga_gen OUT.cpp\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr unsigned kSize = 337006;
    std::fprintf(out,
                 "// Generated at build time: the placeholder FPGA configuration image.\n"
                 "#include <cstddef>\n"
                 "namespace kx::device::detail {\n"
                 "extern const unsigned char kEmbeddedFpgaImage[];\n"
                 "extern const std::size_t kEmbeddedFpgaImageSize;\n"
                 "const std::size_t kEmbeddedFpgaImageSize = %u;\n"
                 "alignas(16) const unsigned char kEmbeddedFpgaImage[] =\n",
                 kSize);
    std::uint32_t state = 0x4B583438u; // "KX48"
    for (unsigned i = 0; i < kSize; ++i) {
        unsigned v;
        if (i < 16) {
            v = 0xFF;
        } else if (i < 20) {
            constexpr unsigned char kSync[] = {0xAA, 0x99, 0x55, 0x66};
            v = kSync[i - 16];
        } else {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            v = state & 0xFF;
        }
        if (i % 32 == 0) std::fputs("\"", out);
        std::fprintf(out, "\\x%02x", v);
        if (i % 32 == 31 || i + 1 == kSize) std::fputs("\"\n", out);
    }
    std::fputs(";\n} // namespace kx::device::detail\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
