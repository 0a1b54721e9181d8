// Device mode ("convertToClientMode") and console slots ("unsetDogInfo").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testroot.h"

namespace korvantest {
namespace {

TEST(DogInfo, ClearingASlot) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1,uid='X9Z0000009',nm='web',group2='g',pos1='a',pos2='b',"
      "depart='ops',memo='m' where id in (5,6);");
  // Slot 5 is cleared; no slot 42 is no error; anything but a number is
  // refused before it reaches the statement.
  const std::pair<Json::Value, const char*> calls[] = {
      {"5", "ok"}, {42, "ok"}, {"6 or 1=1", "err"}, {"", "err"}};
  for (const auto& [id, ret] : calls) {
    Json::Value request = sessionRequest(root, "unsetDogInfo");
    request["dogInfoPara"]["id"] = id;
    EXPECT_EQ(ajax(root, request)["ret"], ret) << id;
  }
  EXPECT_EQ(root.query("select setted,uid,nm,group2,pos1,pos2,depart,memo from dogInfo2"
                       " where id in (5,6) order by id"),
            (std::vector<std::vector<std::string>>{
                {"0", "5", "5", " ", " ", " ", " ", " "},
                {"1", "X9Z0000009", "web", "g", "a", "b", "ops", "m"}}));
}

TEST(DeviceMode, ClientModeTakesEffectWithTheNextRequest) {
  TempRoot root;
  // firstLogin is reported only outside factory mode, which shows the mode
  // each request ran in.
  root.exec("update other2 set factoryMode=1; update secureConf set f_firstLogin=1;");
  for (bool second : {false, true}) {
    Json::Value reply = ajax(root, sessionRequest(root, "convertToClientMode"));
    EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
    EXPECT_EQ(reply.isMember("firstLogin"), second);
    EXPECT_EQ(root.scalar("select factoryMode from other2;"), "0");
  }
}

}  // namespace
}  // namespace korvantest
