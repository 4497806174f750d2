#include "net/IdTCPConnection.h"

#include "net/IdAntiFreezeBase.h"
#include "net/IdException.h"
#include "net/IdStack.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

TIdStack& Stack() {
    return *TIdStack::ActiveStack();
}

// The most room ReadToStream makes before the bytes arrive: a count is only the peer's
// word, and a stream of a larger announced size grows as the data really comes.
constexpr std::int64_t kMaxPresize = 16 * 1024 * 1024;
// How long PollForClose looks for a close, in milliseconds.
constexpr int kPollForCloseWait = 1;

} // namespace

TIdTCPConnection::TIdTCPConnection() {
    receivedData_.BytesRemoved = [this](TIdSimpleBuffer*, std::int64_t count) {
        AddWork(wmRead, static_cast<int>(count));
    };
}

TIdTCPConnection::~TIdTCPConnection() {
    TIdTCPConnection::DropSocket();
}

void TIdTCPConnection::SetIOHandler(TIdIOHandler* handler) {
    if (handler != ownedHandler_.get()) {
        ownedHandler_.reset();
    }
    ioHandler_ = handler;
}

void TIdTCPConnection::CheckDisconnected(bool raiseIfDisconnected, bool ignoreBuffer) {
    bool disconnected;
    if (peerClosed_ || ioHandler_ == nullptr) {
        if (ioHandler_ != nullptr && ioHandler_->HandlerConnected()) {
            DropSocket();
            ReportStatus(hsDisconnected);
            NotifyDisconnected();
        }
        disconnected = true;
    } else {
        disconnected = !ioHandler_->HandlerConnected();
    }
    if (disconnected && raiseIfDisconnected && (receivedData_.Size() == 0 || ignoreBuffer)) {
        throw EIdConnClosedGracefully();
    }
}

bool TIdTCPConnection::IsConnected() {
    CheckDisconnected(false, false);
    return ioHandler_ != nullptr && ioHandler_->HandlerConnected();
}

void TIdTCPConnection::PollForClose(bool raiseIfDisconnected) {
    // A peer that closes right after its response is often a fraction of a millisecond
    // late; a look without waiting misses that close and sends into a dying connection.
    FillInputBuffer(raiseIfDisconnected, kPollForCloseWait, false);
}

void TIdTCPConnection::DropSocket() {
    if (ioHandler_ != nullptr) {
        peerClosed_ = true;
        ioHandler_->CloseHandler();
    }
}

void TIdTCPConnection::CloseConnection() {
    ReportStatus(hsDisconnecting);
    DropSocket();
    if (ownedHandler_) {
        ioHandler_ = nullptr;
        ownedHandler_.reset();
    }
    NotifyDisconnected();
    ReportStatus(hsDisconnected);
}

void TIdTCPConnection::NotifyDisconnected() {
    if (OnDisconnected) {
        OnDisconnected(this);
    }
}

void TIdTCPConnection::ResetInput() {
    receivedData_.Clear();
    peerClosed_ = false;
}

int TIdTCPConnection::FillInputBuffer(bool raiseIfDisconnected, int timeout, bool raiseOnTimeout) {
    if (timeout == -1) {
        timeout = ReadTimeout == 0 ? -2 : ReadTimeout;
    }
    CheckDisconnected(raiseIfDisconnected, false);
    if (!IsConnected()) {
        if (raiseIfDisconnected) {
            throw EIdNotConnected();
        }
        return 0;
    }
    int received;
    do {
        if (!ioHandler_->WaitReadable(timeout)) {
            if (raiseOnTimeout) {
                throw EIdReadTimeout();
            }
            return -1;
        }
        // Received straight into the input buffer: no copy through a scratch chunk.
        char* chunk = receivedData_.ReserveTail(RecvBufferSize);
        received = ioHandler_->ReceiveSome(chunk, RecvBufferSize);
        peerClosed_ = received == 0;
        if (received != 0 && Stack().CheckSocketResult(received, {WSAESHUTDOWN, WSAECONNABORTED})) {
            received = 0;
            DropSocket();
            if (receivedData_.Size() == 0) {
                Stack().RaiseSocketFailure(Stack().LastSocketError);
            }
        }
        if (received > 0) {
            if (ASCIIFilter) {
                std::transform(chunk, chunk + received, chunk,
                               [](char c) { return static_cast<char>(c & 0x7F); });
            }
            receivedData_.CommitTail(received);
        }
        CheckDisconnected(raiseIfDisconnected, false);
    } while (received == 0 && IsConnected());
    return received;
}

