// The object-kind registry, the factory, names and band alignment.
#include "report/views/view_registry.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/base/engine_state.h"
#include "report/base/preparation_report.h"
#include "report/expr/brackets.h"
#include "report/views/shape_view.h"
#include "report/views/view_page.h"

namespace quillet {
namespace {

class PageOfViews : public ViewPage {
 public:
  std::vector<std::unique_ptr<TfrView>> views;
  std::size_t ObjectCount() const override { return views.size(); }
  TfrView* ObjectAt(std::size_t i) const override { return views[i].get(); }
  int LeftLimit() const override { return 20; }
  int RightLimit() const override { return 720; }
  EngineGlobals& Globals() const override { return Engine(); }
  TfrShapeView& Add(int left, int top, int width, std::uint8_t align) {
    auto v = std::make_unique<TfrShapeView>();
    v->SetGeometry(left, top, width, 10);
    v->BandAlign = align;
    views.push_back(std::move(v));
    return static_cast<TfrShapeView&>(*views.back());
  }
};

class NamedReport : public PreparationReport {
 public:
  PageOfViews* page = nullptr;
  TfrView* FindView(std::string_view name) const override {
    for (auto& v : page->views)
      if (v->Name == name) return v.get();
    return nullptr;
  }
  std::string EvaluateBracket(const std::string& e) override { return "<" + e + ">"; }
};

TEST(Registry, FactoryMakesRegisteredShapesWithRisingSerialNumbers) {
  auto a = CreateViewByKind(Engine(), gtAddIn, "TfrShapeView");
  auto b = CreateViewByKind(Engine(), gtAddIn, "TfrShapeView");
  ASSERT_TRUE(a && b);
  EXPECT_NE(dynamic_cast<TfrShapeView*>(a.get()), nullptr);
  EXPECT_EQ(a->ObjectType, gtAddIn);
  EXPECT_EQ(b->SerialNumber, a->SerialNumber + 1);
  EXPECT_EQ(CreateViewByKind(Engine(), 7, ""), nullptr);
}

TEST(Registry, UnknownClassNameIsCollectedAndRaised) {
  Prep().CalcErrorText = "TfrOther\r";
  Prep().CalcErrorFlag = false;
  try {
    CreateViewByKind(Engine(), gtAddIn, "TfrMissingView");
    FAIL();
  } catch (const ClassNotFoundError& e) {
    EXPECT_STREQ(e.what(), "TfrOther\rTfrMissingView\r");
  }
  EXPECT_TRUE(Prep().CalcErrorFlag);
  Prep().CalcErrorText.clear();
  Prep().CalcErrorFlag = false;
  EXPECT_THROW(CreateViewByKind(Engine(), gtAddIn, "tfrshapeview"), ClassNotFoundError)
      << "class names match exactly";
  Prep().CalcErrorText.clear();
  Prep().CalcErrorFlag = false;
}

TEST(Registry, HoldsThirtyTwoKindsAndRefusesTheNext) {
  const int before = Engine().ObjectKindCount;
  RegisterShapeKind(Engine());  // already there: nothing changes
  EXPECT_EQ(Engine().ObjectKindCount, before);
  auto make = [] { return std::unique_ptr<TfrView>(std::make_unique<TfrShapeView>()); };
  for (int i = before; i < EngineGlobals::kMaxObjectKinds; ++i)
    RegisterObjectKind(Engine(), "TfrFiller" + std::to_string(i), make, {}, "");
  EXPECT_EQ(Engine().ObjectKindCount, 32);
  try {
    RegisterObjectKind(Engine(), "TfrOneTooMany", make, {}, "");
    FAIL();
  } catch (const RangeError& e) {
    EXPECT_NE(std::string(e.what()).find("TfrOneTooMany"), std::string::npos);
  }
  Engine().ObjectKindCount = before;
}

TEST(Names, UniqueNameTakesTheSmallestFreeNumber) {
  PageOfViews page;
  page.Add(0, 0, 10, baNone).Name = "Shape1";
  page.Add(0, 0, 10, baNone).Name = "Shape3";
  NamedReport report;
  report.page = &page;
  Prep().ActiveReport = &report;
  TfrShapeView fresh;
  fresh.MakeUniqueName();
  EXPECT_EQ(fresh.Name, "Shape2");
  Prep().ActiveReport = nullptr;
}

TEST(BandAlignment, AlignsAgainstNeighboursAndLimits) {
  PageOfViews page;
  Prep().ActivePage = &page;
  Prep().ActiveBand = nullptr;
  Prep().RenderActive = true;
  TfrShapeView& left1 = page.Add(100, 50, 30, baLeft);
  TfrShapeView& left2 = page.Add(300, 50, 40, baLeft);
  TfrShapeView& right1 = page.Add(600, 50, 50, baRight);
  TfrShapeView& rest = page.Add(400, 50, 10, baRest);
  TfrShapeView& centre = page.Add(0, 90, 100, baCenter);
  TfrShapeView& wide = page.Add(5, 120, 10, baWidth);
  page.Add(5, 999, 10, baNone);

  left1.AttachCanvas(nullptr);
  EXPECT_EQ(left1.Left, 20) << "no baLeft neighbour: the left limit";
  left2.AttachCanvas(nullptr);
  EXPECT_EQ(left2.Left, 50) << "right edge of the baLeft neighbour";
  right1.AttachCanvas(nullptr);
  EXPECT_EQ(right1.Left, 670);
  rest.AttachCanvas(nullptr);
  EXPECT_EQ(rest.Left, 90);
  EXPECT_EQ(rest.Width, 670 - 90);
  centre.AttachCanvas(nullptr);
  EXPECT_EQ(centre.Left, 20 + (700 - 100) / 2);
  wide.AttachCanvas(nullptr);
  EXPECT_EQ(wide.Left, 20);
  EXPECT_EQ(wide.Width, 699);
  EXPECT_EQ(Prep().ActiveView, &wide);
  Prep().ActivePage = nullptr;
}

TEST(Brackets, FindsOuterBracketsIgnoringQuotedOnes) {
  BracketMatch m = FindBracket("x [a ']' b] y", 2);
  EXPECT_TRUE(m.found);
  EXPECT_EQ(m.inner, "a ']' b");
  EXPECT_EQ(m.end, 10u);
  EXPECT_FALSE(FindBracket("abc", 1).found);
  EXPECT_EQ(FindBracket("[a[1]]", 0).inner, "a[1]");
  BracketMatch open = FindBracket("[abc", 0);
  EXPECT_TRUE(open.found);
  EXPECT_EQ(open.inner, "ab") << "an unclosed bracket drops the last character";
}

TEST(Brackets, ExpandsEveryBracketOnceWithoutRescanning) {
  auto eval = [](const std::string& e) { return e == "loop" ? std::string("[loop]") : "#" + e; };
  EXPECT_EQ(ExpandBrackets("a[x]b[y]c", eval), "a#xb#yc");
  EXPECT_EQ(ExpandBrackets("[loop] end", eval), "[loop] end");
  EXPECT_EQ(ExpandBrackets("no brackets", eval), "no brackets");
  EXPECT_EQ(ExpandBrackets("", eval), "");
}

}  // namespace
}  // namespace quillet
