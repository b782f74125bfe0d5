#include "ui/pane_follow.h"

PaneChange paneChangeFor(bool stateReported, bool wasSelected, bool isSelected) {
    if (!stateReported || wasSelected == isSelected) return PaneChange::keep;
    return isSelected ? PaneChange::showRow : PaneChange::showMark;
}

void PaneFollower::showing(const std::string& key) { shown_ = key; }

bool PaneFollower::rowUpdated(const std::string& key) {
    if (pending_ || shown_.empty() || key != shown_) return false;
    pending_ = true;
    return true;
}
