// One document for a CUPS queue: drawn into a PDF file of its own and handed
// to the print server only when it is complete, so an aborted document
// never reaches the queue, and the server's refusal is known and reported
// by the printer's name. The job carries the paper and orientation of its
// pages, the copies asked for, and the queue options chosen in the
// printer's page setup.
#pragma once

#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace quillet {

// The print engine property where Qt's CUPS dialogs keep the queue options
// they chose, as name, value, name, value... Qt does not publish the key.
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

class CupsJob {
 public:
  // A document laid out as `settings` (the queue's own printer object, which
  // holds its paper, orientation, resolution and options) is.
  CupsJob(QPrinter& settings, const std::string& queue);
  ~CupsJob();

  // What the document is painted on.
  QPrinter& Printer() { return *pdf_; }

  // Hands the finished document (its painter already ended) to the queue.
  // Raises EngineError naming the printer when the queue cannot take it now
  // or the server refuses it. Returns the server's job id.
  int Submit(const std::string& title, int copies);

 private:
  QPrinter& settings_;
  std::string queue_;
  QTemporaryDir dir_;
  std::unique_ptr<QPrinter> pdf_;
};

}  // namespace quillet
