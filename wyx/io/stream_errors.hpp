// The stream exception family. Each member has one fixed message and a
// routine that throws it.
#pragma once

#include <stdexcept>
#include <string>

namespace wyx::io {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EStreamOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EStreamSetPosError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EStreamReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EStreamWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

inline constexpr const char kStreamOpenErrorMessage[] = "Opening stream failed";
inline constexpr const char kStreamSetPosErrorMessage[] = "Stream set to invalid position";
inline constexpr const char kStreamReadErrorMessage[] = "Too few bytes read from stream";
inline constexpr const char kStreamWriteErrorMessage[] = "Too few bytes written to stream";

[[noreturn]] void raiseStreamOpenError();
[[noreturn]] void raiseStreamSetPosError();
[[noreturn]] void raiseStreamReadError();
[[noreturn]] void raiseStreamWriteError();

}  // namespace wyx::io
