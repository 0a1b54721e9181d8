// The route table: every entry is complete and consistent, so that a request
// type added to it is served, checked and admitted as its entry says.
#include "cgi/routes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

bool lists(const Route& route, const std::string& object) {
  return std::find(route.objects.begin(), route.objects.end(), object) != route.objects.end();
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
    // The shape check reaches a nested object only through its parent, and
    // the rights copy is read from a checked object.
    for (const std::string& object : route.objects) {
      const size_t dot = object.rfind('.');
      EXPECT_TRUE(dot == std::string::npos || lists(route, object.substr(0, dot))) << object;
    }
    EXPECT_TRUE(route.rightsFrom == nullptr || lists(route, route.rightsFrom));
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
