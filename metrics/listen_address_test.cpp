#include "metrics/listen_address.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(ListenAddress, LoopbackUnlessAnAddressIsNamed) {
  const std::vector<std::pair<std::string, std::string>> cases{{"9877", "127.0.0.1:9877"},
                                                               {":9877", "127.0.0.1:9877"},
                                                               {"localhost:9877", "127.0.0.1:9877"},
                                                               {"0.0.0.0:9100", "0.0.0.0:9100"},
                                                               {"[::1]:9877", "[::1]:9877"},
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
                                                               {"-1", ""}};
  for (const auto& [text, listens] : cases) {
    const Result<ListenAddress> parsed = ParseListenAddress(text);
    if (listens.empty()) {
      ASSERT_FALSE(parsed.ok()) << text;
      EXPECT_NE(parsed.status().message().find("'" + text + "'"), std::string::npos);
    } else {
      ASSERT_TRUE(parsed.ok()) << text << ": " << parsed.status().message();
      EXPECT_EQ(parsed->Text(), listens);
    }
  }
}

}  // namespace
}  // namespace plovex
