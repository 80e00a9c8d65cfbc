// Where "Print to PDF" put its output, for the windows to tell the user.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace quillet {

struct EngineGlobals;

// The files the engine printer's documents went to since the last call, in
// order (empty when it prints on paper or is not started). Call it once
// before a print job to forget older files.
std::vector<std::string> TakePrintedFiles(EngineGlobals& engine);

// The one-line notice for them: empty for none, "PDF written to PATH" for
// one, "N PDF files written, the last to PATH" for more.
QString PrintedFilesNotice(const std::vector<std::string>& files);

}  // namespace quillet
