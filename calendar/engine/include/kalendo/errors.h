// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalendo {

// Every error a member of the engine or of the control ends with, by the classic number
// that hosts of the control expect in an error result.
enum class Error : int {
    InvalidCall = 5, // a date outside what the date arithmetic can represent
    Overflow = 6,    // a value that does not fit its 16-bit (or 32-bit) integer
    OutOfMemory = 7,
    Subscript = 9,              // an index outside one of the engine tables
    TypeMismatch = 13,          // a text that is not a number or not a valid date
    Internal = 51,              // anything else that went wrong inside
    NoSuchElement = 340,        // a control array index outside the array
    InvalidPropertyValue = 380, // a value a property does not take
    NoSuchMember = 438,         // a member or property name the interface does not have
    WrongArgumentCount = 450,
    InvalidPicture = 481, // picture data that is no image
};

// The one list of errors with their default messages.
struct ErrorInfo {
    Error error;
    std::string_view message;
};
inline constexpr ErrorInfo kErrors[] = {
    {Error::InvalidCall, "Invalid procedure call or argument"},
    {Error::Overflow, "Overflow"},
    {Error::OutOfMemory, "Out of memory"},
    {Error::Subscript, "Subscript out of range"},
    {Error::TypeMismatch, "Type mismatch"},
    {Error::Internal, "Internal error"},
    {Error::NoSuchElement, "Control array element doesn't exist"},
    {Error::InvalidPropertyValue, "Invalid property value"},
    {Error::NoSuchMember, "Object doesn't support this property or method"},
    {Error::WrongArgumentCount, "Wrong number of arguments or invalid property assignment"},
    {Error::InvalidPicture, "Invalid picture"},
};

constexpr std::string_view defaultMessage(Error error) noexcept {
    for (const ErrorInfo& info : kErrors)
        if (info.error == error)
            return info.message;
    return {};
}

// The exception a failing member throws; the dispatch boundaries turn it into an error
// result. The message is the default one, with an optional detail after a colon.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(Error error)
        : std::runtime_error(std::string(defaultMessage(error)))
        , m_error(error) {}
    EngineError(Error error, std::string_view detail)
        : std::runtime_error(std::string(defaultMessage(error)).append(": ").append(detail))
        , m_error(error) {}
    Error error() const noexcept { return m_error; }
    int number() const noexcept { return static_cast<int>(m_error); }

private:
    Error m_error;
};

// One exception type per error, for code that catches or tests for one kind.
template <Error E> class ErrorOf : public EngineError {
public:
    ErrorOf()
        : EngineError(E) {}
    explicit ErrorOf(std::string_view detail)
        : EngineError(E, detail) {}
};

using InvalidCallError = ErrorOf<Error::InvalidCall>;
using OverflowError = ErrorOf<Error::Overflow>;
using SubscriptError = ErrorOf<Error::Subscript>;
using TypeMismatchError = ErrorOf<Error::TypeMismatch>;

} // namespace kalendo
