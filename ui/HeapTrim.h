// Giving the allocator's free memory back to the system now and then. New games, levels, zoom
// steps and dialogs leave freed blocks scattered through the heap, which the allocator would
// otherwise keep for the rest of the session.
#pragma once

namespace quorvik {

// A second after the first call since the last release, the free heap goes back to the system;
// calls in between are taken together. Needs the application object.
void releaseFreeHeapSoon();

}  // namespace quorvik
