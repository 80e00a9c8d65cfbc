// TfrSubReportView: stands for another template page printed inside the
// band that holds this view (formation forms that page in place).
#pragma once

#include <cstdint>

#include "report/views/view.h"

namespace quillet {

class TfrSubReportView : public TfrView {
 public:
  TfrSubReportView();

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrSubReportView"; }

  // The editor's picture of the view: a white box with a black outline and
  // the view's name in Arial 8 pt, clipped to the box. Sets FrameWidth 1.
  void Draw(Canvas& canvas) override;
  // The tail after the common record: SubPageIndex as int32. The index is
  // kept as read; whoever forms the sub-report checks it against the pages.
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;

  std::int32_t SubPageIndex = 0;  // template page holding the sub-report
};

}  // namespace quillet
