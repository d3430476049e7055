#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/chars.h"

using chars::kStrayBase;

TEST(Chars, DecodeValidAndStraySequences) {
    const struct {
        const char* name;
        std::string bytes;
        char32_t cp;
        unsigned len;
    } cases[] = {
        {"four bytes", "\xF0\x9F\x98\x80", 0x1F600, 4},
        {"lone continuation", "\x80", kStrayBase + 0x80, 1},
        {"overlong slash", "\xC0\xAF", kStrayBase + 0xC0, 1},
        {"surrogate", "\xED\xA0\x80", kStrayBase + 0xED, 1},
        {"above U+10FFFF", "\xF4\x90\x80\x80", kStrayBase + 0xF4, 1},
        {"truncated at end", "\xE2\x82", kStrayBase + 0xE2, 1},
        {"lead then ascii", "\xC3" "a", kStrayBase + 0xC3, 1},
    };
    for (const auto& c : cases) {
        auto d = chars::decode(c.bytes.data(), c.bytes.data() + c.bytes.size());
        EXPECT_EQ(d.cp, c.cp) << c.name;
        EXPECT_EQ(d.len, c.len) << c.name;
        char buf[4]; // and back: a stray byte encodes to itself
        const unsigned n = chars::encode(c.cp, buf);
        EXPECT_EQ(n, chars::encodedLength(c.cp));
        EXPECT_EQ(std::string(buf, n), c.bytes.substr(0, c.len)) << c.name;
    }
}

// Stepping backwards must find exactly the boundaries that stepping forwards finds, whatever
// mix of valid sequences and stray bytes the name holds.
TEST(Chars, PreviousAgreesWithForwardDecoding) {
    std::mt19937 rng(7);
    const std::string pieces[] = {"a", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80",
                                  "\xC3", "\xE2\x82", "\xFF", "\xED\xA0\x80", "_"};
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        for (int i = 0, n = int(rng() % 12); i < n; ++i) s += pieces[rng() % std::size(pieces)];
        const char* const end = s.data() + s.size();
        std::vector<const char*> fwd, back{end};
        for (const char* p = s.data(); p < end; p += chars::decode(p, end).len) fwd.push_back(p);
        fwd.push_back(end);
        for (const char* p = end; p > s.data();) back.insert(back.begin(), p = chars::previous(s.data(), p));
        ASSERT_EQ(fwd, back) << "round " << round;
    }
}
