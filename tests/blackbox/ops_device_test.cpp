// Device mode ("convertToClientMode") and console slots ("unsetDogInfo")
// through the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testroot.h"

using korvantest::TempRoot;

namespace {

using Row = std::vector<std::string>;

const char* kSlotColumns =
    "select setted,uid,nm,group2,pos1,pos2,depart,memo from dogInfo2 where id=";

Json::Value unsetSlot(const TempRoot& root, const Json::Value& id) {
  Json::Value request = korvantest::sessionRequest(root, "unsetDogInfo");
  request["dogInfoPara"]["id"] = id;
  return korvantest::ajax(root, request);
}

TEST(DogInfo, ClearingASlot) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1,uid='X9Z0000009',nm='web',group2='g',pos1='a',pos2='b',"
      "depart='ops',memo='m' where id in (5,6);");
  Json::Value reply = unsetSlot(root, "5");
  ASSERT_EQ(reply["ret"].asString(), "ok") << reply["retMsg"].asString();
  EXPECT_EQ(root.query(std::string(kSlotColumns) + "5;")[0],
            (Row{"0", "5", "5", " ", " ", " ", " ", " "}));
  Row untouched{"1", "X9Z0000009", "web", "g", "a", "b", "ops", "m"};
  EXPECT_EQ(root.query(std::string(kSlotColumns) + "6;")[0], untouched);

  // No such slot: nothing changes and nothing is reported.
  EXPECT_EQ(unsetSlot(root, 42)["ret"].asString(), "ok");
  // Anything but a number is refused before it reaches the statement.
  EXPECT_EQ(unsetSlot(root, "6 or 1=1")["ret"].asString(), "err");
  EXPECT_EQ(unsetSlot(root, "")["ret"].asString(), "err");
  EXPECT_EQ(root.query(std::string(kSlotColumns) + "6;")[0], untouched);
}

TEST(DeviceMode, ClientModeTakesEffectWithTheNextRequest) {
  TempRoot root;
  // firstLogin is reported only outside factory mode, which shows the mode
  // each request ran in.
  root.exec("update other2 set factoryMode=1; update secureConf set f_firstLogin=1;");
  Json::Value reply =
      korvantest::ajax(root, korvantest::sessionRequest(root, "convertToClientMode"));
  ASSERT_EQ(reply["ret"].asString(), "ok") << reply["retMsg"].asString();
  EXPECT_FALSE(reply.isMember("firstLogin"));
  EXPECT_EQ(root.scalar("select factoryMode from other2;"), "0");

  reply = korvantest::ajax(root, korvantest::sessionRequest(root, "convertToClientMode"));
  ASSERT_EQ(reply["ret"].asString(), "ok");
  EXPECT_TRUE(reply["firstLogin"].asBool());
  EXPECT_EQ(root.scalar("select factoryMode from other2;"), "0");
}

}  // namespace
