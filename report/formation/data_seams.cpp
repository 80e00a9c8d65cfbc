#include "report/formation/data_seams.h"

namespace quillet {

DataFormationSeams& DataSeams() {
  static DataFormationSeams seams;
  return seams;
}

}  // namespace quillet
