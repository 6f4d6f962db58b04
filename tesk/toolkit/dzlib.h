#pragma once
// zlib behind the stream interface: a write-only compressor (zlib-wrapped deflate, for
// the save slots) and a read-only raw-inflate decompressor (for deflated zip members).
// Both wrap another stream that they do not own, and put it back where they last left it
// before every transfer, so other users of the same stream do not disturb them.
#include <zlib.h>

#include <cstdint>
#include <functional>

#include "platform/Exceptions.h"
#include "platform/Streams.h"

class EZlibError : public Exception {
public:
    using Exception::Exception;
};
class ECompressionError : public EZlibError {
public:
    using EZlibError::EZlibError;
};
class EDecompressionError : public EZlibError {
public:
    using EZlibError::EZlibError;
};

class TCustomZlibStream : public TStream {
public:
    ~TCustomZlibStream() override = default;

    // Fired after each block moves between the adapter and the wrapped stream.
    std::function<void(TCustomZlibStream* sender)> OnProgress;

protected:
    explicit TCustomZlibStream(TStream& strm);
    void Progress();
    // Puts the wrapped stream back at the position this adapter left it.
    void RestorePosition();

    static constexpr int BufferSize = 8192;
    TStream& FStrm;
    int64_t FStrmPos = 0;
    z_stream FZRec{};
    unsigned char FBuffer[BufferSize]{};
};

// Compression level indices: 0 none, 1 fastest, 2 zlib's default, 3 best. Scoped, since
// the colour constants of the graphics layer take some of the same names.
enum class TCompressionLevel : int { clNone = 0, clFastest = 1, clDefault = 2, clMax = 3 };

class TCompressionStream : public TCustomZlibStream {
public:
    TCompressionStream(int compressionLevel, TStream& dest);
    TCompressionStream(TCompressionLevel level, TStream& dest) : TCompressionStream(static_cast<int>(level), dest) {}
    // Finishes the stream when Finish was not called; errors are swallowed here, so call
    // Finish to learn of a failed write.
    ~TCompressionStream() override;

    int32_t Read(void* buffer, int32_t count) override;   // ECompressionError
    int32_t Write(const void* buffer, int32_t count) override;
    // Only Seek(0, soFromCurrent): the number of bytes written so far.
    int64_t Seek(int64_t offset, uint16_t origin) override;

    // Flushes the rest of the compressed data to the destination; once only (later
    // writes raise). Raises what the destination raises.
    void Finish();

private:
    bool FFinished = false;
    bool FInitialised = false;
};

class TPKDecompressionStream : public TCustomZlibStream {
public:
    // Reads raw deflate data (no zlib header or checksum) from the source's position.
    explicit TPKDecompressionStream(TStream& source);
    ~TPKDecompressionStream() override;

    // Returns fewer bytes than asked for when the source runs out or the deflate data
    // end; corrupt data raise ECompressionError "error".
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override; // EDecompressionError
    // Seek(0, soFromBeginning) restarts; forward seeks read and discard; anything else
    // raises EDecompressionError "Invalid stream operation". Returns the bytes produced.
    int64_t Seek(int64_t offset, uint16_t origin) override;

private:
    bool FEnded = false;
};

// Inflates raw deflate data held whole in memory straight into `out`: what reading
// `outSize` bytes from a TPKDecompressionStream over the same bytes gives. Returns the
// bytes produced, fewer when the data end or run out first; corrupt data raise
// ECompressionError "error".
size_t RawInflate(const void* in, size_t inSize, void* out, size_t outSize);
