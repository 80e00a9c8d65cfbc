// The engine-wide objects of expressions and scripts, started once and in
// this order: the standard function library is registered, the engine
// parser and the report interpreter exist, GlobalVariables and
// NamedConstants are sorted lists and the constants are filled. Stopping
// unregisters the library and empties both lists. Starting again does
// nothing until the engine was stopped.
#pragma once

namespace quillet {

void StartEngineLibrary();
void StopEngineLibrary();

}  // namespace quillet
