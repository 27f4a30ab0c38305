#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <QHostAddress>
#include <algorithm>
#include <sstream>
#include <vector>

namespace helm::fake {

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string t;
    while (std::getline(in, t, ' '))
        if (!t.empty())
            out.push_back(t);
    return out;
}

} // namespace

FakeAgent::FakeAgent(std::string name) : name_(std::move(name)) {}

FakeAgent::~FakeAgent() {
    close();
}

bool FakeAgent::connectOnly(quint16 port, int ms) {
    close();
    key_ = std::make_unique<AgentKey>();
    nonce = hexLower(randomBytes(16));
    keyText = key_->publicText();
    out = AgentSealer();
    inn = AgentSealer();
    buf_.clear();
    scanned_ = 0;
    prepared_.clear();
    sock_ = std::make_unique<QTcpSocket>();
    sock_->connectToHost(QHostAddress::LocalHost, port);
    if (!sock_->waitForConnected(ms))
        return false;
    // Input lines go out at once, as a real agent's do, not held back for the last one's ACK.
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool FakeAgent::connect(quint16 port, int ms) {
    if (!connectOnly(port, ms))
        return false;
    auto greeting = readLine(ms);
    if (!greeting)
        return false;
    auto t = tokens(*greeting);
    if (t.size() != 3 || t[0] != "n")
        return false;
    hubNonce = t[1];
    hubKey = t[2];
    auto shared = key_->agree(hubKey);
    if (!shared)
        return false;
    shared_ = *shared;
    return true;
}

std::string FakeAgent::transcriptFor(const std::string& role) const {
    return transcript(hubNonce, nonce, hubKey, keyText, role);
}

std::string FakeAgent::helloLine(const std::string& s, const std::string& role) const {
    return "h " + name_ + " " + nonce + " " + keyText + " " +
           proof(s, "agent|" + transcriptFor(role)) + " " + role;
}

std::string FakeAgent::pairLine(const std::string& code) const {
    return "pair " + name_ + " " + nonce + " " + keyText + " " +
           proof(code, "pair|" + transcriptFor("pair"));
}

void FakeAgent::prepareKeys(const std::string& s, const std::string& role) {
    auto [h2a, a2h] = linkKeys(shared_, s, transcriptFor(role));
    inn = AgentSealer(h2a);
    out = AgentSealer(a2h);
    secret = s;
    prepared_ = s + "|" + role;
}

bool FakeAgent::acceptOk(const std::string& okLine, const std::string& s, const std::string& role) {
    auto t = tokens(okLine);
    std::string T = transcriptFor(role);
    if (t.size() != 2 || t[0] != "ok" || t[1] != proof(s, "hub|" + T))
        return false;
    if (prepared_ != s + "|" + role)
        prepareKeys(s, role);
    return true;
}

bool FakeAgent::login(const std::string& s, const std::string& role, int ms) {
    sendLine(helloLine(s, role));
    auto ok = readLine(ms);
    return ok && acceptOk(*ok, s, role);
}

std::optional<std::string> FakeAgent::pairStart(const std::string& code, int ms) {
    sendLine(pairLine(code));
    return readLine(ms);
}

std::optional<FakeAgent::Paired> FakeAgent::pairFinish(const std::string& code, std::string* error,
                                                       int ms) {
    auto fail = [&](const std::string& why) -> std::optional<Paired> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    auto line = readLine(ms);
    if (!line)
        return fail("no reply");
    auto t = tokens(*line);
    if (t.size() != 4 || t[0] != "paired")
        return fail("reply: " + *line);
    std::string T = transcriptFor("pair");
    if (t[1] != proof(code, "paired|" + T))
        return fail("hub proof does not match");
    AgentSealer opener(linkKeys(shared_, code, T).first);
    auto s = opener.open(t[2]);
    if (!s)
        return fail("sealed secret does not open");
    return Paired{*s, t[3]};
}

void FakeAgent::sendRaw(const std::string& bytes) {
    if (!sock_)
        return;
    // A megabyte at a time, as a PC's own socket takes a long line: the whole of it in the
    // socket's buffer would be a copy a remote agent never makes here. Without an event loop
    // on this thread the bytes leave only while waiting here; gives up after a second without
    // progress.
    constexpr std::size_t slice = 1 << 20;
    for (std::size_t at = 0; at < bytes.size(); at += slice) {
        const std::size_t n = std::min(slice, bytes.size() - at);
        sock_->write(bytes.data() + at, static_cast<qint64>(n));
        while (sock_->bytesToWrite() > 0 && sock_->waitForBytesWritten(1000)) {
        }
        if (sock_->bytesToWrite() > 0)
            return;
    }
}

void FakeAgent::sendSealed(const std::string& line) {
    sendLine(out.seal(line));
}

bool FakeAgent::fill(int ms) {
    // A hub on this thread's event loop may need the loop to answer (a pairing stores its key
    // on the main thread before it replies): it keeps running while the agent waits.
    QCoreApplication* app = QCoreApplication::instance();
    const bool mainLoop = app != nullptr && app->thread() == QThread::currentThread();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // Running the loop may have read the hub's last line, and its close, into the socket.
        if (sock_ && sock_->bytesAvailable() > 0)
            break;
        if (!sock_ || sock_->state() != QAbstractSocket::ConnectedState)
            return false;
        const int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0)
            return false;
        if (sock_->waitForReadyRead(mainLoop ? std::min(left, 10) : left))
            break;
        if (!mainLoop)
            return false;
        QCoreApplication::processEvents();
    }
    take();
    return true;
}

