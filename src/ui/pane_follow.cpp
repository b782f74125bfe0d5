#include "ui/pane_follow.h"

#include <cstdlib>

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

int keptRow(const std::vector<std::string>& names, const std::string& name, int formerRow) {
    int kept = -1;
    for (int row = 0; row < static_cast<int>(names.size()); ++row) {
        if (names[static_cast<std::size_t>(row)] != name) continue;
        if (kept < 0 || std::abs(row - formerRow) < std::abs(kept - formerRow)) kept = row;
    }
    return kept;
}
