#include "link/Discovery.h"
#include "link/HubFixture.h"

namespace helm::test {
namespace {

using fake::FakeAgent;

TEST(DiscoveryAnswer, ProbesAndAnswers) {
    struct Case {
        std::string probe;
        bool open;
        std::optional<std::string> answer;
    } cases[] = {
        {"PIVMOR?", false, "PIVMOR! 49400 - 0123456789abcdef"},
        {"PIVMOR? please", false, "PIVMOR! 49400 - 0123456789abcdef"},
        {"PIVMOR?", true,
         "PIVMOR! 49400 " + fake::base64(fake::utf8("Lena's M\xC3\xA4"
                                                    "c"))},
        {"PIVMOR", false, std::nullopt},
        {"pivmor?", false, std::nullopt},
        {std::string("\xFFPIVMOR?"), false, std::nullopt},
        {"", false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Discovery::answer(c.probe, 49400, c.open,
                                    "Lena's M\xC3\xA4"
                                    "c",
                                    "0123456789abcdef"),
                  c.answer)
            << c.probe;
}

class HubDiscovery : public HubFixture {};

TEST_F(HubDiscovery, AnswersWithTheHubIdOrTheMacNameWhilePairing) {
    make(PCKeys());
    auto udp = hub->discoveryListeningPort();
    ASSERT_NE(udp, 0);
    char head[32];
    std::snprintf(head, sizeof head, "PIVMOR! %u", static_cast<unsigned>(port));
    EXPECT_EQ(FakeAgent::probe(udp), std::string(head) + " - 0123456789abcdef");
    hub->setPairCode("123456");
    hub->names(); // the code is in place before the next probe or hello
    EXPECT_EQ(FakeAgent::probe(udp),
              std::string(head) + " " + fake::base64(fake::utf8("Test Mac")));
    hub->setPairCode(std::nullopt);
    hub->names(); // the code is in place before the next probe or hello
    EXPECT_EQ(FakeAgent::probe(udp), std::string(head) + " - 0123456789abcdef");
    EXPECT_EQ(FakeAgent::probe(udp, "PIVMOR", 300), std::nullopt);
}

} // namespace
} // namespace helm::test
