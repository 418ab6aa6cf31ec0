// Placeholder: the renderer.
#include "kivet/kivet.h"
#include "kivet/state.h"
void KIVET_render(const DrawCommand&) { kivet::KIVET_dirty = true; }
