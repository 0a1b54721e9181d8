// Display-name tables and their one lookup.
#include <gtest/gtest.h>

#include <iterator>

#include "actions/cn.h"

namespace {

TEST(DisplayNames, TablesHoldTheirEntriesInOrder) {
  EXPECT_EQ(std::size(CCN::dogShareMode), 3u);
  EXPECT_EQ(std::size(CCN::dogType), 4u);
  EXPECT_EQ(std::size(CCN::dogStatus), 3u);
  EXPECT_EQ(std::size(CCN::dogPriv), 4u);
  EXPECT_EQ(std::size(CCN::dogCode), 4u);
  EXPECT_EQ(std::size(CCN::dogFrame), 6u);
  EXPECT_EQ(std::size(CCN::serverEncrypt), 3u);
  EXPECT_EQ(std::size(CCN::userCode), 3u);
  EXPECT_EQ(std::size(CCN::userFrame), 5u);
  EXPECT_EQ(std::size(CCN::userMedia), 3u);
  EXPECT_EQ(std::size(CCN::userStatus), 2u);
  EXPECT_EQ(std::size(CCN::userPrior), 3u);
  EXPECT_EQ(std::size(CCN::ipsType), 2u);

  EXPECT_EQ(CCN::dogShareMode[1], "passive share");
  EXPECT_EQ(CCN::dogType[3], "virtual media");
  EXPECT_EQ(CCN::dogPriv[2], "readwrite");
  EXPECT_EQ(CCN::dogCode[3], "--");
  EXPECT_EQ(CCN::dogFrame[4], "35");
  EXPECT_EQ(CCN::userFrame[4], "35");
  EXPECT_EQ(CCN::userCode[2], "stream2");
  EXPECT_EQ(CCN::userPrior[1], "middle");
  EXPECT_EQ(CCN::ipsType[1], "whitelist");
}

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