std::size_t TIdTCPConnection::FindTerminator(const std::string& terminator,
                                             std::size_t searched) const {
    const std::string_view buffered(receivedData_.Memory(),
                                    static_cast<std::size_t>(receivedData_.Size()));
    // Step back so that a terminator straddling the old and the new bytes is found.
    const std::size_t from = searched >= terminator.size() ? searched - terminator.size() + 1 : 0;
    return buffered.find(terminator, from);
}

std::string TIdTCPConnection::ReadLine(const std::string& terminator, int timeout, int maxLength) {
    const std::string& ending = terminator.empty() ? std::string("\n") : terminator;
    const std::size_t limit = static_cast<std::size_t>(maxLength == -1 ? MaxLineLength : maxLength);
    lastLineSplit_ = false;
    lastLineTimedOut_ = false;
    std::size_t found = std::string::npos;
    std::size_t searched = 0;
    bool tooLong = false;
    while (found == std::string::npos) {
        const std::size_t buffered = static_cast<std::size_t>(receivedData_.Size());
        if (buffered > 0) {
            found = FindTerminator(ending, searched);
            searched = buffered;
        }
        if (limit != 0 && found != std::string::npos && found > limit) {
            tooLong = true;
            break;
        }
        if (found == std::string::npos) {
            if (limit != 0 && searched > limit) {
                tooLong = true;
                break;
            }
            CheckDisconnected(true, true);
            if (FillInputBuffer(true, timeout, timeout == -1) == 0) {
                lastLineTimedOut_ = true;
                return {};
            }
        }
    }
    if (tooLong) {
        if (MaxLineAction == maException) {
            throw EIdReadLnMaxLineLengthExceeded();
        }
        lastLineSplit_ = true;
        return receivedData_.TakeText(static_cast<std::int64_t>(limit));
    }
    std::string line = receivedData_.TakeText(static_cast<std::int64_t>(found + ending.size()));
    line.resize(found);
    if (ending == "\n" && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

void TIdTCPConnection::WaitForBuffered(std::int64_t count) {
    while (receivedData_.Size() < count) {
        CheckDisconnected(true, true);
        FillInputBuffer(true, -1, true);
    }
}

void TIdTCPConnection::ReadExact(void* destination, int count) {
    if (count <= 0 || destination == nullptr) {
        return;
    }
    WaitForBuffered(count);
    std::memcpy(destination, receivedData_.Memory(), static_cast<std::size_t>(count));
    receivedData_.Discard(count);
}

std::int32_t TIdTCPConnection::ReadInt32() {
    std::uint32_t network = 0;
    ReadExact(&network, sizeof(network));
    return static_cast<std::int32_t>(Stack().NetToHost32(network));
}

void TIdTCPConnection::ConsumeInto(TIdStream& target, std::int64_t count) {
    target.Write(receivedData_.Memory(), count);
    receivedData_.Discard(count);
}

void TIdTCPConnection::ReadToStream(TIdStream& target, std::int64_t count, bool readUntilClose) {
    if (count == -1 && !readUntilClose) {
        count = ReadInt32();
    }
    if (count >= 0) {
        // Room for the whole count at once (up to kMaxPresize) rather than growing piece by
        // piece.  The stream is not zero-filled first: every byte is either written or cut
        // off at the end.
        target.ReserveSize(target.Position() + std::min(count, kMaxPresize));
    }
    std::int64_t remaining = readUntilClose ? 2147483647 : count;
    StartWork(wmRead, readUntilClose ? 0 : static_cast<int>(count));
    try {
        if (receivedData_.Size() > 0) {
            const std::int64_t taken = std::min(receivedData_.Size(), remaining);
            ConsumeInto(target, taken);
            remaining -= taken;
        }
        const std::int64_t chunk = std::min<std::int64_t>(remaining, RecvBufferSize);
        while (IsConnected() && remaining > 0) {
            std::int64_t piece = std::min(remaining, chunk);
            try {
                WaitForBuffered(piece);
            } catch (const EIdConnClosedGracefully&) {
                if (!readUntilClose) {
                    throw;
                }
                piece = receivedData_.Size();
            }
            ConsumeInto(target, piece);
            remaining -= piece;
        }
        if (readUntilClose && ioHandler_ != nullptr) {
            ioHandler_->CheckEndOfData();
        }
    } catch (...) {
        FinishWork(wmRead);
        target.SetSize(target.Position());
        throw;
    }
    FinishWork(wmRead);
    target.SetSize(target.Position());
}

void TIdTCPConnection::WriteBytes(const void* source, int count, bool writeNow) {
    if (count <= 0 || source == nullptr) {
        return;
    }
    CheckDisconnected(true, true);
    if (!IsConnected()) {
        throw EIdNotConnected();
    }
    if (writeBatch_ && !writeNow) {
        writeBatch_->Append(source, count);
        if (writeBatchThreshold_ > 0 && writeBatch_->Size() >= writeBatchThreshold_) {
            FlushWriteBatch(writeBatchThreshold_);
        }
        return;
    }
    SendNow(static_cast<const char*>(source), count);
}

void TIdTCPConnection::SendNow(const char* bytes, int count) {
    int sent = 0;
    while (sent < count) {
        const int result = ioHandler_->SendSome(bytes + sent, count - sent);
        TIdAntiFreezeBase::DoProcess(false);
        peerClosed_ = result == 0;
        CheckDisconnected(true, false);
        if (Stack().CheckSocketResult(result, {WSAESHUTDOWN, WSAECONNABORTED, WSAECONNRESET})) {
            DropSocket();
            Stack().RaiseSocketFailure(Stack().LastSocketError);
        }
        AddWork(wmWrite, result);
        sent += result;
    }
}

void TIdTCPConnection::WriteText(const std::string& text) {
    if (!text.empty()) {
        WriteBytes(text.data(), static_cast<int>(text.size()), false);
    }
}

void TIdTCPConnection::WriteLine(const std::string& text) {
    WriteText(text + "\r\n");
}

void TIdTCPConnection::WriteInt32(std::int32_t value) {
    const std::uint32_t network = Stack().HostToNet32(static_cast<std::uint32_t>(value));
    WriteBytes(&network, sizeof(network), false);
}

void TIdTCPConnection::WriteFromStream(TIdStream& stream, bool fromStart, bool prefixCount,
                                       std::int64_t size) {
    if (fromStart) {
        stream.SetPosition(0);
    }
    const std::int64_t end = size != 0 ? stream.Position() + size : stream.Size();
    if (prefixCount) {
        WriteInt32(static_cast<std::int32_t>(end - stream.Position()));
    }
    StartWork(wmWrite, static_cast<int>(end - stream.Position()));
    try {
        std::vector<char> scratch(static_cast<std::size_t>(SendBufferSize));
        for (;;) {
            const std::int64_t wanted =
                std::min<std::int64_t>(end - stream.Position(), SendBufferSize);
            if (wanted <= 0) {
                break;
            }
            const std::int64_t read = stream.Read(scratch.data(), wanted);
            if (read == 0) {
                throw EIdNoDataToRead();
            }
            // Only what the stream gave: a short read must not send stale scratch bytes.
            WriteBytes(scratch.data(), static_cast<int>(read), false);
        }
    } catch (...) {
        FinishWork(wmWrite);
        throw;
    }
    FinishWork(wmWrite);
}

void TIdTCPConnection::BeginWriteBatch(int threshold) {
    writeBatch_ = std::make_unique<TIdSimpleBuffer>();
    writeBatchThreshold_ = threshold;
}

void TIdTCPConnection::EndWriteBatch() {
    try {
        FlushWriteBatch(-1);
    } catch (...) {
        writeBatch_.reset();
        throw;
    }
    writeBatch_.reset();
}

void TIdTCPConnection::FlushWriteBatch(int count) {
    if (!writeBatch_ || writeBatch_->Size() == 0) {
        return;
    }
    if (count == -1 || writeBatch_->Size() < count) {
        WriteBytes(writeBatch_->Memory(), static_cast<int>(writeBatch_->Size()), true);
        writeBatch_->Clear();
    } else {
        WriteBytes(writeBatch_->Memory(), count, true);
        writeBatch_->Discard(count);
    }
}

void TIdTCPConnection::ClearWriteBatch() {
    if (writeBatch_) {
        writeBatch_->Clear();
    }
}
