#pragma once

#include "http/IdGlobal.h"

// Switches the process-wide lead-byte set for one test and restores it afterwards.
class LeadBytesGuard {
public:
    explicit LeadBytesGuard(const TIdLeadByteSet& leadBytes) : saved_(LeadBytes()) {
        SetLeadBytes(leadBytes);
    }
    ~LeadBytesGuard() { SetLeadBytes(saved_); }
    LeadBytesGuard(const LeadBytesGuard&) = delete;
    LeadBytesGuard& operator=(const LeadBytesGuard&) = delete;

private:
    TIdLeadByteSet saved_;
};
