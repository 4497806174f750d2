#pragma once

#include "net/IdStack.h"

// The socket stack over the functions of IdWinSock2.  Creating the first one starts the
// socket library, which then stays started until FinalizeWinsock.
class TIdStackWindows : public TIdStack {
public:
    TIdStackWindows();

    std::string HostLookup(const std::string& host) override;
    std::string AddressToText(const TIdIPv4Bytes& address) const override;
    TIdIPv4Bytes TextToAddress(const std::string& text) const override;

    TSocket SocketCreate(int family, int type, int protocol) override;
    int SocketBind(TSocket socket, int family, int port, const std::string& ip) override;
    int SocketConnect(TSocket socket, int family, int port, const std::string& ip) override;
    int SocketRecv(TSocket socket, void* buffer, int length, int flags) override;
    int SocketSend(TSocket socket, const void* buffer, int length, int flags) override;
    int SocketSelect(std::vector<TSocket>* readList, std::vector<TSocket>* writeList, int timeout,
                     std::vector<TSocket>* errorList) override;
    int SocketShutdown(TSocket socket, int how) override;
    int SocketClose(TSocket socket) override;
    int SocketSetOption(TSocket socket, int level, int option, const void* value,
                        int length) override;
    TIdSocketAddress SocketLocalAddress(TSocket socket) override;
    TIdSocketAddress SocketPeerAddress(TSocket socket) override;
    int FetchLastError() override;

    std::uint16_t HostToNet16(std::uint16_t value) override;
    std::uint16_t NetToHost16(std::uint16_t value) override;
    std::uint32_t HostToNet32(std::uint32_t value) override;
    std::uint32_t NetToHost32(std::uint32_t value) override;

private:
    sockaddr_in MakeAddress(int family, int port, const std::string& ip);
    TIdSocketAddress DescribeAddress(const sockaddr_in& address);
};

// The end of the program's use of sockets: cleans the library up if it was started and
// unloads it.  Runs by itself at exit; the next stack created starts the library again.
void FinalizeWinsock();

// The select timeout for a wait of the given milliseconds; none (nullptr) for -2.
const timeval* SelectTimeout(int timeout, timeval& storage);
