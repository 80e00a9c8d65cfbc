// The expression parser on hostile text: conversion to postfix, evaluation
// of the conversion, and evaluation of the raw bytes as if they were a
// stored postfix text. Hooks answer every name and every function (the
// function hook evaluates its first argument, as library functions do).
// Errors may be ParserError or ConversionError only; nothing may crash or
// read outside the evaluation stack.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/errors.h"
#include "report/expr/parser.h"

namespace {

using namespace quillet;

TfrParser& Parser() {
  static TfrParser parser = [] {
    TfrParser p;
    p.ValueHook = [](const std::string& name, Variant& v) {
      v = name.size() % 3 == 0 ? Variant(static_cast<std::int64_t>(name.size()))
                               : (name.size() % 3 == 1 ? Variant(name) : Variant(0.5));
    };
    return p;
  }();
  static bool hooked = [] {
    parser.FunctionHook = [](const std::string&, const Variant& p1, const Variant&, const Variant&,
                             Variant& v) { v = parser.Calc(p1.AsText()); };
    return true;
  }();
  (void)hooked;
  return parser;
}

template <typename F>
void Guarded(F f) {
  try {
    f();
  } catch (const ParserError&) {
  } catch (const ConversionError&) {
  } catch (const RangeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TfrParser& parser = Parser();
  Guarded([&] {
    const std::string postfix = parser.ToPostfix(text);
    Guarded([&] { parser.CalcPostfix(postfix); });
  });
  Guarded([&] { parser.CalcPostfix(text); });
  return 0;
}
