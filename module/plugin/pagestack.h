#pragma once

class ZuzEraroveMan;

// The module's one page stack: made by the data object's createCustomWidget(), deleted by the
// data object or by the close road, whichever comes first.
namespace pagestack {

// The stack, or null before it is made and after it is gone.
ZuzEraroveMan *current();
// The stack to keep from now on; the module owns it.
void adopt(ZuzEraroveMan *stack);
// Deletes the stack with all its pages, once: the pointer is cleared before the deletion runs.
void destroy();

} // namespace pagestack
