#include "platform/file_errors.h"

#include <exception>

#include "platform/errors.h"

namespace quillet {

std::string CannotOpenText(const std::string& path, const std::string& reason) {
  return "Cannot open '" + path + "': " + reason;
}

void RethrowNamingFile(const std::string& path) {
  try {
    throw;
  } catch (const FileOpenError&) {
    throw;
  } catch (const StreamReadError& e) {
    throw StreamReadError(CannotOpenText(path, e.what()));
  } catch (const ConversionError& e) {
    throw ConversionError(CannotOpenText(path, e.what()));
  } catch (const ClassNotFoundError& e) {
    throw ClassNotFoundError(CannotOpenText(path, e.what()));
  } catch (const RangeError& e) {
    throw RangeError(CannotOpenText(path, e.what()));
  } catch (const EngineError& e) {
    throw EngineError(CannotOpenText(path, e.what()));
  }
}

}  // namespace quillet
