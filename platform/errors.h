// The engine's exception hierarchy. Messages are the texts the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace quillet {

class EngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that does not convert to a number.
class ConversionError : public EngineError {
 public:
  using EngineError::EngineError;
  static ConversionError InvalidInteger(const std::string& text) {
    return ConversionError("'" + text + "' is not a valid integer value");
  }
  static ConversionError InvalidFloat(const std::string& text) {
    return ConversionError("'" + text + "' is not a valid floating point value");
  }
};

// A class name that no registry knows.
class ClassNotFoundError : public EngineError {
 public:
  using EngineError::EngineError;
};

// A stream that ends early or holds bytes that cannot be what they claim.
class StreamReadError : public EngineError {
 public:
  StreamReadError() : EngineError("Stream read error") {}
  explicit StreamReadError(const std::string& what) : EngineError(what) {}
};

class StreamWriteError : public EngineError {
 public:
  StreamWriteError() : EngineError("Stream write error") {}
  explicit StreamWriteError(const std::string& what) : EngineError(what) {}
};

class FileOpenError : public EngineError {
 public:
  using EngineError::EngineError;
};

class ParserError : public EngineError {
 public:
  using EngineError::EngineError;
};

class RangeError : public EngineError {
 public:
  RangeError() : EngineError("Range check error") {}
  explicit RangeError(const std::string& what) : EngineError(what) {}
};

// An operation that a class does not provide.
class AbstractError : public EngineError {
 public:
  AbstractError() : EngineError("Abstract error") {}
};

}  // namespace quillet
