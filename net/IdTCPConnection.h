#pragma once

#include "net/IdComponent.h"
#include "net/IdIOHandler.h"
#include "net/IdManagedBuffer.h"
#include "net/IdSimpleBuffer.h"
#include "net/IdStream.h"

#include <cstdint>
#include <memory>
#include <string>

enum TIdMaxLineAction { maException = 0, maSplit = 1 };

// A blocking connection: buffered input (lines, byte counts, streams), batched output and
// noticing that the peer closed.  It reaches the network only through its IO handler.
//
// Time-outs are milliseconds; -1 stands for ReadTimeout (and a ReadTimeout of 0 for no
// limit), -2 for no limit.
class TIdTCPConnection : public TIdComponent {
public:
    TIdTCPConnection();
    ~TIdTCPConnection() override;

    // Mask every received byte to 7 bits.
    bool ASCIIFilter = false;
    // Longest line ReadLine accepts, terminator excluded; 0: no limit.
    int MaxLineLength = 16384;
    TIdMaxLineAction MaxLineAction = maException;
    // Wait limit of a read with the default time-out; 0: no limit.
    int ReadTimeout = 0;
    // Bytes asked of one receive.
    int RecvBufferSize = 32768;
    // Piece size of WriteFromStream.
    int SendBufferSize = 32768;
    TNotifyEvent OnDisconnected;

    // The IO handler in use: the one given to SetIOHandler (not owned), or the one that
    // OpenConnection created (owned until CloseConnection).
    TIdIOHandler* IOHandler() const { return ioHandler_; }
    void SetIOHandler(TIdIOHandler* handler);
    bool OwnsHandler() const { return ownedHandler_ != nullptr; }

    // Bytes received and not yet consumed.
    TIdManagedBuffer& ReceivedData() { return receivedData_; }
    // A receive or send returned 0, or the socket was dropped.
    bool PeerClosed() const { return peerClosed_; }
    // The last ReadLine returned a piece of an over-long line.
    bool LastLineSplit() const { return lastLineSplit_; }
    // The last ReadLine ended without a line: the peer closed inside an unfinished one.
    bool LastLineTimedOut() const { return lastLineTimedOut_; }

    // Notices a close: drops the socket of a peer that closed, and raises
    // EIdConnClosedGracefully when asked to and nothing is buffered (or ignoreBuffer).
    virtual void CheckDisconnected(bool raiseIfDisconnected = true, bool ignoreBuffer = false);
    virtual bool IsConnected();
    // A 1 ms look for a close or for data that arrived while idle.
    virtual void PollForClose(bool raiseIfDisconnected);
    // Shuts the socket down and closes it; the buffered input stays readable.
    virtual void DropSocket();
    virtual void CloseConnection();
    virtual void NotifyDisconnected();
    // Empties the input and forgets a close.
    virtual void ResetInput();

    // Receives once into ReceivedData.  Returns the byte count, 0 when the peer closed or
    // nothing could be read, -1 on a time-out that did not raise.
    virtual int FillInputBuffer(bool raiseIfDisconnected = true, int timeout = -1,
                                bool raiseOnTimeout = true);
    // The next line without its terminator (an LF terminator also takes a CR before it).
    // An empty terminator means LF; maxLength -1 means MaxLineLength.
    virtual std::string ReadLine(const std::string& terminator = "\n", int timeout = -1,
                                 int maxLength = -1);
    // Exactly count bytes, waiting as needed.
    void ReadExact(void* destination, int count);
    // Reads count bytes (-1: a 4-byte network-order count first), or with readUntilClose
    // everything until the peer closes, into target at its position.
    void ReadToStream(TIdStream& target, std::int64_t count = -1, bool readUntilClose = false);
    std::int32_t ReadInt32();

    // Sends count bytes, or adds them to the open write batch unless writeNow.
    void WriteBytes(const void* source, int count, bool writeNow = false);
    virtual void WriteText(const std::string& text);
    virtual void WriteLine(const std::string& text);
    void WriteInt32(std::int32_t value);
    // Sends the stream from its position (from the start with fromStart) to the end, or
    // size bytes of it; prefixCount sends the byte count first as a 4-byte integer.
    virtual void WriteFromStream(TIdStream& stream, bool fromStart = true, bool prefixCount = false,
                                 std::int64_t size = 0);

    // Writes made while a batch is open are kept and leave together.  A threshold above
    // 0 sends that many bytes whenever the batch reaches it.
    void BeginWriteBatch(int threshold);
    void EndWriteBatch();
    void FlushWriteBatch(int count = -1);
    void ClearWriteBatch();
    bool WriteBatchOpen() const { return writeBatch_ != nullptr; }

protected:
    // Waits until at least count bytes are buffered.
    void WaitForBuffered(std::int64_t count);

    std::unique_ptr<TIdIOHandler> ownedHandler_;
    TIdIOHandler* ioHandler_ = nullptr; // ownedHandler_ or one the caller owns

private:
    // Moves count buffered bytes to target; they count as read work.
    void ConsumeInto(TIdStream& target, std::int64_t count);
    void SendNow(const char* bytes, int count);
    std::size_t FindTerminator(const std::string& terminator, std::size_t searched) const;

    TIdManagedBuffer receivedData_;
    std::unique_ptr<TIdSimpleBuffer> writeBatch_;
    int writeBatchThreshold_ = 0;
    bool peerClosed_ = false;
    bool lastLineSplit_ = false;
    bool lastLineTimedOut_ = false;
};
