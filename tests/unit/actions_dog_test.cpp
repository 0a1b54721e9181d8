// Console-module actions against a seeded database and a fake daemon: what is
// sent (and paused after), what is stored and what is logged. Every packet
// costs a one-second pause, so the cases are few and each sends little.
#include <gtest/gtest.h>

#include "actions/upd_dog.h"
#include "actions_fixture.h"

namespace {

using korvantest::Bytes;
using korvantest::FakeReply;
using std::chrono::milliseconds;

Bytes header(uint8_t length, uint8_t type) { return Bytes{0xA4, uint8_t(length - 2), type}; }

Bytes textField(const std::string& text, size_t width) {
  Bytes field(width, 0);
  std::copy_n(text.begin(), std::min(text.size(), width), field.begin());
  return field;
}

Bytes namePacket(uint8_t port, const std::string& name) {
  Bytes p = header(37, 7);
  p.push_back(port);
  Bytes nm = textField(name, 33);
  p.insert(p.end(), nm.begin(), nm.end());
  return p;
}

Bytes uidPacket(uint8_t port, const std::string& uid) {
  Bytes p = header(21, 8);
  p.push_back(port);
  Bytes f = textField(uid, 17);
  p.insert(p.end(), f.begin(), f.end());
  return p;
}

Bytes codeFramePacket(uint8_t port, uint16_t frame, uint32_t code) {
  Bytes p = header(10, 9);
  p.push_back(port);
  p.push_back(uint8_t(frame >> 8));
  p.push_back(uint8_t(frame));
  for (int shift = 24; shift >= 0; shift -= 8) p.push_back(uint8_t(code >> shift));
  return p;
}

class DogActionTest : public ActionDaemonTest {
 protected:
  void SetUp() override {
    ActionDaemonTest::SetUp();
    // Give modules 1 (usb), 3 (serial) and 5 (virtual media) their slots.
    root_->exec(
        "update dogInfo2 set setted=1, uid='U1A0000001', nm='web-01', memo='rack 4' where id=1;"
        "update dogInfo2 set setted=1, uid='S2B0000003', nm='router-console' where id=2;"
        "update dogInfo2 set setted=1, uid='V3C0000005', nm='install-media' where id=3;");
  }

  // An "updDog" request repeating module `id` as stored, in the forms side A
  // loads it (kind, share mode and right as 0).
  Json::Value storedDog(const std::string& id) {
    auto row = root_->query(
        "select d.code,d.frame,d.id,d.uid,d.nm,d.status+d.usrstatus,i.group2,i.pos1,i.pos2,"
        "i.depart,i.memo from dog2 d join dogInfo2 i on d.uid=i.uid where d.id=" + id)[0];
    const char* names[] = {"code",   "frame", "id",   "uid",    "nm",  "status",
                           "group2", "pos1",  "pos2", "depart", "memo"};
    Json::Value req = request("updDog");
    Json::Value& p = req["dogPara"];
    for (size_t i = 0; i < row.size(); ++i) p[names[i]] = row[i];
    p["type2"] = "0";
    p["sm"] = "0";
    p["priv"] = 0;
    p["portID"] = "4";
    return req;
  }

  std::vector<std::string> dogRow(const std::string& id) {
    return root_->query("select uid,nm,sm,code,frame from dog2 where id=" + id)[0];
  }
  std::vector<std::string> slotRow(const std::string& uid) {
    return root_->query("select nm,group2,pos1,pos2,depart,memo from dogInfo2 where uid='" +
                        uid + "'")[0];
  }
};

TEST_F(DogActionTest, UnchangedOrUnknownModuleSendsNothing) {
  Json::Value same = storedDog("1");
  auto e = run(same);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->type, CMyErr::warning);
  EXPECT_STREQ(e->what(), "Nothing modified");

  Json::Value unknown = storedDog("1");
  unknown["dogPara"]["id"] = "42";
  EXPECT_STREQ(run(unknown)->what(), "Nothing modified");
  // A module whose slot row is missing loads nothing either.
  root_->exec("update dogInfo2 set uid='gone' where id=1;");
  Json::Value noSlot = storedDog("3");
  noSlot["dogPara"]["id"] = "1";
  noSlot["dogPara"]["uid"] = "U1A0000001";
  EXPECT_STREQ(run(noSlot)->what(), "Nothing modified");

  EXPECT_TRUE(fake_.packets().empty());
  EXPECT_EQ(logCount(), 0);
}

