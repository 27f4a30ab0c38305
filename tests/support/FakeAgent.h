#pragma once
// A scripted PC agent for tests: it speaks the link protocol from the agent's side over a real
// loopback socket, with blocking calls that always give up after a bounded wait.
#include "support/AgentCrypto.h"

#include <QTcpSocket>
#include <QUdpSocket>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace helm::fake {

class FakeAgent {
public:
    explicit FakeAgent(std::string name);
    ~FakeAgent();

    // Connects and reads the greeting; false when no greeting arrived in time.
    bool connect(quint16 port, int ms = 3000);
    // Connects without reading anything.
    bool connectOnly(quint16 port, int ms = 3000);

    // The values of this handshake, for tests that build their own hello.
    std::string hubNonce, hubKey, nonce, keyText;
    std::string transcriptFor(const std::string& role) const;
    std::string helloLine(const std::string& secret, const std::string& role) const;
    std::string pairLine(const std::string& code) const;

    // Sends the login hello and checks the "ok" line and the hub's proof; on success the link's
    // sealers are ready.
    bool login(const std::string& secret, const std::string& role = "ctl", int ms = 3000);
    // Derives the link keys for a hello about to be sent, before the hub answers.
    void prepareKeys(const std::string& secret, const std::string& role);
    // Checks an "ok" line already read against the hello that was sent.
    bool acceptOk(const std::string& okLine, const std::string& secret, const std::string& role);

    // Pairing: sends the pair hello and answers the first reply ("confirm" or "no …").
    std::optional<std::string> pairStart(const std::string& code, int ms = 3000);
    std::string checkCodeShown() const { return checkCode(transcriptFor("pair")); }
    struct Paired {
        std::string secret, hubId;
    };
    // Reads the final "paired" line and opens the secret; the error text when it fails.
    std::optional<Paired> pairFinish(const std::string& code, std::string* error = nullptr,
                                     int ms = 3000);

    void sendRaw(const std::string& bytes);
    void sendLine(const std::string& line) { sendRaw(line + "\n"); }
    void sendSealed(const std::string& line);
    std::optional<std::string> readLine(int ms = 3000);
    // Reads the next line without keeping it, as a remote agent's memory is not this
    // program's; its length, or nothing on time-out.
    std::optional<std::size_t> skipLine(int ms = 3000);
    // The next sealed line opened; nothing on time-out or when it does not open.
    std::optional<std::string> readSealed(int ms = 3000);
    // The next opened line that is not the hub's ping.
    std::optional<std::string> readSealedPastPings(int ms = 3000);
    // Waits until the hub closes the connection; unread lines are discarded.
    bool waitClosed(int ms = 3000);
    bool connected() const;
    void close();
    void abortive();
    // From now on reads nothing more than a few bytes: the hub's lines pile up on its side, as
    // for a PC that is stuck.
    void stopReading();
    // Keeps at most this many received bytes in the socket until they are read, so a PC that
    // skips long lines holds little of them.
    void limitReadBuffer(qint64 bytes);
    // Never waits: takes what has arrived, no faster than bytesPerSecond counted from the first
    // call, as a PC on a slow network would, and gives the lines completed meanwhile, still
    // sealed: opening a clip's line takes a while, in which a PC would go on reading.
    std::vector<std::string> readLinesAtRate(double bytesPerSecond);
    // What a live control link does between a test's steps, waiting a moment at most: skips the
    // lines that arrived and pings once a second.
    void keepAlive();

    const std::string& name() const { return name_; }
    AgentSealer out, inn; // agent-to-hub and hub-to-agent
    std::string secret;   // the secret of the last successful login

    // Sends one discovery probe and waits for one answer.
    static std::optional<std::string> probe(quint16 port, const std::string& text = "PIVMOR?",
                                            int ms = 1000);

private:
    bool fill(int ms);
    void take();
    std::string name_;
    std::unique_ptr<AgentKey> key_;
    std::unique_ptr<QTcpSocket> sock_;
    std::string buf_;
    std::size_t scanned_ = 0; // bytes of buf_ known to hold no line break
    Bytes shared_;
    std::string prepared_; // secret and role the sealers were made for
    std::chrono::steady_clock::time_point nextPing_{};
    std::optional<std::chrono::steady_clock::time_point> pacedSince_;
    double pacedBytes_ = 0;
};

} // namespace helm::fake
