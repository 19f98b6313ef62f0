#pragma once

// Whether the service's working record holds the controller's reservation configuration: read
// when the screen opened, or read again since. Until it does, a save would write defaults over
// settings that nobody has seen, so the pages that save it check here first.
namespace configstate {

bool known();
// The configuration was read from the controller: known, and a new generation.
void markRead();
// The configuration could not be fetched or read.
void markUnknown();
// Counts the reads, so a page built from an older record can tell that it is stale.
int generation();

} // namespace configstate
