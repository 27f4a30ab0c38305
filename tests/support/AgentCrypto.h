#pragma once
// The agent's side of the link cryptography, written separately from the hub's own code so that
// a mistake made in one cannot hide behind the same mistake in the other.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace helm::fake {

using Bytes = std::vector<std::uint8_t>;

std::string base64(const Bytes& bytes);
std::optional<Bytes> unbase64(const std::string& text);
std::string hexLower(const Bytes& bytes);
Bytes randomBytes(std::size_t n);
Bytes utf8(const std::string& text);

std::string transcript(const std::string& hubNonce, const std::string& agentNonce,
                       const std::string& hubKey, const std::string& agentKey,
                       const std::string& role);
std::string proof(const std::string& key, const std::string& message);
// (hub-to-agent, agent-to-hub) keys of one handshake.
std::pair<Bytes, Bytes> linkKeys(const Bytes& shared, const std::string& secret,
                                 const std::string& transcript);
std::string checkCode(const std::string& transcript);

// One P-256 key pair of the agent.
class AgentKey {
public:
    AgentKey();
    ~AgentKey();
    AgentKey(const AgentKey&) = delete;
    AgentKey& operator=(const AgentKey&) = delete;
    // Base64 of the uncompressed point (65 bytes), or of the compressed one (33 bytes).
    std::string publicText(bool compressed = false) const;
    std::optional<Bytes> agree(const std::string& peerText) const;

private:
    void* pkey_;
};

// One direction of a link, counting lines as the hub does.
class AgentSealer {
public:
    AgentSealer() = default;
    explicit AgentSealer(Bytes key) : key_(std::move(key)) {}
    std::string seal(const std::string& line);
    std::optional<std::string> open(const std::string& text);
    std::uint64_t counter() const { return counter_; }

private:
    Bytes key_;
    std::uint64_t counter_ = 0;
};

} // namespace helm::fake
