#pragma once

namespace helm {

// Spaces out the search for a face while nobody is in view. Searching the whole frame costs
// several times what following a found face does, and an empty chair would otherwise pay it on
// every frame read. For a moment after a face was last seen every frame searches, so a face
// that was briefly lost is picked up again at once; after that one frame in `every` seconds
// does, which bounds how long a returning user waits to be seen.
struct SearchPacer {
    double keenFor = 1.0;
    double every = 0.2;

    SearchPacer() = default;
    SearchPacer(double keenFor, double every) : keenFor(keenFor), every(every) {}

    // True when the frame at time t (seconds) should be searched for a face.
    bool shouldSearch(double t);
    // Tells the pacer whether the frame at time t, searched or not, showed a face.
    void saw(bool face, double t);
    // Forgets the past, so the next frame searches (a new capture, whose times start afresh).
    void restart();

private:
    double lastFace = -1e9;
    double lastSearch = -1e9;
};

} // namespace helm
