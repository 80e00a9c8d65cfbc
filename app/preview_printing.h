// The preview window's Print button: the print dialog, then the job, with
// the pages handed back to the report while it prints.
#pragma once

namespace quillet {

class QtEngineHost;
class TfrPreviewForm;

// Runs the print dialog and the job for the pages shown in `form`.
void PrintFromPreview(TfrPreviewForm& form);
// Makes every preview the host opens print through PrintFromPreview.
void InstallPreviewPrinting(QtEngineHost& host);

}  // namespace quillet
