#include "core/connection_check.h"

#include <gtest/gtest.h>

#include "core/testing/fake_agent.h"

namespace plovex {
namespace {

using testing::FakeAgent;

TEST(ConnectionTest, AnswersInWords) {
  struct Case {
    const char* why;
    const char* version;
    bool known, silent, named;
    const char* text;
  } cases[] = {
      {"good", "1", true, false, true, "127.0.0.1 answers: Test agent (name test-agent)."},
      {"silent v1", "1", true, true, true,
       "No answer from 127.0.0.1: a wrong address, SNMP switched off on the device, or a wrong "
       "community (an agent does not answer a wrong community at all)."},
      {"unknown host", "2c", false, false, true, "Unknown host \"127.0.0.1\"."},
      {"refused", "2c", true, false, false, "127.0.0.1 answers: Test agent."},
      {"v1 refused", "1", true, false, false, "127.0.0.1 answered with the error noSuchName."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TPlovexSettings s;
    ApplyDefaultSettings(s);
    s.Ip = "127.0.0.1";
    s.SnmpVersion = c.version;
    auto net = std::make_unique<MemoryUdpTransport>();
    FakeAgent agent;
    agent.Attach(*net);
    agent.silent = c.silent;
    agent.objects["1.3.6.1.2.1.1.1.0"] = {4, "Test agent"};
    if (c.named) agent.objects["1.3.6.1.2.1.1.5.0"] = {4, "test-agent"};
    TSNMPSend client(std::move(net));
    const auto result = TestConnection(s, client, [&](const std::string&) { return c.known; });
    EXPECT_EQ(ConnectionTestText(s, result), c.text);
    EXPECT_EQ(agent.requests.size(), c.known ? 1u : 0u);
  }
}

}  // namespace
}  // namespace plovex
