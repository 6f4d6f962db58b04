#pragma once
// The base exception of both programs: every failure the games raise carries the
// text the user is shown.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    Exception() = default;
    explicit Exception(std::string message) : FMessage(std::move(message)) {}

    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Raised by conversions of text to numbers that are not numbers.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A value outside the range allowed for it.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// The silent exception: it unwinds like any other, and the application's handler
// shows nothing for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};

// Raises EAbort.
[[noreturn]] inline void Abort() { throw EAbort(); }

// An operation that is not allowed in the object's present state (for example making
// a visible window modal).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A list index outside the list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Raised when the system cannot give a resource the program asked for (a timer...).
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// An embedded resource the program asked for by name is not there.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
