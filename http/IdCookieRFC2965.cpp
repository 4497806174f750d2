#include "http/IdCookieRFC2965.h"

#include "http/IdGlobal.h"
#include "http/IdResourceStrings.h"
#include "net/IdException.h"

void TIdCookieRFC2965::ApplyAttributes(const TIdCookieAttributes& attributes) {
    TIdCookieRFC2109::ApplyAttributes(attributes);
    CommentURL = CookieAttributeValue(attributes, "COMMENTURL");
    Discard = HasCookieAttribute(attributes, "DISCARD");
    ApplyPortAttribute(CookieAttributeValue(attributes, "PORT"));
}

// An empty value means the default port; a quoted value lists ports separated by commas;
// any other value leaves the list as it is.
void TIdCookieRFC2965::ApplyPortAttribute(const std::string& ports) {
    if (ports.empty()) {
        SetPortAt(0, 80);
        return;
    }
    if (ports.size() < 2 || ports.front() != '"' || ports.back() != '"') {
        return;
    }
    std::string list = ports.substr(1, ports.size() - 2);
    int index = 0;
    do {
        SetPortAt(index++, DecimalStrToInt(TakeToken(list, ",")));
    } while (!list.empty());
}

void TIdCookieRFC2965::SetPortAt(int index, std::int32_t port) {
    if (index < 0 || static_cast<std::size_t>(index) > PortList.size()) {
        throw EIdException(RSIndexOutOfRange);
    }
    if (static_cast<std::size_t>(index) == PortList.size()) {
        PortList.push_back(port);
    } else {
        PortList[static_cast<std::size_t>(index)] = port;
    }
}
