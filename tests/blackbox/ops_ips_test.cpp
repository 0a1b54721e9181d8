// The IP access list ("modifyIPS") and the server IP list ("modifyServerIPS")
// through the program: the edits, the self-protection of the requester, the
// stored rows, the log record, and the refusals that must change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testroot.h"

using korvantest::TempRoot;

namespace {

constexpr const char* kMe = "10.0.0.5";

class IpLists : public ::testing::Test {
 protected:
  // Sets the stored access list: its kind and its rows in this order.
  void storeList(const std::string& type, const std::vector<std::string>& ips) {
    root_.exec("update other2 set ipsType=" + type + "; delete from ips2;");
    for (const auto& ip : ips) root_.exec("insert into ips2(ip) values('" + ip + "');");
  }

  Json::Value modify(const std::string& type, const char* paraName, const std::string& action,
                     const std::string& newIP = "", const std::string& oldIP = "",
                     const std::string& listType = "") {
    Json::Value request = korvantest::sessionRequest(root_, type);
    Json::Value& para = request[paraName];
    para["action"] = action;
    if (!newIP.empty()) para["newIP"] = newIP;
    if (!oldIP.empty()) para["oldIP"] = oldIP;
    if (!listType.empty()) para["type"] = listType;
    return korvantest::ajax(root_, request, {}, kMe);
  }
  Json::Value modifyIPS(const std::string& action, const std::string& newIP = "",
                        const std::string& oldIP = "", const std::string& listType = "") {
    return modify("modifyIPS", "ipsPara", action, newIP, oldIP, listType);
  }
  Json::Value modifyServer(const std::string& action, const std::string& newIP = "",
                           const std::string& oldIP = "") {
    return modify("modifyServerIPS", "serveripsPara", action, newIP, oldIP);
  }

  // The stored rows in the order they were written.
  std::vector<std::string> column(const std::string& sql) {
    std::vector<std::string> out;
    for (const auto& row : root_.query(sql)) out.push_back(row.at(0));
    return out;
  }
  std::vector<std::string> accessList() { return column("select ip from ips2 order by rowid;"); }
  std::vector<std::string> serverList() {
    return column("select ip || '/' || reserved from iplist order by rowid;");
  }
  std::string lastDetail() {
    return root_.scalar("select sth from log2 order by id desc limit 1;");
  }
  std::string logCount() { return root_.scalar("select count(*) from log2;"); }

  TempRoot root_;
};

using List = std::vector<std::string>;

TEST_F(IpLists, WhiteListOfEmptyListHoldsTheRequester) {
  storeList("2", {});
  Json::Value reply = modifyIPS("updType", "", "", "1");
  ASSERT_EQ(reply["ret"].asString(), "ok") << reply["retMsg"].asString();
  EXPECT_EQ(root_.scalar("select ipsType from other2;"), "1");
  EXPECT_EQ(accessList(), (List{kMe}));
  auto row = root_.query("select user,ip,type,typeSub,typeSubCN from log2;");
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(row[0], (List{"admin", kMe, "ips", "updIPS", "update ip list"}));
  // A stored kind that is neither list shows as "--".
  EXPECT_EQ(lastDetail(),
            "[{\"nm\":\"type\",\"v1\":\"--\",\"v2\":\"whitelist\"},"
            "{\"nm\":\"list\",\"v1\":\"\",\"v2\":\"10.0.0.5 <br> \"}]\n");
}

TEST_F(IpLists, RequesterStaysOnWhiteListAndOffBlackList) {
  storeList("1", {kMe, "10.0.0.6", "10.0.0.7"});
  ASSERT_EQ(modifyIPS("delIP", "", kMe)["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.0.0.6", "10.0.0.7", kMe}));
  EXPECT_EQ(lastDetail(),
            "[{\"nm\":\"type\",\"v1\":\"whitelist\",\"v2\":\"whitelist\"},"
            "{\"nm\":\"list\",\"v1\":\"10.0.0.5 <br> 10.0.0.6 <br> 10.0.0.7 <br> \","
            "\"v2\":\"10.0.0.6 <br> 10.0.0.7 <br> 10.0.0.5 <br> \"}]\n");

  storeList("0", {"10.9.9.9"});
  ASSERT_EQ(modifyIPS("insIP", kMe)["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.9.9.9"}));
  // Switching to a black list takes the requester off it.
  storeList("1", {kMe, "10.0.0.6"});
  ASSERT_EQ(modifyIPS("updType", "", "", "0")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.0.0.6"}));
}

