#pragma once
// Byte streams in the class library's model: a stream reads and writes bytes at a
// position and can seek; ReadBuffer and WriteBuffer insist on the whole transfer.
// File streams go through the file-name layer (platform/Files.h), so "\" separators and
// any letter case find the file.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Exceptions.h"

// Seek origins.
constexpr uint16_t soFromBeginning = 0;
constexpr uint16_t soFromCurrent = 1;
constexpr uint16_t soFromEnd = 2;

// File stream modes. Sharing flags are accepted and ignored (nothing locks files here).
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
// Creates the file, or empties an existing one, and opens it for reading and writing.
constexpr uint16_t fmCreate = 0xFFFF;

class EStreamError : public Exception {
public:
    using Exception::Exception;
    // A file that could not be opened, created or written keeps the system's reason in
    // words ("No space left on device", "Permission denied", "File too large") beside the
    // message that names the file; empty for the other stream errors.
    EStreamError(std::string message, std::string reason)
        : Exception(std::move(message)), FReason(std::move(reason))
    {
    }
    const std::string& Reason() const { return FReason; }

private:
    std::string FReason;
};
// "Stream read error": fewer bytes than asked for were read.
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
    using EStreamError::EStreamError;
};
// "Stream write error": fewer bytes than asked for were written.
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
    using EStreamError::EStreamError;
};
// "Cannot write file "<name>". <reason>": a file being written took fewer bytes than it
// was given (a full disk, a file-size limit).
class EFWriteError : public EWriteError {
public:
    EFWriteError(const std::string& fileName, const std::string& reason)
        : EWriteError("Cannot write file \"" + fileName + "\". " + reason, reason)
    {
    }
};
// "Cannot open file "<name>". <reason>"
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// "Cannot create file "<name>". <reason>"
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Why a file could not be written, for a message that names the file itself: the reason
// of a stream error that has one, else the exception's own text.
std::string FailureReason(const std::exception& e);
// Raised when a memory stream cannot grow to the size asked for.
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Read and Write return the number of bytes transferred (0 at the end, never
    // negative). A negative count transfers nothing.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, uint16_t origin) = 0;
    // The size setter; streams that cannot change their size raise EStreamError.
    virtual void SetSize(int64_t newSize);

    int64_t Position();
    void SetPosition(int64_t pos) { Seek(pos, soFromBeginning); }
    // Measured by seeking to the end and back.
    virtual int64_t Size();

    // The whole transfer or EReadError / EWriteError.
    void ReadBuffer(void* buffer, int32_t count);
    void WriteBuffer(const void* buffer, int32_t count);
    // Copies count bytes from source's position; count 0 copies the whole of source from
    // its start. Returns the bytes copied; a short source raises EReadError.
    int64_t CopyFrom(TStream& source, int64_t count);
    // Everything from the position to the end, read in chunks until the stream gives no
    // more (a stream may deliver less than its size says).
    std::string ReadToEnd();
};

// A file on disk. The handle closes with the object.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, uint16_t origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override;

    // The name as given to the constructor.
    const std::string& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }
    // The system's error number of the last read or write that fell short (0 when none
    // has): why a ReadBuffer or WriteBuffer failed.
    int LastError() const { return FLastError; }
    // Reads at a file offset of its own, leaving the stream's position alone (several
    // readers may share one open file this way). Returns the bytes read, short at the end.
    int32_t ReadAt(int64_t offset, void* buffer, int32_t count) const;

private:
    std::string FFileName;
    int FHandle = -1;
    int FLastError = 0;
};

// Bytes in memory; grows as it is written. Seeking past the end is allowed; a write
// there fills the gap with zeros.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, uint16_t origin) override;
    // Raises EOutOfMemory when the size cannot be had; a negative size is refused
    // the same way. New bytes are zero. The position is kept unless it lay beyond the
    // new end, where it is moved to the end.
    void SetSize(int64_t newSize) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();

    // Replaces the content with the whole of the stream (from its start) and rewinds.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    // Writes the whole content to the stream at its position.
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

    // The content as a byte string.
    std::string DataString() const { return std::string(FData.begin(), FData.end()); }

private:
    std::vector<char> FData;
    int64_t FPosition = 0;
};

// Test hook: from now on every write to a file stream fails with this error number, as on
// a full disk (0: writes work again). Reset after every test.
void SetFileWriteFailure(int error);

// Writes a file so that an existing file of that name is only replaced once the new
// content is complete: `write` fills a temporary file beside it, which is then renamed
// over the old one. When `write` raises (or the disk fills), the old file is untouched,
// the temporary file is removed and the exception passes on; a write the file system
// refused (a full disk, a file-size limit) raises EFWriteError, and a file that cannot
// be made or put in place EFCreateError, both naming `fileName` and the reason. The name
// is resolved through the file-name layer; the folder must exist (EFCreateError otherwise).
void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write);
