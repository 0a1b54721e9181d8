// Who is on the switch: the sessions list and its end, the consoles list
// with their holders, and the health report of the switch service.
#include <netinet/in.h>
#include <unistd.h>

#include <string>

#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

using Env = std::map<std::string, std::string>;

// Names of the listed rows' `member`, joined by commas.
std::string listed(const Json::Value& rows, const char* member) {
  std::string out;
  for (const Json::Value& row : rows) out += "," + row[member].asString();
  return out.empty() ? out : out.substr(1);
}

TEST(Sessions, ListedWithAddressAndLastRequestOwnOnlyBelowLevelThree) {
  TempRoot root;
  // A real login stores the client's address; an expired session is not listed.
  const Json::Value login = ajax(root, loginRequest("operator", "operator"), {}, "10.1.2.3");
  ASSERT_EQ(login["ret"].asString(), "ok") << login;
  root.exec("insert into user2 (id,nm,pw,pid,dog,status,expireTime) values (7,'gone','x',3,'',1,1)");

  const Json::Value all = ajax(root, sessionRequest(root, "selSessions"));
  ASSERT_EQ(all["ret"].asString(), "ok") << all;
  EXPECT_EQ(listed(all["sessions"], "userNM"), "admin,operator");
  EXPECT_EQ(listed(all["sessions"], "own"), "1,0");
  const Json::Value& op = all["sessions"][1];
  EXPECT_EQ(op["ip"].asString(), "10.1.2.3");
  EXPECT_EQ(op["since"].asString().size(), 19u) << op;
  EXPECT_EQ(op["lastRequest"].asString().size(), 19u) << op;

  const Json::Value own = ajax(root, sessionOf(login, "selSessions"));
  EXPECT_EQ(listed(own["sessions"], "userNM"), "operator") << own;
}

TEST(Sessions, EndSessionClosesItAtOnceAndIsRecorded) {
  TempRoot root;
  const Json::Value login = ajax(root, loginRequest("operator", "operator"), {}, "10.1.2.3");
  ASSERT_EQ(login["ret"].asString(), "ok") << login;

  // Not for an operator, not even for another's session.
  const Json::Value refused = ajax(root, withMembers(sessionOf(login, "endSession"),
                                                     R"({"sessionPara":{"id":"1"}})"));
  EXPECT_EQ(refused["retMsg"].asString(), "permission denied");

  const std::string records = root.scalar("select count(*) from log2 where typeSub='endSession'");
  const Json::Value ended = ajax(root, call(root, "endSession", R"({"sessionPara":{"id":"2"}})"));
  ASSERT_EQ(ended["ret"].asString(), "ok") << ended;
  EXPECT_EQ(records, "0");
  EXPECT_EQ(root.scalar("select sth from log2 where typeSub='endSession'"),
            "[{\"nm\":\"user name\",\"v1\":\"operator\"},{\"nm\":\"address\",\"v1\":\"10.1.2.3\"}]\n");
  const Json::Value after = ajax(root, sessionOf(login, "ref"));
  EXPECT_EQ(after["retMsg"].asString(), "curUser has loginned or idle timeout") << after;

  // A user without an open session: refused, nothing recorded.
  const Json::Value again = ajax(root, call(root, "endSession", R"({"sessionPara":{"id":"2"}})"));
  EXPECT_EQ(again["retMsg"].asString(), "this user has no open session") << again;
  EXPECT_EQ(root.scalar("select count(*) from log2 where typeSub='endSession'"), "1");
}