TEST_F(DogActionTest, NameChangeSendsOnePacketThenWritesBothTablesAndLogs) {
  Json::Value req = storedDog("1");
  req["dogPara"]["nm"] = "web-o'1";
  req["dogPara"]["type2"] = 1;
  req["dogPara"]["sm"] = "2";
  req["dogPara"]["pos1"] = "row 3";
  ASSERT_FALSE(run(req).has_value());
  EXPECT_GE(elapsed, milliseconds(1000)) << "no pause after the name packet";
  EXPECT_EQ(fake_.packets(), std::vector<Bytes>{namePacket(1, "web-o'1")});

  EXPECT_EQ(dogRow("1"), (std::vector<std::string>{"U1A0000001", "web-o'1", "2", "1000", "30"}));
  EXPECT_EQ(slotRow("U1A0000001"),
            (std::vector<std::string>{"web-o'1", " ", "row 3", " ", " ", "rack 4"}));

  auto row = lastLog();
  EXPECT_EQ(row[3] + "/" + row[4] + "/" + row[5], "dog/updDog/update console");
  Json::Value want(Json::arrayValue);
  want.append(entry("uid", "U1A0000001", "U1A0000001"));
  want.append(entry("Name", "web-01", "web-o'1"));
  want.append(entry("shareMode", "full share", "grab share"));
  want.append(entry("type", "usb", "usb"));  // the requested kind on both sides
  want.append(entry("group", " ", " "));
  want.append(entry("position1", " ", "row 3"));
  want.append(entry("position2", " ", " "));
  want.append(entry("department", " ", " "));
  want.append(entry("Memo", "rack 4", "rack 4"));
  want.append(entry("bit stream", "1000", "1000"));
  want.append(entry("frame rate", "30", "30"));
  EXPECT_EQ(lastDetail(), want);
}

TEST_F(DogActionTest, CodeOfASerialModuleAndShareModeAloneSendNothing) {
  Json::Value serial = storedDog("3");
  serial["dogPara"]["code"] = "700";
  serial["dogPara"]["frame"] = "12";
  ASSERT_FALSE(run(serial).has_value());
  Json::Value share = storedDog("5");
  share["dogPara"]["sm"] = "1";
  share["dogPara"]["type2"] = "9";  // no such kind: shown as the placeholder
  ASSERT_FALSE(run(share).has_value());

  EXPECT_TRUE(fake_.packets().empty());
  EXPECT_EQ(dogRow("3")[3], "700");
  EXPECT_EQ(dogRow("5")[2], "1");
  ASSERT_EQ(logCount(), 2);
  Json::Value detail = lastDetail();
  EXPECT_EQ(detail[2], entry("shareMode", "full share", "passive share"));
  EXPECT_EQ(detail[3], entry("type", "--", "--"));
}

TEST_F(DogActionTest, RefusedCodeFrameLeavesDatabaseAndLogUntouched) {
  fake_.scriptRet(9, 1);
  Json::Value req = storedDog("5");
  req["dogPara"]["nm"] = "renamed";
  req["dogPara"]["code"] = "1500";
  auto e = run(req);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->type, CMyErr::armErr);
  EXPECT_STREQ(e->what(), "arm ack error,ret=1");
  // The name went out first and stays with the daemon.
  EXPECT_EQ(fake_.packets(),
            (std::vector<Bytes>{namePacket(5, "renamed"), codeFramePacket(4, 35, 1500)}));
  EXPECT_GE(elapsed, milliseconds(1000));
  EXPECT_EQ(dogRow("5")[1], "install-media");
  EXPECT_EQ(slotRow("V3C0000005")[0], "install-media");
  EXPECT_EQ(logCount(), 0);
}

TEST_F(DogActionTest, MalformedValuesAreRefusedBeforeAnyPacket) {
  Json::Value hostile = storedDog("1");
  hostile["dogPara"]["nm"] = "x";
  hostile["dogPara"]["sm"] = "0 or 1=1";
  EXPECT_EQ(run(hostile)->type, CMyErr::err);

  // The code-and-frame packet takes texts only; found before the name goes out.
  Json::Value number = storedDog("1");
  number["dogPara"]["nm"] = "y";
  number["dogPara"]["code"] = 1200;
  EXPECT_EQ(run(number)->type, CMyErr::err);

  EXPECT_TRUE(fake_.packets().empty());
  EXPECT_EQ(dogRow("1")[1], "web-01");
  EXPECT_EQ(logCount(), 0);
}

TEST_F(DogActionTest, FactoryModeSendsIdentityNameAndCodeAndNeverLogs) {
  CDB::isFactory = true;
  Json::Value req = storedDog("1");  // unchanged values are still sent
  req["dogPara"]["uid"] = "U1Z0000009";
  ASSERT_FALSE(run(req).has_value());
  EXPECT_GE(elapsed, milliseconds(3000)) << "one pause per packet";
  EXPECT_EQ(fake_.packets(), (std::vector<Bytes>{uidPacket(4, "U1Z0000009"),
                                                 namePacket(1, "web-01"),
                                                 codeFramePacket(4, 30, 1000)}));
  EXPECT_EQ(dogRow("1"), (std::vector<std::string>{"U1Z0000009", "web-01", "0", "1000", "30"}));
  EXPECT_EQ(slotRow("U1A0000001")[0], "web-01") << "the slot row is not touched";
  EXPECT_EQ(logCount(), 0);
}

TEST(DogKind, SecondCharacterOfTheIdentity) {
  EXPECT_EQ(dogKind("U1A"), 1);
  EXPECT_EQ(dogKind("V3"), 3);
  EXPECT_EQ(dogKind("S2B"), 2);
  EXPECT_EQ(dogKind("X4"), 0);
  EXPECT_EQ(dogKind("Xa"), 0);
  EXPECT_EQ(dogKind("1"), 0);
  EXPECT_EQ(dogKind(""), 0);
}

}  // namespace
