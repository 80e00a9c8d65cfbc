// The engine globals from start to end: what exists when the host is asked
// for the dialog parent (made last) and when that window is freed (freed
// first), the objects refused outside a started engine, a report working
// again after a restart, and the function-library registry's 32 slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/errors.h"
#include "platform/headless_host.h"
#include "report/component/engine_library.h"
#include "report/expr/expression_globals.h"
#include "report/functions/function_library.h"
#include "report/functions/std_functions.h"
#include "report/script/report_interpretator.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

// Which engine objects can be reached at one moment.
struct Reachable {
  bool parser = false;
  bool interpreter = false;
  bool standardLibrary = false;
  bool constantsFilled = false;
  bool operator==(const Reachable&) const = default;
};

Reachable Look() {
  Reachable r;
  try {
    r.parser = &Expressions(Engine()).Parser != nullptr;
    r.constantsFilled =
        Expressions(Engine()).NamedConstants.GetValue("clRed") == Variant(0x0000FF) &&
        Expressions(Engine()).NamedConstants.GetValue("skStar") == Variant(9);
  } catch (const EngineError&) {
  }
  try {
    r.interpreter = &ReportInterpreter(Engine()) != nullptr;
  } catch (const EngineError&) {
  }
  const auto libraries = FunctionLibraries(Engine());
  r.standardLibrary = std::any_of(libraries.begin(), libraries.end(), [](const auto& l) {
    return l->ClassName() == TfrStdFunctionLibrary::kClassName;
  });
  return r;
}

class RecordingHost : public HeadlessHost {
 public:
  class Parent : public DialogParent {
   public:
    explicit Parent(RecordingHost& host) : host_(host) {}
    ~Parent() override {
      host_.atFree = Look();
      ++host_.freed;
    }

   private:
    RecordingHost& host_;
  };

  std::unique_ptr<DialogParent> CreateDialogParent(const std::string& name,
                                                   const Rect& bounds) override {
    names.push_back(name);
    lastBounds = bounds;
    atMake = Look();
    return std::make_unique<Parent>(*this);
  }

  std::vector<std::string> names;
  Rect lastBounds;
  Reachable atMake, atFree;
  int freed = 0;
};

class NamedLibrary : public TfrFunctionLibrary {
 public:
  explicit NamedLibrary(std::string name) : name_(std::move(name)) {}
  std::string ClassName() const override { return name_; }
  void RunFunction(int, const Variant&, const Variant&, const Variant&, Variant&) override {}

 private:
  std::string name_;
};

// Each test restarts the engine the test program started, and leaves it
// started again with the program's host.
class EngineGlobalsTest : public FormationTest {
 protected:
  void TearDown() override {
    StopEngineLibrary();
    Engine().SetHost(nullptr);
    StartEngineLibrary(Engine());
    FormationTest::TearDown();
  }
};

TEST_F(EngineGlobalsTest, DialogParentIsMadeLastAndFreedFirst) {
  RecordingHost host;
  StopEngineLibrary();
  EXPECT_EQ(Look(), Reachable{});
  EXPECT_THROW(Expressions(Engine()), EngineError);
  EXPECT_THROW(ReportInterpreter(Engine()), EngineError);

  Engine().SetHost(&host);
  StartEngineLibrary(Engine());
  StartEngineLibrary(Engine());  // once only
  ASSERT_EQ(host.names, (std::vector<std::string>{"DialogForm"}));
  EXPECT_EQ(host.lastBounds, (Rect{-100, -100, -90, -90}));
  EXPECT_EQ(host.atMake, (Reachable{true, true, true, true}));

  StopEngineLibrary();
  EXPECT_EQ(host.freed, 1);
  // The window went while everything else was still there.
  EXPECT_EQ(host.atFree, (Reachable{true, true, true, true}));
  EXPECT_EQ(Look(), Reachable{});
  StopEngineLibrary();  // nothing left to free
  EXPECT_EQ(host.freed, 1);
}

TEST_F(EngineGlobalsTest, ReportsWorkAgainAfterARestartWithFreshVariables) {
  {
    TfrReport report;
    PageBuilder b(report.Template);
    b.Memo("Text", 0, 0, 300, 20, {"[UPPERCASE('ab')] [clRed] [skStar]"});
    ASSERT_TRUE(report.Prepare());
    Expressions(Engine()).GlobalVariables.SetValue("Left", Variant(1));
  }
  StopEngineLibrary();
  StartEngineLibrary(Engine());
  EXPECT_EQ(Expressions(Engine()).GlobalVariables.Count(), 0);
  EXPECT_TRUE(Expressions(Engine()).GlobalVariables.Sorted());
  EXPECT_TRUE(Expressions(Engine()).NamedConstants.Sorted());
  TfrReport report;
  PageBuilder b(report.Template);
  b.Memo("Text", 0, 0, 300, 20, {"[UPPERCASE('ab')] [clRed] [skStar]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_EQ(PageObjects(report, 0).at(0).Text, (StringList{"AB 255 9"}));
}

TEST_F(EngineGlobalsTest, RegistryHoldsThirtyTwoLibrariesInOrder) {
  ASSERT_EQ(FunctionLibraries(Engine()).size(), 1u);  // the standard library
  for (int i = 1; i < 32; ++i)
    RegisterFunctionLibrary(Engine(), std::make_unique<NamedLibrary>("Lib" + std::to_string(i)));
  RegisterFunctionLibrary(Engine(), std::make_unique<NamedLibrary>("Lib5"));  // registered already
  ASSERT_EQ(FunctionLibraries(Engine()).size(), 32u);
  try {
    RegisterFunctionLibrary(Engine(), std::make_unique<NamedLibrary>("Lib32"));
    ADD_FAILURE() << "a 33rd library was taken";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("Lib32"), std::string::npos) << e.what();
  }

  UnregisterFunctionLibrary(Engine(), "Lib5");
  const auto libraries = FunctionLibraries(Engine());
  ASSERT_EQ(libraries.size(), 31u);
  EXPECT_EQ(libraries[4]->ClassName(), "Lib4");
  EXPECT_EQ(libraries[5]->ClassName(), "Lib6");
  EXPECT_EQ(libraries[30]->ClassName(), "Lib31");

  // The engine's end unregisters the standard library only.
  StopEngineLibrary();
  EXPECT_EQ(FunctionLibraries(Engine()).size(), 30u);
  EXPECT_EQ(FunctionLibraries(Engine())[0]->ClassName(), "Lib1");
  for (int i = 1; i < 32; ++i) UnregisterFunctionLibrary(Engine(), "Lib" + std::to_string(i));
  EXPECT_TRUE(FunctionLibraries(Engine()).empty());
}

}  // namespace
}  // namespace quillet::test
