// Serial console capture ("operaSerial"). In the seed, console modules 3 and 4
// are serial, 1 is a USB module; both seeded users hold right 3 on slots 1-4.
#include <gtest/gtest.h>

#include <string>

#include "testroot.h"

namespace korvantest {
namespace {

TEST(Serial, CaptureUseAndRelease) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1, uid='U1A0000001' where id=1;"
      "update dogInfo2 set setted=1, uid='S2B0000003' where id=3;"
      "update dogInfo2 set setted=1, uid='S2B0000004' where id=4;"
      "update dog2 set serialUserID=-1 where id<>4; update dog2 set serialUserID=2 where id=4;");
  const char* const kTaken = "this dog has been captured by others";
  const char* const kNotSerial = "this dog is not serialDog";
  struct Step {
    const char *user, *dog, *action, *ret, *retMsg, *holders;  // holders of modules 1, 3, 4
  } steps[] = {
      {"1", "3", "cap", "ok", "", "-1,1,2"},
      {"1", "3", "cap", "warning", kTaken, "-1,1,2"},  // not even again by the holder
      {"2", "3", "cap", "warning", kTaken, "-1,1,2"},
      {"2", "3", "use", "ok", "", "-1,1,2"},
      {"2", "3", "uncap", "ok", "", "-1,-1,2"},  // anyone releases
      {"2", "3", "uncap", "ok", "", "-1,-1,2"},  // also a free module
      {"2", "3", "cap", "ok", "", "-1,2,2"},
      {"1", "1", "cap", "warning", kNotSerial, "-1,2,2"},
      {"1", "1", "uncap", "warning", kNotSerial, "-1,2,2"},
      {"1", "1", "use", "warning", kNotSerial, "-1,2,2"},
      // A module that does not exist holds no slot and so grants no right.
      {"1", "99", "cap", "err", "permission denied", "-1,2,2"},
      {"1", "4 or 1=1", "uncap", "err", nullptr, "-1,2,2"},
      {"1", "", "uncap", "err", nullptr, "-1,2,2"},
  };
  for (const Step& s : steps) {
    Json::Value request = sessionRequest(root, "operaSerial", s.user);
    request["serialPara"]["dogID"] = s.dog;
    request["serialPara"]["action"] = s.action;
    const Json::Value reply = ajax(root, request);
    const std::string what = std::string(s.user) + " " + s.action + " " + s.dog;
    EXPECT_EQ(reply["ret"], s.ret) << what;
    if (s.retMsg) {
      EXPECT_EQ(reply["retMsg"].asString(), s.retMsg) << what;
    }
    EXPECT_EQ(root.scalar("select group_concat(serialUserID) from"
                          " (select serialUserID from dog2 where id in (1,3,4) order by id)"),
              s.holders) << what;
  }
  // A number is as good as its text.
  Json::Value request = sessionRequest(root, "operaSerial", "1");
  request["serialPara"]["dogID"] = 3;
  request["serialPara"]["action"] = "uncap";
  EXPECT_EQ(ajax(root, request)["ret"], "ok");
  EXPECT_EQ(root.scalar("select serialUserID from dog2 where id=3"), "-1");
}

}  // namespace
}  // namespace korvantest
