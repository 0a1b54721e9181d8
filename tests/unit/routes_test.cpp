// The route table: every entry is complete and consistent, so that a request
// type added to it is served, checked and admitted as its entry says.
#include "cgi/routes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

bool listsObject(const Route& route, const std::string& object) {
  const korvan::MemberRules& rules = route.rules();
  return std::any_of(rules.begin(), rules.end(), [&](const korvan::MemberRule& rule) {
    return rule.type == korvan::MemberType::object && object == rule.path;
  });
}

TEST(RouteTable, EveryEntryIsConsistent) {
  std::set<std::string> names;
  for (const Route& route : allRoutes()) {
    SCOPED_TRACE(route.type);
    EXPECT_TRUE(names.insert(route.type).second) << "named twice";
    // Exactly one way to serve it.
    EXPECT_EQ((route.handler != nullptr) + (route.action != nullptr) + route.isTransfer(), 1);
    EXPECT_EQ(route.transferPresent != nullptr, route.transferServe != nullptr);
    EXPECT_TRUE(route.action == nullptr || route.changesState);
    // A request without a session has no level to be checked against.
    EXPECT_TRUE(!route.withoutSession || route.access == Access::anyone);
    // The decoding reaches a member only through its parent object, and the
    // rights copy is read from a checked object.
    for (const korvan::MemberRule& rule : route.rules()) {
      const std::string path = rule.path;
      const size_t dot = path.rfind('.');
      EXPECT_TRUE(dot == std::string::npos || listsObject(route, path.substr(0, dot))) << path;
      EXPECT_TRUE(!rule.number || rule.type == korvan::MemberType::text) << path;
    }
    EXPECT_TRUE(route.rightsFrom == nullptr || listsObject(route, route.rightsFrom));
    if (route.isTransfer()) {
      EXPECT_FALSE(route.withoutSession);
      EXPECT_FALSE(route.needsDaemon);
    }
  }
}

TEST(RouteTable, AjaxTypesNeverReachATransfer) {
  ASSERT_FALSE(transferRoutes().empty());
  for (const Route& transfer : transferRoutes()) EXPECT_TRUE(transfer.isTransfer());
  for (const char* type : {"", "noSuchType", "systemFile", "dbFile", "submitDownloadDB"}) {
    SCOPED_TRACE(type);
    const Route& route = ajaxRoute(type);
    EXPECT_FALSE(route.isTransfer());
    EXPECT_EQ(route.handler, nullptr);
    EXPECT_EQ(route.action, nullptr);
    EXPECT_EQ(route.access, Access::administrators);
  }
}

}  // namespace
