#pragma once

class P25Class;

// What the decoder has learnt on earlier runs, read back when a system and site are identified.
// The decoder only knows this interface; the per-system files implement it.
class StoredKnowledge {
public:
    virtual ~StoredKnowledge() = default;
    // Reads the stored knowledge of the decoder's current system and site over its state. Called
    // with "SYSINFOLOCK" held.
    virtual void LoadInto(P25Class& decoder) = 0;
    // Stores what the decoder learnt of its current system and site, before it forgets them for
    // another identity. Called with "SYSINFOLOCK" held.
    virtual void SaveFrom(P25Class& decoder) = 0;
};
