#pragma once

// Windows system error codes (the values of winerror.h) that the platform layer
// reports. Every system reports these, so that the error log and the message boxes
// read the same wherever the program runs.
namespace platform::WinError {
inline constexpr unsigned NoError = 0;
inline constexpr unsigned FileNotFound = 2;
inline constexpr unsigned PathNotFound = 3;
inline constexpr unsigned TooManyOpenFiles = 4;
inline constexpr unsigned AccessDenied = 5;
inline constexpr unsigned InvalidHandle = 6;
inline constexpr unsigned NotEnoughMemory = 8;
inline constexpr unsigned NotSameDevice = 17;
inline constexpr unsigned DataError = 23; // "data error (cyclic redundancy check)"
inline constexpr unsigned GeneralFailure = 31;
inline constexpr unsigned SharingViolation = 32;
inline constexpr unsigned FileExists = 80;
inline constexpr unsigned InvalidParameter = 87;
inline constexpr unsigned DiskFull = 112;
inline constexpr unsigned InvalidName = 123;
inline constexpr unsigned DirectoryNotEmpty = 145;
inline constexpr unsigned AlreadyExists = 183;
inline constexpr unsigned FileNameTooLong = 206;
inline constexpr unsigned FileTooLarge = 223;
} // namespace platform::WinError
