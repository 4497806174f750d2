#include "watch/MemoryWatchPanel.h"

#include "watch/WatchChoices.h"

#include <stdexcept>

namespace watch {
namespace {

int PairSlot(int pair) {
    if (pair < 1 || pair > IWatchPanel::PairCount)
        throw std::out_of_range("No keyword pair " + std::to_string(pair));
    return pair - 1;
}

} // namespace

TMemoryWatchPanel::TMemoryWatchPanel()
    : comboSearchTime_(SearchTimeItems()), comboCity_(CityItems()), comboPubDate_(PubDateItems()) {}

TMemoryTextField& TMemoryWatchPanel::editComName(int pair) {
    return editComName_[PairSlot(pair)];
}

TMemoryTextField& TMemoryWatchPanel::editPosition(int pair) {
    return editPosition_[PairSlot(pair)];
}

void TMemoryWatchPanel::HideToTray() {
    InTray = true;
    ++HideToTrayCalls;
}

void TMemoryWatchPanel::RestoreFromTray() {
    InTray = false;
    ++RestoreFromTrayCalls;
}

} // namespace watch
