#include "metrics/listen_address.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(ListenAddress, LoopbackUnlessAnAddressIsNamed) {
  struct Case {
    std::string text;
    std::string listens;  // empty: refused
  };
  for (const Case& c : std::vector<Case>{
           {"9877", "127.0.0.1:9877"},
           {":9877", "127.0.0.1:9877"},
           {"localhost:9877", "127.0.0.1:9877"},
           {"0.0.0.0:9100", "0.0.0.0:9100"},
           {"192.0.2.4:80", "192.0.2.4:80"},
           {"[::1]:9877", "[::1]:9877"},
           {"[::]:9877", "[::]:9877"},
           {"", ""},
           {"router:9877", ""},
           {"::1:9877", ""},
           {"[::1:9877", ""},
           {"[fe80::zz]:80", ""},
           {"1.2.3:80", ""},
           {"127.0.0.1:", ""},
           {"127.0.0.1:0", ""},
           {"127.0.0.1:65536", ""},
           {"127.0.0.1:80x", ""},
           {"-1", ""},
       }) {
    const Result<ListenAddress> parsed = ParseListenAddress(c.text);
    if (c.listens.empty()) {
      ASSERT_FALSE(parsed.ok()) << c.text;
      EXPECT_NE(parsed.status().message().find("'" + c.text + "'"), std::string::npos)
          << parsed.status().message();
    } else {
      ASSERT_TRUE(parsed.ok()) << c.text << ": " << parsed.status().message();
      EXPECT_EQ(parsed->Text(), c.listens);
    }
  }
}

}  // namespace
}  // namespace plovex
