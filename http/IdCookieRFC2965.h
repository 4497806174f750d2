#pragma once

#include "http/IdCookieRFC2109.h"

#include <cstdint>
#include <string>
#include <vector>

// A cookie from a "Set-cookie2" header: adds CommentURL, Discard and the Port list.
class TIdCookieRFC2965 : public TIdCookieRFC2109 {
public:
    TIdCookieRFC2965() : TIdCookieRFC2109(TIdCookieVersion::cvRFC2965) {}

    void ApplyAttributes(const TIdCookieAttributes& attributes) override;

    // Sets the port at index, which may be one past the last to append; any other index
    // raises EIdException "Index out of range.".
    void SetPortAt(int index, std::int32_t port);

    std::string CommentURL;
    bool Discard = false;
    std::vector<std::int32_t> PortList;

private:
    void ApplyPortAttribute(const std::string& ports);
};
