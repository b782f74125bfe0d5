#pragma once

#include <string>
#include <vector>

// Which server the details pane shows, and when it is filled again. The server list reports
// every change of a row as one notification (on Windows also each new text of a cell, so
// every reply of every server during a pass); only a change of the selection picks what the
// pane shows. The pane follows its own server's replies by itself, at most once per refill
// interval however fast they come, and never another server's.

// What a reported change of one server-list row does to the pane.
enum class PaneChange {
    keep,           // the row's texts or its focus changed: the pane stays as it is
    showRow,        // the row became selected: the pane shows it (its mark moves there later)
    showMark,       // the row lost the selection: the pane shows the row with the mark
};
PaneChange paneChangeFor(bool stateReported, bool wasSelected, bool isSelected);

// The shortest time between two refills for the replies of the pane's server, in ms.
constexpr unsigned paneRefillInterval = 250;

class PaneFollower {
public:
    // The pane now shows the server of this address key (empty: none).
    void showing(const std::string& key);
    const std::string& shown() const { return shown_; }
    // A reply updated this server's row: true when a refill is to be scheduled now, which is
    // for the pane's own server only, and once until refilled() however many replies come.
    bool rowUpdated(const std::string& key);
    // The scheduled refill is done; the next reply schedules another.
    void refilled() { pending_ = false; }

private:
    std::string shown_;
    bool pending_ = false;
};

// A pane list refilled for the same server keeps the row the keyboard was on, found again by
// its name (a player's, a variable's): of the rows with that name, the one nearest to where
// the row was. -1 when no row has the name any more.
int keptRow(const std::vector<std::string>& names, const std::string& name, int formerRow);
