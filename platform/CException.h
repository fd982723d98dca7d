#pragma once
// The exception base: what command handlers catch by reference.
#include <exception>

class CException : public std::exception
{
public:
    ~CException() override = default;
    // Copies the message into buffer (size in characters, terminator included).
    // Returns false and writes nothing when there is no room at all.
    virtual bool GetErrorMessage(char16_t* buffer, unsigned bufferSize, unsigned* helpContext = nullptr) const = 0;
    const char* what() const noexcept override { return "CException"; }
};
