// The text form of a template: one JSON document that holds everything the
// template stream holds (header, pages, every object with its own fields,
// data dictionary), with readable names for enumerations, bit sets and
// colours and with default values left out. docs/template-format.md
// describes it member by member.
//
// Writing a template as JSON and reading the JSON back gives a template
// that saves to the same template stream, byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace quillet {

class TfrTemplate;

// A JSON text that is not a template. Line and column (both from 1) point
// at the offending text; Path is the JSON pointer of the offending member
// ("/pages/0/objects/2/kind"), empty for a syntax error.
class TemplateJsonError : public EngineError {
 public:
  TemplateJsonError(int line, int column, std::string path, std::string message);
  int Line() const { return line_; }
  int Column() const { return column_; }
  const std::string& Path() const { return path_; }
  // The message without the position ("unknown band kind \"foo\"").
  const std::string& Message() const { return message_; }

 private:
  int line_;
  int column_;
  std::string path_;
  std::string message_;
};

// The template as an indented JSON document (UTF-8, ending with a newline).
std::string WriteTemplateJson(const TfrTemplate& source);

// Replaces `target`'s pages, dictionary and header by the JSON document's.
// Object kinds come from the engine's registry (RegisterEngineKinds), and
// every object receives AfterReportLoaded as after loading a stream.
// `directory` becomes the template's Directory: the folder of the JSON
// file, from which relative picture paths are read (empty: the working
// directory). Raises TemplateJsonError and then leaves `target` unchanged.
void ReadTemplateJson(std::string_view text, TfrTemplate& target, std::string directory = {});

// Whether bytes are a JSON template rather than a template stream: the
// first byte that is not white space is '{' (a template stream starts with
// its version byte, at most 24).
bool LooksLikeTemplateJson(std::string_view bytes);

}  // namespace quillet
