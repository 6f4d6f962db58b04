#include "tesk/toolkit/dzlib.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

const char* const InvalidOperation = "Invalid stream operation";

// zlib's allocation hooks: the program's heap, count x size bytes. They never throw
// (zlib is C); an impossible size gives no memory, which zlib reports as an error.
voidpf ZAlloc(voidpf, uInt items, uInt size)
{
    if (size != 0 && items > std::numeric_limits<size_t>::max() / size)
        return Z_NULL;
    return std::malloc(static_cast<size_t>(items) * size);
}

void ZFree(voidpf, voidpf address)
{
    std::free(address);
}

int CCheck(int code)
{
    if (code < 0)
        throw ECompressionError("error");
    return code;
}

int DCheck(int code)
{
    if (code < 0)
        throw EDecompressionError("error");
    return code;
}

} // namespace

// ---- TCustomZlibStream ----

TCustomZlibStream::TCustomZlibStream(TStream& strm) : FStrm(strm), FStrmPos(strm.Position())
{
    FZRec.zalloc = ZAlloc;
    FZRec.zfree = ZFree;
    FZRec.opaque = Z_NULL;
}

void TCustomZlibStream::Progress()
{
    if (OnProgress)
        OnProgress(this);
}

void TCustomZlibStream::RestorePosition()
{
    if (FStrm.Position() != FStrmPos)
        FStrm.SetPosition(FStrmPos);
}

// ---- TCompressionStream ----

TCompressionStream::TCompressionStream(int compressionLevel, TStream& dest) : TCustomZlibStream(dest)
{
    static const int Levels[4] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION, Z_BEST_COMPRESSION};
    if (compressionLevel < static_cast<int>(TCompressionLevel::clNone) ||
        compressionLevel > static_cast<int>(TCompressionLevel::clMax))
        throw ECompressionError("error");
    FZRec.next_out = FBuffer;
    FZRec.avail_out = BufferSize;
    DCheck(deflateInit(&FZRec, Levels[compressionLevel]));
    FInitialised = true;
}

TCompressionStream::~TCompressionStream()
{
    try {
        Finish();
    } catch (...) {
        // A destructor must not raise; Finish reports failures to callers who ask.
    }
    if (FInitialised)
        deflateEnd(&FZRec);
}

void TCompressionStream::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    FZRec.next_in = Z_NULL;
    FZRec.avail_in = 0;
    RestorePosition();
    while (CCheck(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END && FZRec.avail_out == 0) {
        FStrm.WriteBuffer(FBuffer, BufferSize);
        FZRec.next_out = FBuffer;
        FZRec.avail_out = BufferSize;
    }
    if (FZRec.avail_out < BufferSize)
        FStrm.WriteBuffer(FBuffer, static_cast<int32_t>(BufferSize - FZRec.avail_out));
    FStrmPos = FStrm.Position();
}

int32_t TCompressionStream::Read(void*, int32_t)
{
    throw ECompressionError(InvalidOperation);
}

int32_t TCompressionStream::Write(const void* buffer, int32_t count)
{
    if (FFinished)
        throw ECompressionError(InvalidOperation);
    if (count <= 0)
        return 0;
    FZRec.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
    FZRec.avail_in = static_cast<uInt>(count);
    RestorePosition();
    while (FZRec.avail_in > 0) {
        CCheck(deflate(&FZRec, Z_NO_FLUSH));
        if (FZRec.avail_out == 0) {
            FStrm.WriteBuffer(FBuffer, BufferSize);
            FZRec.next_out = FBuffer;
            FZRec.avail_out = BufferSize;
            FStrmPos = FStrm.Position();
            Progress();
        }
    }
    return count;
}

int64_t TCompressionStream::Seek(int64_t offset, uint16_t origin)
{
    if (offset == 0 && origin == soFromCurrent)
        return static_cast<int64_t>(FZRec.total_in);
    throw ECompressionError(InvalidOperation);
}

// ---- TPKDecompressionStream ----

TPKDecompressionStream::TPKDecompressionStream(TStream& source) : TCustomZlibStream(source)
{
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    DCheck(inflateInit2(&FZRec, -MAX_WBITS));
}

TPKDecompressionStream::~TPKDecompressionStream()
{
    inflateEnd(&FZRec);
}

