#include "platform/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

#include "platform/Files.h"
#include "platform/TestHooks.h"

namespace {

// The error every file write fails with, when a test asks for one.
int WriteFailure = 0;
const TestHooks::TResetStep ResetWriteFailure([] { WriteFailure = 0; });

// The largest memory stream: positions and sizes stay far from overflow.
constexpr int64_t MaxMemorySize = int64_t(1) << 40;

std::string Reason(int err)
{
    return std::strerror(err);
}

EFCreateError CreateError(const std::string& fileName, int err)
{
    const std::string reason = Reason(err);
    return EFCreateError("Cannot create file \"" + fileName + "\". " + reason, reason);
}

// Opens without blocking (a FIFO would otherwise wait for a writer) and accepts regular
// files only. Returns the handle, or -1 with errno set.
int OpenRegular(const std::string& path, int flags)
{
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = err;
        return -1;
    }
    // O_NONBLOCK stays: it has no effect on regular files.
    return fd;
}

// Repeats a read or write call until `count` bytes are done, the call gives 0 (end of
// file) or it fails for a reason other than an interruption. `call` (bytes done so far,
// bytes left) makes one system call. Returns the bytes done.
template <typename Call>
int32_t TransferAll(int32_t count, Call call)
{
    int32_t done = 0;
    while (done < count) {
        const ssize_t n = call(static_cast<size_t>(done), static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

} // namespace

// ---- TStream ----

void TStream::SetSize(int64_t)
{
    throw EStreamError("Stream size cannot be changed");
}

int64_t TStream::Position()
{
    return Seek(0, soFromCurrent);
}

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, soFromCurrent);
    const int64_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int32_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int32_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        throw EReadError();
    const int64_t result = count;
    std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(count, 0xF000)));
    while (count > 0) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(buffer.size())));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return result;
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName)
{
    // A NUL byte would cut the name short and reach another file.
    const bool badName = fileName.empty() || fileName.find('\0') != std::string::npos;
    const std::string path = ResolvePath(fileName);
    if (mode == fmCreate) {
        FHandle = badName ? -1 : OpenRegular(path, O_RDWR | O_CREAT | O_TRUNC);
        if (FHandle < 0)
            throw CreateError(fileName, badName ? ENOENT : errno);
        return;
    }
    int flags = O_RDONLY;
    switch (mode & 3) {
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: break;
    }
    FHandle = badName ? -1 : OpenRegular(path, flags);
    if (FHandle < 0) {
        const std::string reason = Reason(badName ? ENOENT : errno);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason, reason);
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        close(FHandle);
}

int32_t TFileStream::Read(void* buffer, int32_t count)
{
    errno = 0;
    const int32_t done = TransferAll(count, [&](size_t done, size_t left) {
        return read(FHandle, static_cast<char*>(buffer) + done, left);
    });
    if (done < count && errno != 0)
        FLastError = errno;
    return done;
}

