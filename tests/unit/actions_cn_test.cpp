// Display-name tables and their one lookup.
#include <gtest/gtest.h>

#include "actions/cn.h"

namespace {

TEST(DisplayNames, LookupReadsTheLeadingInteger) {
  EXPECT_EQ(CCN::name(CCN::dogShareMode, "0"), "full share");
  EXPECT_EQ(CCN::name(CCN::dogShareMode, "2"), "grab share");
  EXPECT_EQ(CCN::name(CCN::dogType, "0"), "--");
  EXPECT_EQ(CCN::name(CCN::serverEncrypt, "1"), "3des");
  EXPECT_EQ(CCN::name(CCN::serverEncrypt, " +2abc"), "aes");  // blanks, sign, trailing text
  EXPECT_EQ(CCN::name(CCN::serverEncrypt, "1.9"), "3des");
  // No leading digits reads as entry 0, the empty text included.
  EXPECT_EQ(CCN::name(CCN::ipsType, ""), "blacklist");
  EXPECT_EQ(CCN::name(CCN::ipsType, "x1"), "blacklist");
}

TEST(DisplayNames, OutsideTheTableShowsAPlaceholder) {
  EXPECT_EQ(CCN::name(CCN::serverEncrypt, "3"), "--");
  EXPECT_EQ(CCN::name(CCN::serverEncrypt, "-1"), "--");
  EXPECT_EQ(CCN::name(CCN::dogShareMode, "99999999999999999999999"), "--");
  EXPECT_EQ(CCN::name(CCN::dogShareMode, "-99999999999999999999999"), "--");
  EXPECT_EQ(CCN::name(CCN::userStatus, "2"), "--");
}

}  // namespace
