#pragma once

namespace qvr {

// The window whose profile the manager changes. The window's record belongs
// to one profile at a time; the manager asks before it changes which.
class ProfileHost {
  public:
    virtual ~ProfileHost() = default;
    // The list position of the window's profile.
    virtual int windowProfile() const = 0;
    // Makes position the window's profile and loads it; asks about unsaved
    // changes first and returns false when the user cancels.
    virtual bool switchProfile(int position) = 0;
    // The profile at position was deleted and the later ones moved down;
    // count profiles are left.
    virtual void profileDeleted(int position, int count) = 0;
};

} // namespace qvr
