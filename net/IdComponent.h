#pragma once

#include <functional>
#include <string>

enum TIdStatus {
    hsResolving,
    hsConnecting,
    hsConnected,
    hsDisconnecting,
    hsDisconnected,
    hsStatusText,
    ftpTransfer,
    ftpReady,
    ftpAborted
};

enum TWorkMode { wmRead = 0, wmWrite = 1 };

class TIdComponent;

using TIdStatusEvent =
    std::function<void(TIdComponent* ASender, TIdStatus AStatus, const std::string& AStatusText)>;
using TWorkBeginEvent =
    std::function<void(TIdComponent* Sender, TWorkMode AWorkMode, int AWorkCountMax)>;
using TWorkEvent = std::function<void(TIdComponent* Sender, TWorkMode AWorkMode, int AWorkCount)>;
using TWorkEndEvent = std::function<void(TIdComponent* Sender, TWorkMode AWorkMode)>;
using TNotifyEvent = std::function<void(TIdComponent* Sender)>;

// Common base of the connection and its IO handler: status texts and work (progress)
// events.  While any component exists the process-wide socket stack exists.
class TIdComponent {
public:
    TIdComponent();
    virtual ~TIdComponent();
    TIdComponent(const TIdComponent&) = delete;
    TIdComponent& operator=(const TIdComponent&) = delete;

    TIdStatusEvent OnStatus;
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // Fires OnStatus, if assigned, with the status's text filled with argument.
    void ReportStatus(TIdStatus status, const std::string& argument = {});

    // Work is counted per mode; nested StartWork/FinishWork pairs form one unit of work.
    virtual void StartWork(TWorkMode mode, int maximum = 0);
    virtual void AddWork(TWorkMode mode, int count);
    virtual void FinishWork(TWorkMode mode);

private:
    struct TWorkInfo {
        int Count = 0;
        int Max = 0;
        int Total = 0;
    };
    TWorkInfo work_[2];
};
