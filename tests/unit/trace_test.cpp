// The trace log: every record whole, the file moved aside at its limit, and
// each record written under the root in force when it is made.
#include "util/trace.h"

#include <algorithm>
#include <string>

#include "testroot.h"

namespace {

TEST(TraceLog, MovedAsideAtTheLimitAndFollowingTheRoot) {
  korvantest::TempRoot first(false);
  korvantest::TempRoot second(false);
  setenv("KORVAN_ROOT", first.dir().c_str(), 1);
  const std::string text(1000, 'x');
  for (int i = 0; i < 1100; ++i) setLog(i, text.c_str());  // about 1.1 MiB
  const std::string kept = first.traceLog();
  const std::string moved = korvantest::readFile(first.cgiDir() + "/log.txt.1");
  EXPECT_LE(moved.size(), 1024u * 1024u);
  EXPECT_LT(kept.size(), moved.size());
  EXPECT_EQ(
      std::count(kept.begin(), kept.end(), '\n') + std::count(moved.begin(), moved.end(), '\n'),
      1100);
  EXPECT_EQ(kept.substr(kept.rfind('\n', kept.size() - 2) + 1, 10), "1099_Time:");

  setenv("KORVAN_ROOT", second.dir().c_str(), 1);
  setLog(7, "elsewhere");
  EXPECT_NE(second.traceLog().find("Msg:::elsewhere\n"), std::string::npos);
  EXPECT_EQ(first.traceLog(), kept);
  unsetenv("KORVAN_ROOT");
}

}  // namespace
