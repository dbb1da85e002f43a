#include "snmp/oid_order.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(OidOrder, CanonicalFormIsWhatAReplyCarries) {
  EXPECT_EQ(CanonicalOid("1.3.6.1.2.1.1.3.0"), "1.3.6.1.2.1.1.3.0");
  EXPECT_EQ(CanonicalOid("1.3.6.1.2.1.1.3.0."), "1.3.6.1.2.1.1.3.0");
  EXPECT_EQ(CanonicalOid("1.3.06.1"), "1.3.6.1");
  EXPECT_EQ(CanonicalOid(".1.3.6"), "0.1.3.6");  // a leading dot is an arc 0
  EXPECT_EQ(CanonicalOid("1.3.x.1"), "1.3.0.1");
}

TEST(OidOrder, ArcsCompareAsNumbersAndPrefixesComeFirst) {
  EXPECT_LT(CompareOids("1.3.6.1.9", "1.3.6.1.10"), 0);
  EXPECT_GT(CompareOids("1.3.6.1.10", "1.3.6.1.9"), 0);
  EXPECT_EQ(CompareOids("1.3.6.1", "1.3.6.1"), 0);
  EXPECT_LT(CompareOids("1.3.6.1", "1.3.6.1.0"), 0);
  EXPECT_GT(CompareOids("1.3.6.2", "1.3.6.1.5.5"), 0);
  EXPECT_LT(CompareOids("1.3.6.1.4294967295", "1.3.6.1.4294967296"), 0);
  EXPECT_LT(CompareOids("", "0"), 0);
  EXPECT_EQ(CompareOids("", ""), 0);
}

}  // namespace
}  // namespace plovex
