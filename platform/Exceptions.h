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
