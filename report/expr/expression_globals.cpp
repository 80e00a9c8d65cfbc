#include "report/expr/expression_globals.h"

namespace quillet {

ExpressionGlobals& Expressions() {
  static ExpressionGlobals globals;
  return globals;
}

}  // namespace quillet
