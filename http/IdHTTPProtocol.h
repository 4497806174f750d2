#pragma once

#include "http/IdHTTPHeaderInfo.h"

class TIdCustomHTTP;
class TIdURI;

// What the exchange loop does after a response head has been judged.
enum TIdHTTPNextStep { nsDone, nsFollow, nsAuthRetry, nsUndefined };

// One request and one response, reused by every exchange of the client, and the steps
// that write the one and read and judge the other.
class TIdHTTPProtocol {
public:
    explicit TIdHTTPProtocol(TIdCustomHTTP& client);

    TIdHTTPRequest& Request() { return request_; }
    TIdHTTPResponse& Response() { return response_; }

    // Writes the request line, the header lines and the empty line in one send. uri is the
    // target whose cookies go along, or null for a tunnel request.
    void SendRequest(const TIdURI* uri);
    // Reads the header lines after the status line and parses them. A close inside the
    // block ends it: the lines read so far stand.
    void ReadHeaderBlock();
    // Judges the status: reads the body for an accepted response, follows or refuses a
    // redirect, or raises EIdHTTPProtocolException.
    TIdHTTPNextStep DecideNextStep();
    // Reads the body as error text and raises EIdHTTPProtocolException with it.
    [[noreturn]] void RaiseProtocolError();
    // Reads the body and throws it away.
    void DrainBody();

private:
    bool AcceptAuthentication(int code);
    void DrainQuietly();

    TIdCustomHTTP& client_;
    TIdHTTPRequest request_;
    TIdHTTPResponse response_;
};