int32_t TPKDecompressionStream::Read(void* buffer, int32_t count)
{
    if (count <= 0 || FEnded)
        return 0;
    FZRec.next_out = static_cast<Bytef*>(buffer);
    FZRec.avail_out = static_cast<uInt>(count);
    RestorePosition();
    while (FZRec.avail_out > 0) {
        if (FZRec.avail_in == 0) {
            const int32_t n = FStrm.Read(FBuffer, BufferSize);
            if (n <= 0)
                return count - static_cast<int32_t>(FZRec.avail_out);
            FZRec.next_in = FBuffer;
            FZRec.avail_in = static_cast<uInt>(n);
            FStrmPos = FStrm.Position();
            Progress();
        }
        // Z_FINISH lets inflate skip keeping its 32 KiB history when the data end within
        // this call (the common case of a member read whole); when they do not, it
        // answers Z_BUF_ERROR, which only means "call again" here.
        const uInt inBefore = FZRec.avail_in;
        const uInt outBefore = FZRec.avail_out;
        const int code = inflate(&FZRec, Z_FINISH);
        // The end of the deflate data ends the content, whatever follows it in the
        // source; without this, trailing bytes would keep the loop going forever.
        if (code == Z_STREAM_END) {
            FEnded = true;
            return count - static_cast<int32_t>(FZRec.avail_out);
        }
        const bool stuck = FZRec.avail_in == inBefore && FZRec.avail_out == outBefore;
        if ((code != Z_OK && code != Z_BUF_ERROR) || stuck)
            throw ECompressionError("error");
    }
    return count;
}

int32_t TPKDecompressionStream::Write(const void*, int32_t)
{
    throw EDecompressionError(InvalidOperation);
}

int64_t TPKDecompressionStream::Seek(int64_t offset, uint16_t origin)
{
    const int64_t produced = static_cast<int64_t>(FZRec.total_out);
    if (offset == 0 && origin == soFromBeginning) {
        DCheck(inflateReset(&FZRec));
        FZRec.next_in = FBuffer;
        FZRec.avail_in = 0;
        FEnded = false;
        FStrm.SetPosition(0);
        FStrmPos = 0;
    } else if ((offset >= 0 && origin == soFromCurrent) || (origin == soFromBeginning && offset > produced)) {
        if (origin == soFromBeginning)
            offset -= produced;
        unsigned char skip[4096];
        for (int64_t i = offset / static_cast<int64_t>(sizeof skip); i > 0; --i)
            ReadBuffer(skip, sizeof skip);
        ReadBuffer(skip, static_cast<int32_t>(offset % static_cast<int64_t>(sizeof skip)));
    } else {
        throw EDecompressionError(InvalidOperation);
    }
    return static_cast<int64_t>(FZRec.total_out);
}

// ---- one-shot inflate ----

namespace {

// One inflater per thread, reset between uses instead of set up and torn down each time.
class TReusedInflater {
public:
    TReusedInflater()
    {
        FZ.zalloc = ZAlloc;
        FZ.zfree = ZFree;
        FZ.opaque = Z_NULL;
    }
    ~TReusedInflater()
    {
        if (FReady)
            inflateEnd(&FZ);
    }
    TReusedInflater(const TReusedInflater&) = delete;
    TReusedInflater& operator=(const TReusedInflater&) = delete;
    z_stream& Ready()
    {
        if (FReady) {
            DCheck(inflateReset(&FZ));
        } else {
            DCheck(inflateInit2(&FZ, -MAX_WBITS));
            FReady = true;
        }
        return FZ;
    }

private:
    z_stream FZ{};
    bool FReady = false;
};

} // namespace

size_t RawInflate(const void* in, size_t inSize, void* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    if (inSize > std::numeric_limits<uInt>::max() || outSize > std::numeric_limits<uInt>::max())
        throw ECompressionError("error");
    thread_local TReusedInflater inflater;
    z_stream& z = inflater.Ready();
    z.next_in = static_cast<Bytef*>(const_cast<void*>(in));
    z.avail_in = static_cast<uInt>(inSize);
    z.next_out = static_cast<Bytef*>(out);
    z.avail_out = static_cast<uInt>(outSize);
    // With all the input at hand, one call either ends the data, fills the output or runs
    // out of input; Z_FINISH spares inflate keeping a window of history.
    const int code = inflate(&z, Z_FINISH);
    const size_t produced = outSize - z.avail_out;
    const bool stuck = z.avail_in > 0 && z.avail_out > 0;
    if (code == Z_STREAM_END)
        return produced;
    if ((code != Z_OK && code != Z_BUF_ERROR) || stuck)
        throw ECompressionError("error");
    return produced;
}
