// Serial console capture ("operaSerial") through the program. In the seed,
// console modules 3 and 4 are serial (type2 1), 1 is a USB module.
#include <gtest/gtest.h>

#include <string>

#include "testroot.h"

using korvantest::TempRoot;

namespace {

class Serial : public ::testing::Test {
 protected:
  // Modules 1, 3 and 4 in slots 1, 3 and 4, where both seeded users hold "3".
  Serial() {
    root_.exec(
        "update dogInfo2 set setted=1, uid='U1A0000001' where id=1;"
        "update dogInfo2 set setted=1, uid='S2B0000003' where id=3;"
        "update dogInfo2 set setted=1, uid='S2B0000004' where id=4;");
  }
  Json::Value opera(const std::string& userId, const Json::Value& dogId,
                    const std::string& action) {
    Json::Value request = korvantest::sessionRequest(root_, "operaSerial", userId);
    request["serialPara"]["dogID"] = dogId;
    request["serialPara"]["action"] = action;
    return korvantest::ajax(root_, request);
  }
  std::string holder(const std::string& dogId) {
    return root_.scalar("select serialUserID from dog2 where id=" + dogId + ";");
  }

  TempRoot root_;
};

TEST_F(Serial, CaptureOnceReleaseByAnyone) {
  Json::Value reply = opera("1", "3", "cap");
  ASSERT_EQ(reply["ret"].asString(), "ok") << reply["retMsg"].asString();
  EXPECT_EQ(holder("3"), "1");
  // Held modules cannot be captured, not even again by their holder.
  for (const char* user : {"1", "2"}) {
    reply = opera(user, "3", "cap");
    EXPECT_EQ(reply["ret"].asString(), "warning");
    EXPECT_EQ(reply["retMsg"].asString(), "this dog has been captured by others");
  }
  EXPECT_EQ(holder("3"), "1");
  EXPECT_EQ(opera("2", "3", "use")["ret"].asString(), "ok");
  EXPECT_EQ(holder("3"), "1");
  // Anyone releases, also a module that is already free.
  EXPECT_EQ(opera("2", 3, "uncap")["ret"].asString(), "ok");
  EXPECT_EQ(holder("3"), "-1");
  EXPECT_EQ(opera("2", "3", "uncap")["ret"].asString(), "ok");
  EXPECT_EQ(holder("3"), "-1");
  EXPECT_EQ(opera("2", "3", "cap")["ret"].asString(), "ok");
  EXPECT_EQ(holder("3"), "2");
  EXPECT_EQ(holder("4"), "-1");
}

TEST_F(Serial, OnlySerialModules) {
  root_.exec("update dog2 set serialUserID=-1;");
  for (const char* action : {"cap", "uncap", "use"}) {
    Json::Value reply = opera("1", "1", action);
    EXPECT_EQ(reply["ret"].asString(), "warning") << action;
    EXPECT_EQ(reply["retMsg"].asString(), "this dog is not serialDog");
    // A module that does not exist holds no slot and so grants no right.
    EXPECT_EQ(opera("1", "99", action)["retMsg"].asString(), "permission denied");
  }
  EXPECT_EQ(holder("1"), "-1");
}

TEST_F(Serial, ModuleIdMustBeANumber) {
  root_.exec("update dog2 set serialUserID=2 where id=4;");
  EXPECT_EQ(opera("1", "3 or 1=1", "uncap")["ret"].asString(), "err");
  EXPECT_EQ(opera("1", "", "cap")["ret"].asString(), "err");
  EXPECT_EQ(holder("4"), "2");
  EXPECT_EQ(holder("3"), "-1");
}

}  // namespace
