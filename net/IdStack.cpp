#include "net/IdStack.h"

#include "net/IdException.h"
#include "net/IdFormat.h"
#include "net/IdResourceStrings.h"
#include "net/IdStackWindows.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>

namespace {

std::mutex StackLock;
std::unique_ptr<TIdStack> ActiveStackInstance;
// Read without the lock on every socket call; written under it.
std::atomic<TIdStack*> ActiveStackPointer{nullptr};
int StackUserCount = 0;

struct TSocketErrorText {
    int Code;
    const char* Text;
};

constexpr TSocketErrorText kSocketErrorTexts[] = {
    {10004, RSStackEINTR},           {10009, RSStackEBADF},        {10013, RSStackEACCES},
    {10014, RSStackEFAULT},          {10022, RSStackEINVAL},       {10024, RSStackEMFILE},
    {10035, RSStackEWOULDBLOCK},     {10036, RSStackEINPROGRESS},  {10037, RSStackEALREADY},
    {10038, RSStackENOTSOCK},        {10039, RSStackEDESTADDRREQ}, {10040, RSStackEMSGSIZE},
    {10041, RSStackEPROTOTYPE},      {10042, RSStackENOPROTOOPT},  {10043, RSStackEPROTONOSUPPORT},
    {10044, RSStackESOCKTNOSUPPORT}, {10045, RSStackEOPNOTSUPP},   {10046, RSStackEPFNOSUPPORT},
    {10047, RSStackEAFNOSUPPORT},    {10048, RSStackEADDRINUSE},   {10049, RSStackEADDRNOTAVAIL},
    {10050, RSStackENETDOWN},        {10051, RSStackENETUNREACH},  {10052, RSStackENETRESET},
    {10053, RSStackECONNABORTED},    {10054, RSStackECONNRESET},   {10055, RSStackENOBUFS},
    {10056, RSStackEISCONN},         {10057, RSStackENOTCONN},     {10058, RSStackESHUTDOWN},
    {10059, RSStackETOOMANYREFS},    {10060, RSStackETIMEDOUT},    {10061, RSStackECONNREFUSED},
    {10062, RSStackELOOP},           {10063, RSStackENAMETOOLONG}, {10064, RSStackEHOSTDOWN},
    {10065, RSStackEHOSTUNREACH},    {10066, RSStackENOTEMPTY},    {11001, RSStackHOST_NOT_FOUND},
};

const char* SocketErrorText(int code) {
    for (const TSocketErrorText& entry : kSocketErrorTexts) {
        if (entry.Code == code) {
            return entry.Text;
        }
    }
    return "";
}

bool EqualsIgnoringCase(std::string_view text, std::string_view upper) {
    return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

} // namespace

bool ReadAddressByte(std::string_view piece, std::uint8_t& value) {
    if (piece.empty() ||
        !std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    // Any count of leading zeros: the number, not its spelling, must fit in a byte.
    unsigned number = 0;
    for (char c : piece) {
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > 255) {
            return false;
        }
    }
    value = static_cast<std::uint8_t>(number);
    return true;
}

TIdStack* TIdStack::ActiveStack() {
    return ActiveStackPointer.load(std::memory_order_acquire);
}

int TIdStack::StackUsers() {
    std::lock_guard lock(StackLock);
    return StackUserCount;
}

void TIdStack::AddStackUser() {
    std::lock_guard lock(StackLock);
    if (StackUserCount == 0) {
        ActiveStackInstance = std::make_unique<TIdStackWindows>();
        ActiveStackPointer.store(ActiveStackInstance.get(), std::memory_order_release);
    }
    ++StackUserCount;
}

void TIdStack::RemoveStackUser() {
    std::lock_guard lock(StackLock);
    if (--StackUserCount == 0) {
        ActiveStackPointer.store(nullptr, std::memory_order_release);
        ActiveStackInstance.reset();
    }
}

bool TIdStack::CheckSocketResult(int result, std::initializer_list<int> allowed) {
    if (result != SOCKET_ERROR) {
        return false;
    }
    LastSocketError = FetchLastError();
    if (std::find(allowed.begin(), allowed.end(), LastSocketError) != allowed.end()) {
        return true;
    }
    RaiseSocketFailure(LastSocketError);
}

void TIdStack::RaiseSocketFailure(int code) {
    throw EIdSocketError(code, DescribeSocketError(code));
}

std::string TIdStack::DescribeSocketError(int code) const {
    return FormatText(RSStackError, code, SocketErrorText(code));
}

TSocket TIdStack::NewSocketHandle(int type, int protocol) {
    const TSocket socket = SocketCreate(AF_INET, type, protocol);
    if (socket == INVALID_SOCKET) {
        throw EIdInvalidSocket();
    }
    return socket;
}

std::string TIdStack::ResolveHostAddress(const std::string& host) {
    if (EqualsIgnoringCase(host, "LOCALHOST")) {
        return "127.0.0.1";
    }
    if (IsDottedQuad(host)) {
        return host;
    }
    return HostLookup(host);
}

bool TIdStack::IsDottedQuad(const std::string& text) {
    std::string_view rest = text;
    std::uint8_t value = 0;
    for (int piece = 0; piece < 3; ++piece) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos || !ReadAddressByte(rest.substr(0, dot), value)) {
            return false;
        }
        rest.remove_prefix(dot + 1);
    }
    return ReadAddressByte(rest, value);
}
