// The cookie store over arbitrary Set-cookie and Set-cookie2 values: the input holds the
// request host, then one value a line; each bit of the first byte picks the header kind of
// one value. After storing, the Cookie header is asked for two paths of that host.

#include "FuzzInput.h"
#include "http/EConvertError.h"
#include "http/IdCookieManager.h"
#include "http/IdURI.h"
#include "net/IdException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t kinds = input.TakeByte();
    std::vector<std::string> pieces = input.Pieces('\n');
    const std::string& host = pieces[0];

    TIdCookieManager manager;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        try {
            if ((kinds >> (i % 8) & 1) != 0)
                manager.TakeSetCookie2(pieces[i], host);
            else
                manager.TakeSetCookie(pieces[i], host);
        } catch (const EConvertError&) {
            // A bad port list in a Set-cookie2 value is refused by raising.
        } catch (const EIdException&) {
        }
    }
    for (const char* path : {"/", "/a/b/index.html?q=1"}) {
        TIdURI uri("http://" + host + path);
        manager.CookieHeaderFor(uri, (kinds & 1) != 0);
    }
    manager.PurgeExpired();
    return 0;
}
