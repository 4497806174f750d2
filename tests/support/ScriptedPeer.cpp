#include "tests/support/ScriptedPeer.h"
#include "tests/support/LoopbackListener.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

// How often blocked waits look at the stop flag.
constexpr int kSliceMs = 20;

bool WaitReadable(int socket, int timeoutMs) {
    pollfd polled{socket, POLLIN, 0};
    return poll(&polled, 1, timeoutMs) > 0;
}

} // namespace

TScriptedPeer::TStep TScriptedPeer::Expect(std::string bytes) {
    return {TStep::kExpect, std::move(bytes)};
}

TScriptedPeer::TStep TScriptedPeer::ExpectUntil(std::string marker) {
    return {TStep::kExpectUntil, std::move(marker)};
}

TScriptedPeer::TStep TScriptedPeer::Send(std::string bytes, std::int64_t times) {
    return {TStep::kSend, std::move(bytes), times};
}

TScriptedPeer::TStep TScriptedPeer::Pause(int milliseconds) {
    return {TStep::kPause, {}, 1, milliseconds};
}

TScriptedPeer::TStep TScriptedPeer::Close() {
    return {TStep::kClose, {}};
}

TScriptedPeer::TStep TScriptedPeer::Reset() {
    return {TStep::kReset, {}};
}

TScriptedPeer::TScriptedPeer(std::vector<TScript> scripts) : scripts_(std::move(scripts)) {
    const TLoopbackListener listener = ListenOnLoopback(16);
    listener_ = listener.Socket;
    port_ = listener.Port;
    acceptor_ = std::thread(&TScriptedPeer::AcceptLoop, this);
}

TScriptedPeer::~TScriptedPeer() {
    stopping_.store(true);
    acceptor_.join();
    {
        std::lock_guard lock(mutex_);
        for (const auto& connection : connections_) {
            shutdown(connection->Socket, SHUT_RDWR);
        }
    }
    for (std::thread& player : players_) {
        player.join();
    }
    for (const auto& connection : connections_) {
        close(connection->Socket);
    }
    close(listener_);
}

int TScriptedPeer::AcceptedCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(connections_.size());
}

std::string TScriptedPeer::Received(std::size_t connection) const {
    std::lock_guard lock(mutex_);
    return connection < connections_.size() ? connections_[connection]->Received : std::string();
}

std::vector<std::string> TScriptedPeer::Mismatches() const {
    std::lock_guard lock(mutex_);
    return mismatches_;
}

bool TScriptedPeer::WaitForScript(std::size_t connection, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return connection < connections_.size() && connections_[connection]->ScriptDone;
    });
}

void TScriptedPeer::AcceptLoop() {
    while (!stopping_.load()) {
        if (!WaitReadable(listener_, kSliceMs)) {
            continue;
        }
        const int socket = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) {
            continue;
        }
        std::lock_guard lock(mutex_);
        connections_.push_back(std::make_unique<TConnection>());
        connections_.back()->Socket = socket;
        players_.emplace_back(&TScriptedPeer::Play, this, connections_.size() - 1);
        changed_.notify_all();
    }
}

void TScriptedPeer::Play(std::size_t index) {
    int socket;
    {
        std::lock_guard lock(mutex_);
        socket = connections_[index]->Socket;
    }
    if (index >= scripts_.size()) {
        shutdown(socket, SHUT_RDWR);
        FinishScript(index);
        return;
    }
    for (const TStep& step : scripts_[index]) {
        switch (step.Kind) {
        case TStep::kExpect:
            if (!WaitForBytes(index, step.Bytes.size())) {
                Mismatch(index, "closed before the expected bytes: " + step.Bytes);
                FinishScript(index);
                return;
            } else {
                std::lock_guard lock(mutex_);
                TConnection& connection = *connections_[index];
                const std::string got =
                    connection.Received.substr(connection.Cursor, step.Bytes.size());
                connection.Cursor += step.Bytes.size();
                if (got != step.Bytes) {
                    mismatches_.push_back("expected " + step.Bytes + " but got " + got);
                }
            }
            break;
        case TStep::kExpectUntil:
            if (!WaitForMarker(index, step.Bytes)) {
                Mismatch(index, "closed before the marker: " + step.Bytes);
                FinishScript(index);
                return;
            }
            break;
        case TStep::kSend:
            for (std::int64_t i = 0; i < step.Count; ++i) {
                if (!SendAll(socket, step.Bytes)) {
                    FinishScript(index);
                    return;
                }
            }
            break;
        case TStep::kPause:
            for (int waited = 0; waited < step.Milliseconds && !stopping_.load();
                 waited += kSliceMs) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
            }
            break;
        case TStep::kClose:
            shutdown(socket, SHUT_WR);
            FinishScript(index);
            Drain(index);
            return;
        case TStep::kReset: {
            const linger abortive{1, 0};
            setsockopt(socket, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
            std::lock_guard lock(mutex_);
            // Keep a descriptor in the table for the destructor, but one that is closed.
            connections_[index]->Socket = -1;
            close(socket);
            connections_[index]->ScriptDone = true;
            changed_.notify_all();
            return;
        }
        }
    }
    FinishScript(index);
    Drain(index);
}

bool TScriptedPeer::ReadMore(std::size_t index) {
    int socket;
    {
        std::lock_guard lock(mutex_);
        socket = connections_[index]->Socket;
    }
    while (!stopping_.load()) {
        if (!WaitReadable(socket, kSliceMs)) {
            continue;
        }
        char buffer[65536];
        const ssize_t received = recv(socket, buffer, sizeof(buffer), 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        std::lock_guard lock(mutex_);
        if (received <= 0) {
            connections_[index]->Eof = true;
            return false;
        }
        connections_[index]->Received.append(buffer, static_cast<std::size_t>(received));
        changed_.notify_all();
        return true;
    }
    return false;
}

bool TScriptedPeer::WaitForBytes(std::size_t index, std::size_t count) {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            const TConnection& connection = *connections_[index];
            if (connection.Received.size() - connection.Cursor >= count) {
                return true;
            }
        }
        if (!ReadMore(index)) {
            return false;
        }
    }
}

bool TScriptedPeer::WaitForMarker(std::size_t index, const std::string& marker) {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            TConnection& connection = *connections_[index];
            const std::size_t found = connection.Received.find(marker, connection.Cursor);
            if (found != std::string::npos) {
                connection.Cursor = found + marker.size();
                return true;
            }
        }
        if (!ReadMore(index)) {
            return false;
        }
    }
}

bool TScriptedPeer::SendAll(int socket, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(result);
    }
    return true;
}

void TScriptedPeer::Drain(std::size_t index) {
    while (ReadMore(index)) {
    }
}

void TScriptedPeer::FinishScript(std::size_t index) {
    std::lock_guard lock(mutex_);
    connections_[index]->ScriptDone = true;
    changed_.notify_all();
}

void TScriptedPeer::Mismatch(std::size_t index, const std::string& text) {
    std::lock_guard lock(mutex_);
    mismatches_.push_back("connection " + std::to_string(index) + ": " + text);
}
