#pragma once

class TIdCookieManager;

// What uses a cookie manager that it does not own: told when the manager is destroyed, after
// which it must not touch the manager again.
class TIdCookieManagerClient {
public:
    virtual void CookieManagerDestroyed(TIdCookieManager& manager) = 0;

protected:
    ~TIdCookieManagerClient() = default;
};
