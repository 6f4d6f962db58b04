#include "tesk/toolkit/dzlib.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include "tests/support/ZipBuilder.h"

namespace {

std::string Text(size_t size)
{
    std::string s;
    for (size_t i = 0; s.size() < size; ++i)
        s += "line " + std::to_string(i * 7919 % 1000) + "\r\n";
    s.resize(size);
    return s;
}

std::string ZlibUncompress(const std::string& packed, size_t expected)
{
    std::string out(expected + 1, '\0');
    uLongf len = static_cast<uLongf>(out.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &len,
        reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size()));
    EXPECT_EQ(rc, Z_OK);
    out.resize(len);
    return out;
}

TStream& Fill(TMemoryStream& m, const std::string& bytes)
{
    m.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    m.SetPosition(0);
    return m;
}

template <typename F>
void ExpectMessage(F&& f, const std::string& message)
{
    try {
        f();
        ADD_FAILURE() << "nothing raised";
    } catch (const EZlibError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(CompressionStream, EveryLevelMakesACompleteZlibStream)
{
    const std::string text = Text(50000);
    for (int level : {0, 1, 2, 3}) {
        for (size_t size : {size_t(0), size_t(1), text.size()}) {
            SCOPED_TRACE(std::to_string(level) + "/" + std::to_string(size));
            TMemoryStream dest;
            dest.WriteBuffer("HEAD", 4); // the stream starts where the destination is
            int progress = 0;
            {
                TCompressionStream c(level, dest);
                c.OnProgress = [&](TCustomZlibStream* sender) {
                    EXPECT_EQ(sender, &c);
                    ++progress;
                };
                // Written in uneven pieces.
                for (size_t done = 0; done < size;) {
                    const size_t n = std::min<size_t>(size - done, 7777);
                    EXPECT_EQ(c.Write(text.data() + done, static_cast<int32_t>(n)), static_cast<int32_t>(n));
                    done += n;
                    EXPECT_EQ(c.Seek(0, soFromCurrent), static_cast<int64_t>(done));
                }
            }
            const std::string all = dest.DataString();
            ASSERT_EQ(all.substr(0, 4), "HEAD");
            EXPECT_TRUE(ZlibUncompress(all.substr(4), size) == text.substr(0, size));
            if (size == text.size() && level == 0) {
                EXPECT_GT(progress, 0);
            }
        }
    }
}

TEST(CompressionStream, RefusesReadingSeekingAndBadLevels)
{
    TMemoryStream dest;
    TCompressionStream c(2, dest);
    char b[4];
    ExpectMessage([&] { c.Read(b, 4); }, "Invalid stream operation");
    ExpectMessage([&] { c.Seek(1, soFromCurrent); }, "Invalid stream operation");
    ExpectMessage([&] { c.Seek(0, soFromBeginning); }, "Invalid stream operation");
    EXPECT_THROW(TCompressionStream(4, dest), ECompressionError);
    EXPECT_THROW(TCompressionStream(-1, dest), ECompressionError);
}

// A destination that takes nothing: the failure reaches Finish, not the destructor.
class TFullDisk : public TMemoryStream {
public:
    int32_t Write(const void*, int32_t) override { return 0; }
};

TEST(CompressionStream, FinishReportsAFailedWriteAndTheDestructorStaysQuiet)
{
    TFullDisk dest;
    {
        TCompressionStream c(2, dest);
        c.WriteBuffer("abc", 3);
        EXPECT_THROW(c.Finish(), EWriteError);
        EXPECT_THROW(c.Write("x", 1), ECompressionError); // finished
    }
    { // never finished by hand: the destructor swallows the error
        TCompressionStream c(2, dest);
        c.WriteBuffer("abc", 3);
    }
}

TEST(DecompressionStream, InflatesRawDeflateAndStopsAtItsEnd)
{
    const std::string text = Text(40000);
    struct Case {
        const char* what;
        std::string source;
        int32_t asked;
        std::string expected;
    };
    const std::string packed = RawDeflate(text);
    const Case cases[] = {
        {"whole", packed, 40000, text},
        {"more than there is", packed, 50000, text},
        // Junk after the end of the deflate data neither hangs nor counts as content.
        {"junk after the end", packed + "JUNK", 40010, text},
        {"source ends early", packed.substr(0, packed.size() / 2), 40000, {}},
        {"empty source", "", 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream src;
        TPKDecompressionStream d(Fill(src, c.source));
        std::string out(static_cast<size_t>(c.asked), '\0');
        const int32_t got = d.Read(out.data(), c.asked);
        out.resize(static_cast<size_t>(got));
        if (!c.expected.empty() || c.source.empty()) {
            EXPECT_TRUE(out == c.expected);
        } else {
            EXPECT_LT(got, c.asked); // a short count, no exception
            EXPECT_TRUE(out == text.substr(0, out.size()));
        }
        EXPECT_EQ(d.Read(out.data(), 10), 0); // nothing more after the end
        EXPECT_EQ(d.Seek(0, soFromCurrent), got);
    }
}

TEST(DecompressionStream, SeeksForwardRestartsAndRefusesTheRest)
{
    const std::string text = Text(30000);
    TMemoryStream src;
    TPKDecompressionStream d(Fill(src, RawDeflate(text)));
    char buf[50];
    EXPECT_EQ(d.Seek(10000, soFromCurrent), 10000);
    d.ReadBuffer(buf, 50);
    EXPECT_EQ(std::string(buf, 50), text.substr(10000, 50));
    EXPECT_EQ(d.Seek(20000, soFromBeginning), 20000); // absolute, beyond what was produced
    d.ReadBuffer(buf, 50);
    EXPECT_EQ(std::string(buf, 50), text.substr(20000, 50));
    // Another user moves the shared source; the adapter puts it back.
    src.SetPosition(3);
    d.ReadBuffer(buf, 50);
    EXPECT_EQ(std::string(buf, 50), text.substr(20050, 50));
    EXPECT_EQ(d.Seek(0, soFromBeginning), 0);
    d.ReadBuffer(buf, 50);
    EXPECT_EQ(std::string(buf, 50), text.substr(0, 50));
    EXPECT_THROW(d.Seek(40000, soFromCurrent), EReadError); // past the end
    for (auto [offset, origin] : {std::pair<int64_t, uint16_t>{-1, soFromCurrent}, {0, soFromEnd}, {10, soFromBeginning}}) {
        SCOPED_TRACE(offset);
        ExpectMessage([&, o = offset, g = origin] { d.Seek(o, g); }, "Invalid stream operation");
    }
    ExpectMessage([&] { d.Write("x", 1); }, "Invalid stream operation");
}

TEST(DecompressionStream, CorruptDataRaisesCompressionError)
{
    std::string packed = RawDeflate(Text(5000));
    packed[0] = static_cast<char>(0xFF); // block type 3 does not exist
    TMemoryStream src;
    TPKDecompressionStream d(Fill(src, packed));
    char buf[100];
    ExpectMessage([&] { d.Read(buf, 100); }, "error");
}

} // namespace
