#pragma once
// When the bridge looks at the rooms for a watching melodrop. Under Wine every look costs the
// bridge and Wine's server a round trip to the chat client, however quiet the room is; so the
// bridge looks often only while something happens, and seldom when nothing does, as melodrop's
// own transcript watch does:
// - every kLivelySeconds while the room is lively: for kLivelyFor seconds after the last stir (a
//   look that found a change, or a request from melodrop: a command under way, whose answer is
//   about to appear in the room);
// - then less and less often, until kQuietAfter seconds after the last stir it looks every
//   kQuietSeconds: a line said after a quiet spell waits for half of that on average.
// The walk of the client's windows (which finds a room opened, closed or brought forward) may
// be older when the room is quiet too: at most kLivelyWalkSeconds while lively, kQuietWalkSeconds
// when quiet. Times are seconds on any steady clock.
namespace bridge {

class LookPace {
public:
    static constexpr double kLivelySeconds = 0.05;
    static constexpr double kLivelyFor = 5.0;
    static constexpr double kQuietSeconds = 0.35;
    static constexpr double kQuietAfter = 20.0;
    static constexpr double kLivelyWalkSeconds = 0.5;
    static constexpr double kQuietWalkSeconds = 2.0;

    // Something happened: the lively pace starts again.
    void Stir(double now) { stirredAt_ = now; }
    // Seconds from a look at `now` to the next.
    double Interval(double now) const;
    // How old the last walk of the client's windows may be at `now`.
    double WalkSeconds(double now) const;

private:
    // 0 while lively, growing to 1 at kQuietAfter.
    double Quietness(double now) const;

    double stirredAt_ = -1e9;
};

}  // namespace bridge
