#include "net/IdAntiFreezeBase.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<TIdAntiFreezeBase*> CurrentAntiFreeze{nullptr};
// Static initialisation runs on the main thread.
const std::thread::id MainThreadId = std::this_thread::get_id();

} // namespace

TIdAntiFreezeBase::TIdAntiFreezeBase() {
    CurrentAntiFreeze.store(this);
}

TIdAntiFreezeBase::~TIdAntiFreezeBase() {
    TIdAntiFreezeBase* self = this;
    CurrentAntiFreeze.compare_exchange_strong(self, nullptr);
}

TIdAntiFreezeBase* TIdAntiFreezeBase::InUse() {
    TIdAntiFreezeBase* current = CurrentAntiFreeze.load();
    if (current == nullptr || !current->Active || std::this_thread::get_id() != MainThreadId) {
        return nullptr;
    }
    return current;
}

void TIdAntiFreezeBase::DoProcess(bool idle) {
    TIdAntiFreezeBase* current = InUse();
    if (current != nullptr && (idle || !current->OnlyWhenIdle)) {
        current->Process();
    }
}
