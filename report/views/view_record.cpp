// The common view record of template streams and prepared pages.
#include <cmath>

#include "platform/field_writer.h"
#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/record_stream.h"
#include "report/views/view.h"

namespace quillet {
namespace {

// Whole widths up to 10 are stored as such, others in thousandths.
std::int32_t EncodeFrameWidth(float width) {
  if (width == std::floor(width) && width <= 10) return static_cast<std::int32_t>(width);
  return Round(double(width) * 1000);
}

float DecodeFrameWidth(std::int32_t stored) {
  const double thousandths = stored <= 10 ? double(stored) * 1000 : double(stored);
  return static_cast<float>(thousandths / 1000);
}

}  // namespace

int TfrView::TextCharset() const {
  return kDefaultCharset;
}

void TfrView::ReadRecord(RecordReader& s) {
  const int v = s.Version();
  bool named = false;
  if (v >= kNamedRecordsVersion || (v == kCountedTextsVersion && !PreparedMode)) {
    Name = ReadCountedString(s);
    named = true;
  }
  if (v >= kNamedRecordsVersion) {
    RecordVersion = s.ReadU8();
    RecordSubVersion = s.ReadU8();
  }
  Left = s.ReadI32();
  Top = s.ReadI32();
  Width = s.ReadI32();
  Height = s.ReadI32();
  Flags = s.ReadU16();
  FrameTyp = s.ReadU16();
  FrameWidth = DecodeFrameWidth(s.ReadI32());
  FrameColor = s.ReadU32();
  FrameStyle = s.ReadU16();
  FillColor = s.ReadU32();
  if (!PreparedMode) {
    DisplayFormat = s.ReadI32();
    FormatText = ReadCountedString(s);
  }
  Memo = ReadStringList(s);
  if (!PreparedMode && v >= kCountedTextsVersion) {
    ScriptLines = ReadStringList(s);
    Visible = s.ReadI16();
  }
  if (v >= kNamedRecordsVersion) {
    Restrictions = s.ReadU16();
    Tag = ReadCountedString(s);
    GapX = s.ReadI32();
    GapY = s.ReadI32();
  }
  if (RecordVersion > 1) BandAlign = s.ReadU8();
  if (!named) MakeUniqueName();
}

void TfrView::WriteRecord(RecordWriter& s) {
  // Gathered and written at once: a page holds thousands of these.
  FieldWriter w(s.Out());
  RecordVersion = 2;
  const int v = s.Version();
  if (v >= kNamedRecordsVersion || (v == kCountedTextsVersion && !PreparedMode))
    WriteCountedString(w, s, Name);
  if (v >= kNamedRecordsVersion) {
    w.U8(RecordVersion);
    w.U8(RecordSubVersion);
  }
  w.I32(Left);
  w.I32(Top);
  w.I32(Width);
  w.I32(Height);
  w.U16(Flags);
  w.U16(FrameTyp);
  w.I32(EncodeFrameWidth(FrameWidth));
  w.U32(FrameColor);
  w.U16(FrameStyle);
  w.U32(FillColor);
  if (!PreparedMode) {
    w.I32(DisplayFormat);
    WriteCountedString(w, s, FormatText);
    WriteStringList(w, s, Memo);
    if (v >= kCountedTextsVersion) {
      WriteStringList(w, s, ScriptLines);
      w.I16(Visible);
    }
  } else {
    WriteStringList(w, s, WorkText);
  }
  if (v >= kNamedRecordsVersion) {
    w.U16(Restrictions);
    WriteCountedString(w, s, Tag);
    w.I32(GapX);
    w.I32(GapY);
  }
  // The band alignment byte exists only where the record carries its version.
  if (v >= kNamedRecordsVersion && RecordVersion > 1) w.U8(BandAlign);
  w.Flush();
}

}  // namespace quillet