TEST_F(IpLists, EditsOfTheList) {
  storeList("0", {"10.9.9.9"});
  // An address already there changes nothing but is still logged.
  ASSERT_EQ(modifyIPS("insIP", "10.9.9.9")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.9.9.9"}));
  EXPECT_EQ(lastDetail(),
            "[{\"nm\":\"type\",\"v1\":\"blacklist\",\"v2\":\"blacklist\"},"
            "{\"nm\":\"list\",\"v1\":\"10.9.9.9 <br> \",\"v2\":\"10.9.9.9 <br> \"}]\n");
  // An unknown old address: the new one is simply added, at the end.
  ASSERT_EQ(modifyIPS("updIP", "10.1.1.1", "10.2.2.2")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.9.9.9", "10.1.1.1"}));
  ASSERT_EQ(modifyIPS("updIP", "10.3.3.3", "10.9.9.9")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.1.1.1", "10.3.3.3"}));
  ASSERT_EQ(modifyIPS("delIP", "", "10.1.1.1")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.3.3.3"}));
  // An unknown action rewrites the list unchanged and logs it.
  ASSERT_EQ(modifyIPS("frobnicate")["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.3.3.3"}));
  EXPECT_EQ(logCount(), "5");
}

TEST_F(IpLists, RefusedRequestsChangeNothing) {
  storeList("1", {kMe, "10.0.0.6"});
  root_.exec("insert into iplist values(16777343,0);");
  for (const char* bad : {"", "10.0.0", "10.0.0.256", "10.0.0.1.2", "010.0.0.1", "10.0.0.1 "}) {
    for (const char* action : {"insIP", "updIP"}) {
      Json::Value reply = modifyIPS(action, bad, "10.0.0.6");
      EXPECT_EQ(reply["ret"].asString(), "warning") << action << " '" << bad << "'";
      EXPECT_EQ(reply["retMsg"].asString(), "invalid ip address");
      EXPECT_EQ(modifyServer(action, bad, "127.0.0.1")["ret"].asString(), "warning");
    }
  }
  // The kind goes into the statement bare: only a number is let through.
  EXPECT_EQ(modifyIPS("updType", "", "", "0 where 1=0")["ret"].asString(), "err");
  EXPECT_EQ(root_.scalar("select ipsType from other2;"), "1");
  EXPECT_EQ(accessList(), (List{kMe, "10.0.0.6"}));
  EXPECT_EQ(serverList(), (List{"16777343/0"}));
  EXPECT_EQ(logCount(), "0");
}

TEST_F(IpLists, KindChanges) {
  // "1.0" is stored as 1, a white list: the requester must be on it.
  storeList("2", {});
  ASSERT_EQ(modifyIPS("updType", "", "", "1.0")["ret"].asString(), "ok");
  EXPECT_EQ(root_.scalar("select ipsType from other2;"), "1");
  EXPECT_EQ(accessList(), (List{kMe}));

  // A kind other than black or white list is no list at all: the requester is
  // neither added nor removed, and the log names the kind "--".
  storeList("1", {kMe, "10.0.0.6"});
  ASSERT_EQ(modifyIPS("updType", "", "", "2")["ret"].asString(), "ok");
  EXPECT_EQ(root_.scalar("select ipsType from other2;"), "2");
  EXPECT_EQ(accessList(), (List{kMe, "10.0.0.6"}));
  EXPECT_EQ(lastDetail(),
            "[{\"nm\":\"type\",\"v1\":\"whitelist\",\"v2\":\"--\"},"
            "{\"nm\":\"list\",\"v1\":\"10.0.0.5 <br> 10.0.0.6 <br> \","
            "\"v2\":\"10.0.0.5 <br> 10.0.0.6 <br> \"}]\n");
  ASSERT_EQ(modifyIPS("delIP", "", kMe)["ret"].asString(), "ok");
  EXPECT_EQ(accessList(), (List{"10.0.0.6"}));
}

TEST_F(IpLists, FailedRewriteLeavesTheListAsItWas) {
  // Writing the requester's row fails after the old rows are gone: the whole
  // change must be undone, or the white list would lock everybody out.
  storeList("1", {kMe, "10.0.0.6"});
  root_.exec(
      "create trigger refuse before insert on ips2 when new.ip='10.0.0.5' "
      "begin select raise(abort, 'refused'); end;");
  EXPECT_EQ(modifyIPS("insIP", "10.0.0.7")["ret"].asString(), "err");
  EXPECT_EQ(accessList(), (List{kMe, "10.0.0.6"}));
  EXPECT_EQ(logCount(), "0");
}

TEST_F(IpLists, ServerListInIntegerFormWithoutLog) {
  storeList("2", {});
  root_.exec("insert into iplist values(16777343,0);");  // 127.0.0.1
  ASSERT_EQ(modifyServer("insIP", "192.168.1.10")["ret"].asString(), "ok");
  EXPECT_EQ(serverList(), (List{"16777343/0", "167880896/0"}));
  ASSERT_EQ(modifyServer("insIP", "192.168.1.10")["ret"].asString(), "ok");
  ASSERT_EQ(modifyServer("updIP", "10.0.0.1", "127.0.0.1")["ret"].asString(), "ok");
  EXPECT_EQ(serverList(), (List{"167880896/0", "16777226/0"}));
  ASSERT_EQ(modifyServer("delIP", "", "192.168.1.10")["ret"].asString(), "ok");
  EXPECT_EQ(serverList(), (List{"16777226/0"}));
  // The requester's address plays no part and nothing is logged.
  EXPECT_EQ(accessList(), List{});
  EXPECT_EQ(logCount(), "0");
}

}  // namespace
