// The one error type of both programs: an error number, the source chain and a description,
// as the automation runtime the programs were written for reports them.
#pragma once

#include <exception>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>

namespace vtl {

// The programs' own errors carry this number.
inline constexpr long kOwnError = 1;

// Runtime error numbers the programs rely on.
namespace err {
inline constexpr long InvalidCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long OutOfMemory = 7;
inline constexpr long SubscriptOutOfRange = 9;
inline constexpr long FileNotFound = 53;
inline constexpr long FileAlreadyOpen = 55;
inline constexpr long FileAlreadyExists = 58;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccess = 75;
inline constexpr long PathNotFound = 76;
inline constexpr long ObjectNotSet = 91;
inline constexpr long CannotCreateObject = 429;
inline constexpr long AutomationError = 440;
}  // namespace err

class Error : public std::exception {
public:
    Error(long number, std::string source, std::string description, int line = 0);

    long number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }
    // Line of the failing statement, 0 when not known.
    int line() const { return line_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    long number_;
    std::string source_;
    std::string description_;
    int line_;
};

// Raises an error with an empty source; the line of the raising statement is kept.
[[noreturn]] void raise(long number, std::string description,
                        std::source_location where = std::source_location::current());

// The error of a failed C library or file system call, with the runtime's number and text.
Error errnoError(int errnoValue, const std::string& path = {});

// Error 91 of a call through an object variable that holds no object.
Error objectNotSet();

// Any exception as an Error: an Error stays itself, others become runtime errors.
Error toError(const std::exception_ptr& e);

// The program's title ("Vistrel" or "Tarnwell"); a received source equal to it is not chained.
const std::string& programTitle();
void setProgramTitle(std::string title);

// True when a received source belongs into a chain: not blank and not the program's title.
bool chainsSource(std::string_view received);

// Source chain forms.
// Library procedures: name, ":" and the line when not 0, ": " and the received source.
std::string librarySource(std::string_view name, int line, std::string_view received);
// Methods of the programs: name, ":" and the received source.
std::string methodSource(std::string_view name, std::string_view received);

// The error passed on by a library procedure under its own name.
Error passOnLibrary(const Error& e, std::string_view name);
// The error passed on by a method under its own name.
Error passOnMethod(const Error& e, std::string_view name);
// The error passed on with the name alone as source and the received source moved in front of
// the description (process procedures).
Error passOnNamed(const Error& e, std::string_view name);

// Runs statements that each go on after a failure, keeping the first error pending.
class ResumeNext {
public:
    template <class F>
    void operator()(F&& statement) {
        try {
            statement();
        } catch (...) {
            if (!first_) first_ = toError(std::current_exception());
        }
    }
    bool failed() const { return first_.has_value(); }
    const std::optional<Error>& first() const { return first_; }
    void clear() { first_.reset(); }
    // Raises the pending error, if any.
    void raisePending() const {
        if (first_) throw *first_;
    }

private:
    std::optional<Error> first_;
};

}  // namespace vtl
