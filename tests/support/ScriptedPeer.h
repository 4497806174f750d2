#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A TCP server on 127.0.0.1 (a free port) that plays one script per accepted connection on a
// thread of its own and records what each connection received.  Connection i plays
// scripts[i]; connections beyond the scripts are closed at once.  When a script ends without
// closing, the connection stays open and keeps recording until the client closes it.
class TScriptedPeer {
public:
    struct TStep {
        enum TKind { kExpect, kExpectUntil, kSend, kPause, kClose, kReset };
        TKind Kind;
        std::string Bytes;
        std::int64_t Count = 1;
        int Milliseconds = 0;
    };
    using TScript = std::vector<TStep>;

    // Reads exactly bytes.size() bytes; other bytes are recorded as a mismatch.
    static TStep Expect(std::string bytes);
    // Reads until marker has arrived (for example the empty line ending a request head).
    static TStep ExpectUntil(std::string marker);
    // Sends bytes, times times over.
    static TStep Send(std::string bytes, std::int64_t times = 1);
    static TStep Pause(int milliseconds);
    // Closes gracefully: a FIN, then recording until the client closes too.
    static TStep Close();
    // Closes with a reset (SO_LINGER 0).
    static TStep Reset();

    explicit TScriptedPeer(std::vector<TScript> scripts);
    ~TScriptedPeer();
    TScriptedPeer(const TScriptedPeer&) = delete;
    TScriptedPeer& operator=(const TScriptedPeer&) = delete;

    int Port() const { return port_; }
    int AcceptedCount() const;
    // Everything connection i received so far ("" before it was accepted).
    std::string Received(std::size_t connection) const;
    // One text per expectation that was not met, over all connections.
    std::vector<std::string> Mismatches() const;
    // Waits until connection i has played its whole script; false after timeoutMs.
    bool WaitForScript(std::size_t connection, int timeoutMs) const;

private:
    struct TConnection {
        int Socket = -1;
        std::string Received;
        std::size_t Cursor = 0;
        bool ScriptDone = false;
        bool Eof = false;
    };

    void AcceptLoop();
    void Play(std::size_t index);
    bool ReadMore(std::size_t index);
    bool WaitForBytes(std::size_t index, std::size_t count);
    bool WaitForMarker(std::size_t index, const std::string& marker);
    bool SendAll(int socket, const std::string& bytes);
    void Drain(std::size_t index);
    void FinishScript(std::size_t index);
    void Mismatch(std::size_t index, const std::string& text);

    std::vector<TScript> scripts_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::unique_ptr<TConnection>> connections_;
    std::vector<std::string> mismatches_;
    std::vector<std::thread> players_;
    std::thread acceptor_;
};
