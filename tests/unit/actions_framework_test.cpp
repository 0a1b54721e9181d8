// The change-action framework: the step order of do2, how a failing step ends
// it, and the default "nothing changed" comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/action.h"
#include "store/myerr.h"

namespace {

// Records the steps in the order do2 runs them; `throwAt` names a step that
// throws instead.
class Recorder : public CAction {
 public:
  Recorder(Json::Value& in, Json::Value& out, std::string throwAt)
      : CAction(Caller(), in, out), throwAt_(std::move(throwAt)) {}
  std::vector<std::string> steps;

 protected:
  void step(const std::string& name) {
    steps.push_back(name);
    if (name == throwAt_) throw CMyErr(CMyErr::armErr, "fail at " + name);
  }
  void initDaDb() override {
    step("initDaDb");
    da["nm"] = "old";
    db["nm"] = "new";
  }
  void checkChange() override {
    step("checkChange");
    CAction::checkChange();
  }
  void tellArm() override { step("tellArm"); }
  void modify() override { step("modify"); }
  void log() override { step("log"); }

 private:
  std::string throwAt_;
};

TEST(ActionFramework, RunsStepsInOrderAndStopsAtTheFirstFailure) {
  Json::Value in, out;
  Recorder all(in, out, "");
  all.do2();
  EXPECT_EQ(all.steps,
            (std::vector<std::string>{"initDaDb", "checkChange", "tellArm", "modify", "log"}));

  // A daemon failure: nothing is written and nothing logged.
  Recorder arm(in, out, "tellArm");
  try {
    arm.do2();
    FAIL() << "the failure did not pass through do2";
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::armErr);
    EXPECT_STREQ(e.what(), "fail at tellArm");
  }
  EXPECT_EQ(arm.steps, (std::vector<std::string>{"initDaDb", "checkChange", "tellArm"}));

  Recorder mod(in, out, "modify");
  EXPECT_THROW(mod.do2(), CMyErr);
  EXPECT_EQ(mod.steps.back(), "modify");
  EXPECT_EQ(mod.steps.size(), 4u);
}

// Only the comparison of the base class: the sides are set by the test.
class Compare : public CAction {
 public:
  Compare(Json::Value& in, Json::Value& out) : CAction(Caller(), in, out) {}
  bool changed() {
    try {
      checkChange();
      return true;
    } catch (const CMyErr& e) {
      EXPECT_EQ(e.type, CMyErr::warning);
      EXPECT_STREQ(e.what(), "Nothing modified");
      return false;
    }
  }

 protected:
  void modify() override {}
  void log() override {}
};

TEST(ActionFramework, DefaultCheckComparesTextFormsOfSideA) {
  Json::Value in, out;
  Compare c(in, out);
  EXPECT_FALSE(c.changed()) << "nothing loaded counts as nothing to change";

  c.da["id"] = "5";
  c.da["nm"] = "web";
  c.da["on"] = "true";
  c.db["id"] = 5;  // a number against its stored text is unchanged
  c.db["nm"] = "web";
  c.db["on"] = true;
  c.db["extra"] = "only in the request";  // members only in db are not compared
  EXPECT_FALSE(c.changed());

  c.db["nm"] = "web2";
  EXPECT_TRUE(c.changed());
  c.db["nm"] = "web";

  // An omitted member reads as the empty text: changed against a stored
  // value, unchanged against a stored empty text.
  c.db.removeMember("id");
  EXPECT_TRUE(c.changed());
  c.da["id"] = "";
  EXPECT_FALSE(c.changed());
  c.db["id"] = Json::Value();  // null is the empty text too
  EXPECT_FALSE(c.changed());

  // Side B a JSON null as a whole: every stored non-empty value has changed.
  Compare d(in, out);
  d.da["nm"] = "x";
  EXPECT_TRUE(d.changed());
}

TEST(ActionFramework, TextForms) {
  EXPECT_EQ(CAction::textOf(Json::Value()), "");
  EXPECT_EQ(CAction::textOf(Json::Value("a'b")), "a'b");
  EXPECT_EQ(CAction::textOf(Json::Value(-12)), "-12");
  EXPECT_EQ(CAction::textOf(Json::Value(4000000000u)), "4000000000");
  EXPECT_EQ(CAction::textOf(Json::Value(false)), "false");
  // A list or object where a value belongs is an orderly refusal, not a
  // library exception that would escape the dispatcher.
  try {
    CAction::textOf(Json::Value(Json::arrayValue));
    FAIL();
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::err);
  }
  EXPECT_THROW(CAction::textOf(Json::Value(Json::objectValue)), CMyErr);
}

}  // namespace
