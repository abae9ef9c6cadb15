// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HandOverMessage.h"

#include <gtest/gtest.h>

using namespace kx;
using app::Decoded;

namespace {

std::string encoded(const std::string& file, int count, bool raise) {
    std::string out;
    EXPECT_TRUE(app::encodeFileMessage({file, count, raise}, out));
    return out;
}

} // namespace

TEST(HandOverMessage, FileMessageRoundTrips) {
    const struct {
        std::string file;
        int count;
        bool raise;
    } cases[] = {
        {"/home/u/Настройки.kxs", 1, true},
        {"", 0, true},
        {"/a b/c.kxd", 3, false},
        {std::string(app::kMaxHandOverFileBytes, 'x'), 70000, false},
    };
    for (const auto& c : cases) {
        const std::string bytes = encoded(c.file, c.count, c.raise);
        EXPECT_EQ(bytes.size(), app::kFileMessageHeader + c.file.size());
        app::HandOverMessage m;
        std::size_t consumed = 0;
        ASSERT_EQ(app::decodeRequest(bytes, m, consumed), Decoded::File);
        EXPECT_EQ(consumed, bytes.size());
        EXPECT_EQ(m.file, c.file);
        EXPECT_EQ(m.paramCount, c.count);
        EXPECT_EQ(m.raise, c.raise);
    }
}

TEST(HandOverMessage, EveryShortPrefixWaitsForMore) {
    const std::string bytes = encoded("/tmp/x.kxs", 1, true);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        app::HandOverMessage m;
        std::size_t consumed = 99;
        EXPECT_EQ(app::decodeRequest(std::string_view(bytes).substr(0, n), m, consumed), Decoded::Incomplete)
            << n;
        EXPECT_EQ(consumed, 0u);
    }
}

TEST(HandOverMessage, QueryAndFileBackToBack) {
    std::string stream(1, app::kBusyQuery);
    stream += encoded("/tmp/a.kxd", 2, false);
    stream += app::kBusyQuery;

    app::HandOverMessage m;
    std::size_t consumed = 0;
    std::string_view rest(stream);
    ASSERT_EQ(app::decodeRequest(rest, m, consumed), Decoded::BusyQuery);
    rest.remove_prefix(consumed);
    ASSERT_EQ(app::decodeRequest(rest, m, consumed), Decoded::File);
    EXPECT_EQ(m.file, "/tmp/a.kxd");
    rest.remove_prefix(consumed);
    ASSERT_EQ(app::decodeRequest(rest, m, consumed), Decoded::BusyQuery);
    EXPECT_EQ(consumed, rest.size());
}

TEST(HandOverMessage, NameEndsAtAZeroByte) {
    std::string bytes = encoded(std::string("/tmp/a.kxs\0junk", 15), 1, false);
    app::HandOverMessage m;
    std::size_t consumed = 0;
    ASSERT_EQ(app::decodeRequest(bytes, m, consumed), Decoded::File);
    EXPECT_EQ(m.file, "/tmp/a.kxs");
    EXPECT_EQ(consumed, bytes.size());
}

TEST(HandOverMessage, GarbageIsRefusedWithoutWaiting) {
    const std::string good = encoded("/tmp/a.kxs", 1, false);
    auto patched = [&](std::size_t at, char value) {
        std::string s = good;
        s[at] = value;
        return s;
    };
    std::string tooLong = good.substr(0, app::kFileMessageHeader);
    tooLong[6] = 0x01;
    tooLong[7] = static_cast<char>(0x80); // 32769 bytes announced
    tooLong[8] = 0;
    tooLong[9] = 0;
    std::string hugeLength = good.substr(0, app::kFileMessageHeader);
    hugeLength[9] = static_cast<char>(0xFF);

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"unknown request", "X"},
        {"zero byte", std::string(1, '\0')},
        {"negative count", patched(4, static_cast<char>(0x80)).substr(0, 5)},
        {"raise flag not 0 or 1", patched(5, 2).substr(0, 6)},
        {"name over the limit", tooLong},
        {"length near 4 GiB", hugeLength},
    };
    for (const auto& c : cases) {
        app::HandOverMessage m;
        std::size_t consumed = 0;
        EXPECT_EQ(app::decodeRequest(c.bytes, m, consumed), Decoded::Invalid) << c.what;
    }
}

TEST(HandOverMessage, EncoderRefusesWhatTheDecoderWould) {
    std::string out = "keep";
    EXPECT_FALSE(app::encodeFileMessage({"/tmp/a", -1, false}, out));
    EXPECT_FALSE(app::encodeFileMessage({std::string(app::kMaxHandOverFileBytes + 1, 'x'), 1, false}, out));
    EXPECT_EQ(out, "keep");
}
