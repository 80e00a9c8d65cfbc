// TfrGlobals: the engine-wide objects of expressions and scripts, which
// live from engine start to engine end in the engine globals. Making them
// registers the standard function library, then makes the parser, the
// report interpreter, GlobalVariables and NamedConstants (both sorted, the
// constants filled), the compressor, and asks the host for the hidden
// dialog parent "DialogForm". Freeing them closes the dialog parent first,
// unregisters the standard library, then frees the parser, the
// interpreter, GlobalVariables, NamedConstants and the compressor.
#pragma once

namespace quillet {

struct EngineGlobals;

class TfrGlobals {
 public:
  // They live in `engine`.
  explicit TfrGlobals(EngineGlobals& engine);
  ~TfrGlobals();
  TfrGlobals(const TfrGlobals&) = delete;
  TfrGlobals& operator=(const TfrGlobals&) = delete;

 private:
  void Make();
  void Free();
  EngineGlobals& engine_;
};

// Engine start: makes the one TfrGlobals (nothing when it exists) and
// installs data-driven formation. Engine end: frees it.
void StartEngineLibrary(EngineGlobals& engine);
void StopEngineLibrary();

}  // namespace quillet
