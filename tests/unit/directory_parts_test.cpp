// The parts of a directory login that need no server: the filter escaping,
// the DN check, the group mapping and the RADIUS packets.
#include <gtest/gtest.h>

#include "auth/directory_config.h"
#include "auth/ldap_filter.h"
#include "auth/radius_client.h"

namespace {

using namespace directory;

TEST(DirectoryFilter, EscapesEverythingThatCouldWidenTheSearch) {
  const struct {
    std::string typed, filter;
  } cases[] = {
      {"alice", "(uid=alice)"},
      {"*", "(uid=\\2a)"},
      {"alice)(uid=*", "(uid=alice\\29\\28uid=\\2a)"},
      {"a\\b", "(uid=a\\5cb)"},
      {std::string("a\0b", 3), "(uid=a\\00b)"},
      {"j\xc3\xbcrgen", "(uid=j\\c3\\bcrgen)"},
  };
  for (const auto& c : cases) EXPECT_EQ(fillFilter("(uid=%s)", c.typed).value(), c.filter) << c.typed;
  EXPECT_EQ(fillFilter("(|(uid=%s)(mail=%s))", "*").value(), "(|(uid=\\2a)(mail=\\2a))");
  EXPECT_FALSE(fillFilter("(uid=alice)", "x"));
}

TEST(DirectoryFilter, DistinguishedNames) {
  for (const char* dn : {"dc=example,dc=org", "cn=a\\,b,ou=x", "uid=x+cn=y,dc=z", "2.5.4.3=x"}) {
    EXPECT_TRUE(looksLikeDn(dn)) << dn;
  }
  for (const char* dn : {"", "example", "cn=", "=x", "cn=x,", "cn=a=b", "c n=x", "cn=x\\"}) {
    EXPECT_FALSE(looksLikeDn(dn)) << dn;
  }
}

TEST(DirectoryMapping, FirstMatchingRowWins) {
  const std::vector<MapRow> map{{"kvm-admins", 1}, {"cn=ops,ou=groups,dc=x", 2}, {"staff", 3}};
  const struct {
    std::vector<std::string> groups;
    long long group;
  } cases[] = {
      {{"cn=kvm-admins,ou=groups,dc=x"}, 1},
      {{"KVM-Admins"}, 1},
      {{"cn=staff,dc=x", "cn=ops,ou=groups,dc=x"}, 2},
      {{"CN=OPS,OU=Groups,DC=X"}, 2},
      {{"cn=staff,dc=x"}, 3},
      {{"kvm-admins-old", "cn=kvm-adminsx,dc=x", "ops"}, 0},
      {{}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(mappedGroup(map, c.groups), c.group);
}

TEST(DirectoryMapping, FoldedNamesOnlyWhereTheDirectoryIgnoresCase) {
  Config config;
  EXPECT_EQ(foldedName(config, "Alice"), "Alice");
  config.caseFold = true;
  EXPECT_EQ(foldedName(config, "Alice"), "alice");
}

// A reply as a server would build it, signed with `secret`.
radius::Bytes reply(uint8_t code, uint8_t id, const radius::Bytes& requestAuth, const std::string& secret,
                    bool withMac, const std::string& filterId);

TEST(RadiusPackets, RequestHidesThePasswordAndIsSigned) {
  const radius::Bytes auth(16, 7);
  const radius::Bytes packet = radius::accessRequest(9, auth, "alice", "pw", "s3cret");
  ASSERT_GE(packet.size(), 20u);
  EXPECT_EQ(packet[0], radius::kAccessRequest);
  EXPECT_EQ(packet[20], radius::kMessageAuthenticator);
  const std::string text(packet.begin(), packet.end());
  EXPECT_EQ(text.find("pw\0", 0), std::string::npos);
  EXPECT_NE(text.find("alice"), std::string::npos);
  EXPECT_TRUE(radius::accessRequest(1, auth, "alice", "", "s").empty());
  EXPECT_TRUE(radius::accessRequest(1, auth, "alice", std::string(129, 'x'), "s").empty());
}

TEST(RadiusPackets, RepliesNeedBothAuthenticators) {
  const radius::Bytes auth(16, 3);
  const std::string secret = "s3cret";
  const auto good = radius::checkReply(reply(2, 5, auth, secret, true, "admins"), 5, auth, secret);
  ASSERT_TRUE(good);
  EXPECT_EQ(good->code, radius::kAccessAccept);
  ASSERT_EQ(good->attributes.size(), 1u);
  EXPECT_EQ(good->attributes[0].second, "admins");
  // Unsigned, signed with another secret, for another request, altered.
  EXPECT_FALSE(radius::checkReply(reply(2, 5, auth, secret, false, "admins"), 5, auth, secret));
  EXPECT_FALSE(radius::checkReply(reply(2, 5, auth, "other", true, "admins"), 5, auth, secret));
  EXPECT_FALSE(radius::checkReply(reply(2, 5, auth, secret, true, "admins"), 6, auth, secret));
  radius::Bytes altered = reply(2, 5, auth, secret, true, "admins");
  altered.back() ^= 1;
  EXPECT_FALSE(radius::checkReply(altered, 5, auth, secret));
  EXPECT_FALSE(radius::checkReply(radius::Bytes(10, 0), 5, auth, secret));
}

}  // namespace

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

radius::Bytes reply(uint8_t code, uint8_t id, const radius::Bytes& requestAuth, const std::string& secret,
                    bool withMac, const std::string& filterId) {
  radius::Bytes p(20, 0);
  p[0] = code;
  p[1] = id;
  std::copy(requestAuth.begin(), requestAuth.end(), p.begin() + 4);
  p.push_back(radius::kFilterId);
  p.push_back(static_cast<uint8_t>(filterId.size() + 2));
  p.insert(p.end(), filterId.begin(), filterId.end());
  size_t macAt = 0;
  if (withMac) {
    p.push_back(radius::kMessageAuthenticator);
    p.push_back(18);
    macAt = p.size();
    p.insert(p.end(), 16, 0);
  }
  p[3] = static_cast<uint8_t>(p.size());
  unsigned int len = 0;
  if (withMac) {
    HMAC(EVP_md5(), secret.data(), static_cast<int>(secret.size()), p.data(), p.size(),
         p.data() + macAt, &len);
  }
  radius::Bytes input = p;
  input.insert(input.end(), secret.begin(), secret.end());
  unsigned char digest[16];
  EVP_Digest(input.data(), input.size(), digest, &len, EVP_md5(), nullptr);
  std::copy(digest, digest + 16, p.begin() + 4);
  return p;
}

}  // namespace
