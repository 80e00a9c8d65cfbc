// Helpers of the template stream tests: a fixture with a recording host,
// small templates of shapes, and byte builders for hand-made streams.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine_host.h"
#include "platform/headless_host.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/template/report_template.h"
#include "report/views/shape_view.h"
#include "tests/report/base/record_support.h"
#include "tests/support.h"

namespace quillet::test {

using Bytes = std::vector<std::uint8_t>;

class TemplateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Engine().SetHost(&host);
    Prep().CalcErrorFlag = false;
    Prep().CalcErrorText.clear();
  }
  void TearDown() override {
    Engine().SetHost(nullptr);
    Prep().CalcErrorFlag = false;
    Prep().CalcErrorText.clear();
    Prep().RenderActive = true;
  }

  static Bytes Save(TfrTemplate& t) {
    MemoryStream s;
    t.SaveTemplate(s);
    return s.Bytes();
  }
  // Loads `bytes`; returns how many bytes were left unread.
  static std::uint64_t Load(TfrTemplate& t, const Bytes& bytes) {
    MemoryStream s(bytes);
    t.LoadTemplate(s);
    return s.Remaining();
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : host.messages) out.push_back(m.text);
    return out;
  }

  HeadlessHost host;
};

inline std::unique_ptr<TfrShapeView> MakeShape(const std::string& name, int left, int top,
                                               std::uint8_t kind = skEllipse) {
  auto v = std::make_unique<TfrShapeView>();
  v->ObjectType = gtAddIn;
  v->Name = name;
  v->SetGeometry(left, top, 100, 100);
  v->ShapeKind = kind;
  v->Tag = "0;0;0;0;0;0";
  return v;
}

// A template of one page holding `shapes` shapes named Shape1, Shape2...
inline void FillWithShapes(TfrTemplate& t, int shapes, int pages = 1) {
  t.ClearTemplate();
  t.PrinterName = "HP DeskJet 720C";
  for (int p = 0; p < pages; ++p) {
    TfrPage& page = t.AddPage();
    for (int i = 1; i <= shapes; ++i)
      page.AddObject(MakeShape("Shape" + std::to_string(p * shapes + i), 10 * i, 20 * i));
  }
}

// Keeps `bytes` in the test output as a seed for the template fuzzer
// (fuzz/corpus/load_template holds a copy).
inline void WriteSeed(const std::string& name, const Bytes& bytes) {
  FileStream out(OutputPath("load_template_seed_" + name), FileStream::Mode::Create);
  out.Write(bytes.data(), bytes.size());
  out.Close();
}

// Takes the registered object kinds away for its lifetime.
class WithoutRegisteredKinds {
 public:
  WithoutRegisteredKinds() : kinds_(Engine().ObjectKinds), count_(Engine().ObjectKindCount) {
    Engine().ObjectKindCount = 0;
  }
  ~WithoutRegisteredKinds() {
    Engine().ObjectKinds = kinds_;
    Engine().ObjectKindCount = count_;
  }

 private:
  decltype(EngineGlobals::ObjectKinds) kinds_;
  int count_;
};

// Little-endian byte builder for hand-made streams.
struct ByteWriter {
  Bytes b;
  ByteWriter& u8(std::uint8_t v) {
    b.push_back(v);
    return *this;
  }
  ByteWriter& i16(std::int16_t v) {
    u8(std::uint8_t(v & 0xFF));
    return u8(std::uint8_t((std::uint16_t(v) >> 8) & 0xFF));
  }
  ByteWriter& i32(std::int32_t v) {
    for (int i = 0; i < 4; ++i) u8(std::uint8_t((std::uint32_t(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  // A counted string (version 23 and later).
  ByteWriter& str(const std::string& s) {
    i16(std::int16_t(s.size()));
    for (char c : s) u8(std::uint8_t(c));
    return u8(0);
  }
  // The characters alone.
  ByteWriter& chars(const std::string& s) {
    for (char c : s) u8(std::uint8_t(c));
    return *this;
  }
  // One line of a counted string list: length, characters, separator.
  ByteWriter& line(const std::string& s, std::uint8_t separator) {
    i16(std::int16_t(s.size()));
    return chars(s).u8(separator);
  }
  // A zero-ended string (versions 21 and 22).
  ByteWriter& zstr(const std::string& s) {
    for (char c : s) u8(std::uint8_t(c));
    return u8(0);
  }
  ByteWriter& bytes(const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
  std::size_t size() const { return b.size(); }
};

}  // namespace quillet::test
