// The preview window's Print button: the print dialog, then the job, with
// the pages handed back to the report while it prints.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QString;

namespace quillet {

class QtEngineHost;
class TfrPreviewForm;

// Told the files a print job from a preview wrote ("Print to PDF").
using PrintedFilesHook = std::function<void(const std::vector<std::string>&)>;

// Runs the print dialog and the job for the pages shown in `form`. When the
// job wrote files, the preview shows where (PreviewNotice) and `printed`
// (when set) is told.
void PrintFromPreview(TfrPreviewForm& form, const PrintedFilesHook& printed = {});
// Makes every preview the host opens print through PrintFromPreview.
void InstallPreviewPrinting(QtEngineHost& host, PrintedFilesHook printed = {});

// Asks where "Print to PDF" writes a job from a preview window: the save
// dialog over `form`, starting at `suggested` (the PDF folder and the
// report's name without its extension). Returns the chosen path, or an
// empty text for Cancel. Tests replace it.
using PdfFileQuestion = std::function<QString(TfrPreviewForm& form, const QString& suggested)>;
PdfFileQuestion& AskPdfFileName();

// The notice line right of the preview's toolbar buttons; nullptr until a
// job from this preview wrote a file.
QLabel* PreviewNotice(const TfrPreviewForm& form);

}  // namespace quillet
