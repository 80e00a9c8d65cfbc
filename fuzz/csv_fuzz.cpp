// CSV files read as a data set: any bytes either read as rows or fail with
// EngineError; nothing else escapes and no sanitizer complains. The first
// byte picks the delimiter.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "datasources/csv_source.h"
#include "datasources/source_dataset.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string path = "/tmp/quillet_csv_fuzz_" + std::to_string(getpid()) + ".csv";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);
  const char delimiters[] = {',', ';', '\t', '|'};
  try {
    quillet::SourceDataset set("Fuzz",
                               std::make_unique<quillet::CsvSource>(path, delimiters[data[0] % 4]));
    quillet::TfrDataset& d = set.Dataset();
    int steps = 0;
    for (d.First(); !d.Eof() && steps < 10000; d.Next(), ++steps) {
      (void)set.FieldValue("a");
      if (steps % 3 == 1) {
        d.Prior();
        d.Next();
      }
    }
  } catch (const quillet::EngineError&) {
  }
  return 0;
}
