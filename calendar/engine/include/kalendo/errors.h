#pragma once

#include <stdexcept>
#include <string>

namespace kalendo {

// The run-time errors a member can end with. Each carries the classic error number that
// hosts of the control expect in an error result.
class EngineError : public std::runtime_error {
public:
    EngineError(int number, const std::string& message)
        : std::runtime_error(message)
        , m_number(number) {}
    int number() const noexcept { return m_number; }

private:
    int m_number;
};

// 5: a date outside what the date arithmetic can represent.
class InvalidCallError : public EngineError {
public:
    explicit InvalidCallError(const std::string& message)
        : EngineError(5, message) {}
};

// 6: a value that does not fit the 16-bit (or 32-bit) integer it must be held in.
class OverflowError : public EngineError {
public:
    explicit OverflowError(const std::string& message)
        : EngineError(6, message) {}
};

// 9: an index outside one of the engine tables.
class SubscriptError : public EngineError {
public:
    explicit SubscriptError(const std::string& message)
        : EngineError(9, message) {}
};

// 13: a text that is not a number or not a valid date.
class TypeMismatchError : public EngineError {
public:
    explicit TypeMismatchError(const std::string& message)
        : EngineError(13, message) {}
};

} // namespace kalendo
