// SPDX-License-Identifier: GPL-3.0-or-later
// The inbound parser over a byte stream cut into arbitrary reads, then waveform assembly of every
// accepted data packet under arbitrary settings (points, channel masks, peak detect, high
// resolution, roll, fast digital and equivalent time all come from the packet's header and
// information block; the rest of the context from the input's first bytes).
//
// Input: 17 bytes of settings, then the stream. With bit 0 of the first byte set the stream is
// made of records (header byte, 16-bit length, body) that the target frames itself: preamble, the
// body padded to the size the header announces, the current sequence number, a good CRC; so that
// the fuzzer reaches assembly without solving CRCs.
#include "acquisition/EtsReconstruction.h"
#include "acquisition/WaveformAssembly.h"
#include "core/Crc16.h"
#include "core/FrameRecord.h"
#include "device/FrameCodec.h"
#include "device/PacketParser.h"

#include "ByteReader.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace kx;

class TakeEverything : public device::ParserReports {
public:
    void statusDecoded(const device::StatusPacket&) override {}
    bool dataArrived() override { return true; }
};

constexpr std::size_t kMaxStream = 1u << 20;
constexpr std::size_t kSequenceOffset = 35;

void frameRecords(std::span<const std::uint8_t> records, std::uint32_t points, std::uint8_t sequence,
                  std::vector<std::uint8_t>& out) {
    fuzz::ByteReader in(records.data(), records.size());
    while (!in.rest().empty() && out.size() < kMaxStream) {
        const auto header = static_cast<std::uint8_t>(in.u8());
        const std::size_t length = in.u16();
        const auto given = in.rest().first(std::min(length, in.rest().size()));
        for (std::size_t i = 0; i < length; ++i) in.u8();
        std::size_t size = device::kStatusBodySize;
        if (header != device::kStatusHeader) {
            const auto sizes = device::dataBlockSizes(header, points);
            size = static_cast<std::size_t>(std::min<std::uint64_t>(sizes.a + sizes.b, kMaxStream)) +
                   device::kInfoBlockSize;
        }
        std::vector<std::uint8_t> body(1 + size, 0);
        body[0] = header;
        std::copy_n(given.begin(), std::min(given.size(), size), body.begin() + 1);
        if (header != device::kStatusHeader)
            body[body.size() - device::kInfoBlockSize + kSequenceOffset] = sequence;
        const std::uint16_t crc = core::crc16(body);
        out.insert(out.end(), device::kPreamble.begin(), device::kPreamble.end());
        out.insert(out.end(), body.begin(), body.end());
        out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
        out.push_back(static_cast<std::uint8_t>(crc >> 8));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto work = std::make_unique<acquisition::AssemblyWorkspace>();
    static auto ets = std::make_unique<acquisition::EtsReconstruction>();
    static auto frame = std::make_unique<core::FrameRecord>();
    static const std::int32_t probes[] = {1, 10, 20, 100};
    static const std::int64_t timeDivs[] = {2,    5,    10,   20,    50,     100,     200,      500,
                                            1000, 2000, 5000, 10000, 100000, 1000000, 10000000, 1000000000};

    fuzz::ByteReader in(data, size);
    const std::uint32_t flags = in.u8();
    // Apply-settings never computes more than the frame record holds.
    const std::uint32_t points = in.u16() % (core::kMaxFramePoints + 1);
    const auto sequence = static_cast<std::uint8_t>(in.u8());
    acquisition::AssemblyContext ctx;
    ctx.preTrigger = static_cast<std::int32_t>(in.u16());
    const std::uint32_t readSeed = in.u8();
    const std::uint32_t choice = in.u8();
    ctx.probeA1 = probes[choice & 3];
    ctx.probeA2 = probes[(choice >> 2) & 3];
    ctx.timeDivNs = timeDivs[choice >> 4];
    ctx.preDivisions = static_cast<std::int8_t>(in.u8());
    ctx.zeroA1 = static_cast<std::int32_t>(in.u16());
    ctx.zeroA2 = static_cast<std::int32_t>(in.u16());
    ctx.levA1 = in.u16();
    ctx.levA2 = in.u16();
    ctx.scrollActive = flags & 0x02;
    ctx.compactFrontEnd = flags & 0x04;
    ctx.menuAA = flags & 0x08;
    ctx.recordingOn = flags & 0x10;
    ctx.fftViewA1 = flags & 0x20;
    ctx.fftViewA2 = flags & 0x40;
    ctx.iqWinEn = flags & 0x80;
    ctx.fftAveragingDepth = 1 + static_cast<std::int32_t>(readSeed % 128);
    work->ets = ets.get();

    std::vector<std::uint8_t> framed;
    std::span<const std::uint8_t> stream = in.rest();
    if (flags & 0x01) {
        frameRecords(stream, points, sequence, framed);
        stream = framed;
    }

    TakeEverything reports;
    device::PacketParser parser(reports);
    parser.setPointsPerChannel(points);
    parser.setExpectedSequence(sequence);
    // Reads of 1 .. 2^k bytes, as the driver hands them over; at most one driver read.
    std::uint32_t rng = readSeed * 2654435761u + 1;
    const std::size_t largest = std::min<std::size_t>(std::size_t{1} << (readSeed % 17), 65000);
    for (std::size_t at = 0; at < stream.size();) {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        const std::size_t n = std::min(1 + rng % largest, stream.size() - at);
        if (parser.feed(stream.subspan(at, n)) > 0) {
            const device::DataPacketView p = parser.handOver();
            acquisition::assembleFrame(p.info, p.blockA, p.blockB, ctx, *work, *frame);
        }
        (void)parser.takeCounts();
        at += n;
    }
    return 0;
}
