// The engine's numbered texts (53000 .. 55439): captions, progress lines,
// error texts and the names of band kinds, read by number.
#pragma once

#include <string>

namespace quillet {

// Numbers the engine itself quotes.
enum EngineTextNumber : int {
  txPrintFormFirst = 53040,  // the print dialog's texts, 53040 .. 53055
  txOk = 55000,
  txCancel = 55001,
  txVirtualPrinter = 55007,
  txFirstBandName = 55077,  // + band kind 0 .. 22
  txFrom = 55199,
  txCalcError = 55200,
  txReport = 55201,
  txObject = 55202,
  txPreparingReport = 55203,
  txFirstPass = 55204,
  txProcessingPage = 55205,
  txError = 55206,
  txPrintingPage = 55208,
  txUntitled = 55209,
  txPrinterNotValid = 55210,
  txDefaultCharset = 55337,
  txUndefinedSymbol = 55439,
};

// The text of that number; a number without a text reads as the empty
// text. At most 1023 characters are returned.
std::string EngineText(int number);

}  // namespace quillet