TEST(Consoles, HoldersShownOnlyOnConsolesTheCallerHasARightOn) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1, uid=(select uid from dog2 where dog2.id=dogInfo2.id) where id<=4;"
      "update dog2 set serialUserID=2 where id=3;"
      "update dog2 set kvmUser='admin', kvmTime='2026-03-07 09:05:02' where id=1;"
      // A viewer with a right on slot 2 and none on the others.
      "insert into user2 (id,nm,pw,pid,dog) values (3,'viewer','v',3,'0100');"
      // A holder whose account is gone is no holder.
      "update dog2 set serialUserID=99 where id=4;");
  struct Case {
    const char* user;
    const char* ids;
    const char* kvmUsers;
    const char* serialUsers;
  };
  for (const Case& c : {Case{"2", "1,2,3,4", "admin,,,", ",,operator,"}, Case{"3", "2", "", ""}}) {
    const Json::Value reply = ajax(root, sessionRequest(root, "selConsoles", c.user));
    ASSERT_EQ(reply["ret"].asString(), "ok") << reply;
    EXPECT_EQ(listed(reply["consoles"], "id"), c.ids) << c.user;
    EXPECT_EQ(listed(reply["consoles"], "kvmUser"), c.kvmUsers) << c.user;
    EXPECT_EQ(listed(reply["consoles"], "serialUser"), c.serialUsers) << c.user;
  }
}

class Health : public ::testing::Test {
 protected:
  Env up() { return {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}}; }
  // A port nobody listens on.
  Env down() {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t len = sizeof address;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), len);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len);
    close(fd);
    return {{"KORVAN_ARM_PORT", std::to_string(ntohs(address.sin_port))}};
  }
  Json::Value health(const Env& env) {
    const Json::Value reply = ajax(root_, sessionRequest(root_, "health"), env);
    EXPECT_EQ(reply["ret"].asString(), "ok") << reply;
    return reply["health"];
  }
  Json::Value kvm(const Env& env) {
    return ajax(root_, tableRequest(root_, requestEntry("qt")), env);
  }

  TempRoot root_;
  FakeDaemon daemon_;
};

TEST_F(Health, ConnectCheckSendsNothingAndTheLastExchangeCounts) {
  // Nothing exchanged yet: the connect check alone decides, and sends no byte.
  Json::Value h = health(up());
  EXPECT_TRUE(h["reachable"].asBool()) << h;
  EXPECT_EQ(h["connect"].asString(), "ok");
  EXPECT_TRUE(h["exchange"].isNull()) << h;
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(daemon_.connections(), 1);

  h = health(down());
  EXPECT_FALSE(h["reachable"].asBool()) << h;
  EXPECT_EQ(h["connect"].asString().rfind("arm connect error:", 0), 0u) << h;

  // A granted session: answered, and the module keeps who opened it.
  ASSERT_EQ(kvm(up())["ret"].asString(), "ok");
  h = health(up());
  EXPECT_TRUE(h["reachable"].asBool()) << h;
  EXPECT_EQ(h["exchange"]["answered"].asString(), "1");
  EXPECT_EQ(h["exchange"]["outcome"].asString(), "ok");
  EXPECT_EQ(root_.scalar("select kvmUser from dog2 where id=3"), "admin");

  // A service that takes the connection but does not answer: the connect
  // check passes, the stored exchange says it is not reachable.
  FakeReply silent;
  silent.silent = true;
  daemon_.script(1, silent);
  EXPECT_NE(kvm(up())["ret"].asString(), "ok");
  h = health(up());
  EXPECT_EQ(h["connect"].asString(), "ok");
  EXPECT_EQ(h["exchange"]["answered"].asString(), "0") << h;
  EXPECT_EQ(h["exchange"]["outcome"].asString(), "arm read ack timeout");
  EXPECT_FALSE(h["reachable"].asBool());
}

TEST_F(Health, PollNeitherExtendsTheSessionNorCountsAsARequest) {
  Json::Value request = sessionRequest(root_, "health");
  root_.exec("update user2 set expireTime=expireTime-300, lastRequest=5 where id=1");
  const std::string before = root_.scalar("select expireTime || '/' || lastRequest from user2 where id=1");
  ASSERT_EQ(ajax(root_, request, up())["ret"].asString(), "ok");
  EXPECT_EQ(root_.scalar("select expireTime || '/' || lastRequest from user2 where id=1"), before);
  request["type"] = "ref";
  ASSERT_EQ(ajax(root_, request, up())["ret"].asString(), "ok");
  EXPECT_NE(root_.scalar("select lastRequest from user2 where id=1"), "5");
}

}  // namespace
}  // namespace korvantest