void FakeAgent::take() {
    // Straight into the buffer: a clip line is too long for an extra copy per read.
    const auto n = static_cast<std::size_t>(sock_->bytesAvailable());
    const std::size_t old = buf_.size();
    buf_.resize(old + n);
    const qint64 got = sock_->read(buf_.data() + old, static_cast<qint64>(n));
    buf_.resize(old + static_cast<std::size_t>(got > 0 ? got : 0));
}

std::optional<std::string> FakeAgent::readLine(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // Each byte is searched once, however many reads a long line takes.
        auto nl = buf_.find('\n', scanned_);
        if (nl != std::string::npos) {
            scanned_ = 0;
            if (nl + 1 == buf_.size()) {
                std::string line = std::move(buf_);
                buf_ = std::string();
                line.resize(nl);
                return line;
            }
            std::string line = buf_.substr(0, nl);
            buf_.erase(0, nl + 1);
            return line;
        }
        scanned_ = buf_.size();
        if (sock_ && sock_->bytesAvailable() > 0) {
            take();
            continue;
        }
        int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0 || !fill(left))
            return std::nullopt;
    }
}

std::optional<std::size_t> FakeAgent::skipLine(int ms) {
    QElapsedTimer clock;
    clock.start();
    std::size_t skipped = 0;
    for (;;) {
        auto nl = buf_.find('\n');
        if (nl != std::string::npos) {
            buf_.erase(0, nl + 1);
            scanned_ = 0;
            return skipped + nl;
        }
        skipped += buf_.size();
        buf_.clear();
        int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0 || !fill(left))
            return std::nullopt;
    }
}

std::optional<std::string> FakeAgent::readSealed(int ms) {
    auto line = readLine(ms);
    if (!line)
        return std::nullopt;
    return inn.open(*line);
}

std::optional<std::string> FakeAgent::readSealedPastPings(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int left = ms - static_cast<int>(clock.elapsed());
        auto line = readSealed(left > 0 ? left : 0);
        if (!line || *line != "p")
            return line;
    }
}

bool FakeAgent::waitClosed(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (sock_ && sock_->state() == QAbstractSocket::ConnectedState) {
        int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0)
            return false;
        if (sock_->waitForReadyRead(left)) {
            QByteArray more = sock_->readAll();
            buf_.append(more.constData(), static_cast<std::size_t>(more.size()));
        }
    }
    return true;
}

bool FakeAgent::connected() const {
    return sock_ && sock_->state() == QAbstractSocket::ConnectedState;
}

void FakeAgent::close() {
    if (!sock_)
        return;
    sock_->disconnectFromHost();
    if (sock_->state() != QAbstractSocket::UnconnectedState)
        sock_->waitForDisconnected(1000);
    sock_.reset();
}

void FakeAgent::stopReading() {
    limitReadBuffer(4096);
}

void FakeAgent::limitReadBuffer(qint64 bytes) {
    if (sock_)
        sock_->setReadBufferSize(bytes);
}

std::vector<std::string> FakeAgent::readLinesAtRate(double bytesPerSecond) {
    std::vector<std::string> lines;
    if (!sock_)
        return lines;
    const auto now = std::chrono::steady_clock::now();
    if (!pacedSince_) {
        pacedSince_ = now;
        limitReadBuffer(64 << 10); // the rest waits in the kernel, and then on the hub's side
    }
    const double allowed =
        bytesPerSecond * std::chrono::duration<double>(now - *pacedSince_).count() - pacedBytes_;
    const auto n = std::min(sock_->bytesAvailable(), static_cast<qint64>(allowed));
    if (n > 0) {
        const std::size_t old = buf_.size();
        buf_.resize(old + static_cast<std::size_t>(n));
        const qint64 got = sock_->read(buf_.data() + old, n);
        buf_.resize(old + static_cast<std::size_t>(std::max<qint64>(got, 0)));
        pacedBytes_ += static_cast<double>(std::max<qint64>(got, 0));
    }
    for (std::size_t nl; (nl = buf_.find('\n', scanned_)) != std::string::npos; scanned_ = 0) {
        lines.push_back(buf_.substr(0, nl));
        buf_.erase(0, nl + 1);
    }
    scanned_ = buf_.size();
    return lines;
}

void FakeAgent::keepAlive() {
    if (!connected())
        return;
    while (skipLine(1)) {
    }
    if (const auto now = std::chrono::steady_clock::now(); now >= nextPing_) {
        sendSealed("p");
        nextPing_ = now + std::chrono::seconds(1);
    }
}

void FakeAgent::abortive() {
    if (!sock_)
        return;
    sock_->abort();
    sock_.reset();
}

std::optional<std::string> FakeAgent::probe(quint16 port, const std::string& text, int ms) {
    QUdpSocket udp;
    if (!udp.bind(QHostAddress::LocalHost, 0))
        return std::nullopt;
    udp.writeDatagram(text.data(), static_cast<qint64>(text.size()), QHostAddress::LocalHost, port);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (udp.hasPendingDatagrams()) {
            QByteArray d(static_cast<int>(udp.pendingDatagramSize()), '\0');
            udp.readDatagram(d.data(), d.size());
            return d.toStdString();
        }
        udp.waitForReadyRead(static_cast<int>(ms - clock.elapsed()) > 0
                                 ? static_cast<int>(ms - clock.elapsed())
                                 : 1);
    }
    return std::nullopt;
}

} // namespace helm::fake
