// The tests' request table names exactly the requests the route table serves,
// each of its kind, so that the access tests, fault loops, fuzzers and reply
// comparison that read it cover every type, a new one included.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "cgi/routes.h"
#include "requests.h"

namespace {

TEST(RequestTable, NamesEveryRouteOfItsKind) {
  std::map<std::string, const korvantest::RequestEntry*> table;
  for (const korvantest::RequestEntry& entry : korvantest::requestTable()) {
    table[entry.type] = &entry;
  }
  std::map<std::string, const Route*> routes;
  for (const Route& route : allRoutes()) {
    routes[route.type] = &route;
    const auto entry = table.find(route.type);
    if (entry == table.end()) {
      ADD_FAILURE() << route.type << ": no entry in " << korvantest::requestTablePath();
      continue;
    }
    EXPECT_EQ(entry->second->transfer, route.isTransfer()) << route.type << ": of the other kind";
    EXPECT_EQ(entry->second->session, !route.withoutSession) << route.type << ": session";
  }
  for (const auto& [type, entry] : table) {
    EXPECT_TRUE(routes.count(type)) << type << ": no such request type";
  }
}

}  // namespace