int32_t TFileStream::ReadAt(int64_t offset, void* buffer, int32_t count) const
{
    return TransferAll(count, [&](size_t done, size_t left) {
        return pread(FHandle, static_cast<char*>(buffer) + done, left, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

void SetFileWriteFailure(int error)
{
    WriteFailure = error;
}

int32_t TFileStream::Write(const void* buffer, int32_t count)
{
    if (WriteFailure != 0 && count > 0) {
        FLastError = WriteFailure;
        return 0;
    }
    errno = 0;
    const int32_t done = TransferAll(count, [&](size_t done, size_t left) {
        return write(FHandle, static_cast<const char*>(buffer) + done, left);
    });
    // A write that takes nothing without an error has found no room.
    if (done < count)
        FLastError = errno != 0 ? errno : ENOSPC;
    return done;
}

int64_t TFileStream::Seek(int64_t offset, uint16_t origin)
{
    int whence = SEEK_SET;
    if (origin == soFromCurrent)
        whence = SEEK_CUR;
    else if (origin == soFromEnd)
        whence = SEEK_END;
    const off_t pos = lseek(FHandle, static_cast<off_t>(offset), whence);
    if (pos < 0)
        return lseek(FHandle, 0, SEEK_CUR);
    return static_cast<int64_t>(pos);
}

int64_t TFileStream::Size()
{
    struct stat st {};
    if (fstat(FHandle, &st) != 0)
        return TStream::Size();
    return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t newSize)
{
    if (newSize < 0 || ftruncate(FHandle, static_cast<off_t>(newSize)) != 0)
        throw EStreamError("Stream size cannot be changed");
    if (Position() > newSize)
        Seek(newSize, soFromBeginning);
}

// ---- TMemoryStream ----

int32_t TMemoryStream::Read(void* buffer, int32_t count)
{
    const int64_t size = Size();
    if (count <= 0 || FPosition >= size)
        return 0;
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, size - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    const int64_t end = FPosition + count;
    if (end > Size())
        SetSize(end);
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, uint16_t origin)
{
    int64_t base = 0;
    if (origin == soFromCurrent)
        base = FPosition;
    else if (origin == soFromEnd)
        base = Size();
    // Positions stay within 0 .. MaxMemorySize; a seek outside leaves the position alone.
    if (offset < -base || offset > MaxMemorySize - base)
        return FPosition;
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0 || newSize > MaxMemorySize)
        throw EOutOfMemory("Out of memory while expanding memory stream");
    try {
        FData.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EOutOfMemory("Out of memory while expanding memory stream");
    }
    if (FPosition > newSize)
        FPosition = newSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const int64_t count = stream.Size();
    SetSize(count);
    FPosition = 0;
    int64_t done = 0;
    while (done < count) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count - done, 1 << 30));
        stream.ReadBuffer(FData.data() + done, n);
        done += n;
    }
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream)
{
    int64_t done = 0;
    const int64_t count = Size();
    while (done < count) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count - done, 1 << 30));
        stream.WriteBuffer(FData.data() + done, n);
        done += n;
    }
}

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    WriteFileReplacing(fileName, [this](TStream& s) { SaveToStream(s); });
}

// ---- Safe replacement ----

std::string TStream::ReadToEnd()
{
    std::string text;
    char buffer[65536];
    for (;;) {
        const int32_t n = Read(buffer, sizeof buffer);
        if (n <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write)
{
    const std::string target = ResolvePath(fileName);
    if (target.empty() || target.back() == '/')
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + Reason(ENOENT));
    // The temporary file lies in the target's folder so that the rename stays on one
    // file system; its name is unique to this process and call.
    static unsigned counter = 0;
    const std::string temp = target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    try {
        {
            std::optional<TFileStream> out;
            try {
                out.emplace(temp, fmCreate);
            } catch (const EFCreateError& e) {
                // Named as the caller knows the file, not by the temporary name.
                throw EFCreateError("Cannot create file \"" + fileName + "\". " + e.Reason(), e.Reason());
            }
            try {
                write(*out);
            } catch (const EWriteError&) {
                if (out->LastError() != 0)
                    throw EFWriteError(fileName, Reason(out->LastError()));
                throw;
            }
            if (fsync(out->Handle()) != 0)
                throw EFWriteError(fileName, Reason(errno));
        }
        // Keep the permission bits of the file being replaced.
        struct stat st {};
        if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            chmod(temp.c_str(), st.st_mode & 07777);
        if (std::rename(temp.c_str(), target.c_str()) != 0)
            throw CreateError(fileName, errno);
    } catch (...) {
        unlink(temp.c_str());
        throw;
    }
}

std::string FailureReason(const std::exception& e)
{
    if (const auto* stream = dynamic_cast<const EStreamError*>(&e); stream && !stream->Reason().empty())
        return stream->Reason();
    return e.what();
}
