// The program's exception classes: every failure it reports carries a UTF-16 message.
#pragma once

#include <exception>
#include <string>

// The standard exception of the program. The message loop catches this class (and its
// descendants) and reports Message(); what() gives the same text in UTF-8 for diagnostics.
class Exception : public std::exception {
public:
    explicit Exception(std::u16string message);

    const std::u16string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    std::u16string FMessage;
    std::string FWhat;
};

// A failed operating-system call; ErrorCode is the system's error number (0 when unknown).
class EOSError : public Exception {
public:
    EOSError(std::u16string message, int errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}

    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};
