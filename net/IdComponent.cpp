#include "net/IdComponent.h"

#include "net/IdFormat.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

namespace {

const char* StatusFormat(TIdStatus status) {
    switch (status) {
    case hsResolving:
        return RSStatusResolving;
    case hsConnecting:
        return RSStatusConnecting;
    case hsConnected:
        return RSStatusConnected;
    case hsDisconnecting:
        return RSStatusDisconnecting;
    case hsDisconnected:
        return RSStatusDisconnected;
    default:
        return RSStatusText;
    }
}

} // namespace

TIdComponent::TIdComponent() {
    TIdStack::AddStackUser();
}

TIdComponent::~TIdComponent() {
    TIdStack::RemoveStackUser();
}

void TIdComponent::ReportStatus(TIdStatus status, const std::string& argument) {
    if (OnStatus) {
        OnStatus(this, status, FormatText(StatusFormat(status), argument.c_str()));
    }
}

void TIdComponent::StartWork(TWorkMode mode, int maximum) {
    TWorkInfo& work = work_[mode];
    if (++work.Count == 1) {
        work.Max = maximum;
        work.Total = 0;
        if (OnWorkBegin) {
            OnWorkBegin(this, mode, maximum);
        }
    }
}

void TIdComponent::AddWork(TWorkMode mode, int count) {
    TWorkInfo& work = work_[mode];
    if (work.Count < 1) {
        return;
    }
    // Wraps like the 32-bit counter it is, rather than overflowing.
    work.Total = static_cast<int>(static_cast<unsigned>(work.Total) + static_cast<unsigned>(count));
    if (OnWork) {
        OnWork(this, mode, work.Total);
    }
}

void TIdComponent::FinishWork(TWorkMode mode) {
    TWorkInfo& work = work_[mode];
    if (work.Count == 1 && OnWorkEnd) {
        OnWorkEnd(this, mode);
    }
    --work.Count;
}
