// The run-time error model: every failure the program reports carries an error
// number (the numbering the messages and handlers rely on) and a description.
#pragma once

#include <QString>
#include <exception>
#include <utility>

namespace platform {

namespace err {
inline constexpr int Overflow = 6;
inline constexpr int DivisionByZero = 11;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIoError = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int BadRecordNumber = 63;
inline constexpr int InputPastEnd = 62;
inline constexpr int TooManyFiles = 67;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int RenameAcrossDisks = 74;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
}  // namespace err

// The error a property raises for a value it cannot take (a list index the list
// does not hold).
inline constexpr int kInvalidPropertyValue = 380;

class RuntimeError : public std::exception {
  public:
    RuntimeError(int number, QString description);
    // An error with the program's own description of the number.
    explicit RuntimeError(int number);

    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const char* what() const noexcept override;

  private:
    int number_;
    QString description_;
    QByteArray what_;
};

// The error number for a POSIX errno value.
int ErrorNumberForErrno(int errnoValue);
// The number's standard description, for errors that do not come from the system.
QString DescriptionForNumber(int number);
// A RuntimeError for an errno value: its number mapped, the system's message as description.
RuntimeError ErrorFromErrno(int errnoValue);
[[noreturn]] void RaiseErrno(int errnoValue);
[[noreturn]] void Raise(int number);

// The prompt of the program's error boxes: "description (number)".
QString DescribeWithNumber(const RuntimeError& error);

// What a skipped step may fail with: the program's own run-time errors (every
// failure it reports), or anything at all, for the steps that must give way to
// the next whatever went wrong (a cleanup that has to go on, a progress line).
enum class Skip { RuntimeErrors, Anything };

// Runs one step; a step that fails as the policy allows is skipped and the next
// one runs (any other failure goes on up). True when the step did not fail.
template <Skip policy = Skip::RuntimeErrors, typename Step>
bool Try(Step&& step) {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (...) {
        if constexpr (policy == Skip::Anything)
            return false;
        else
            throw;
    }
}

}  // namespace platform
