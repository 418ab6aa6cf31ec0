// Placeholder: text drawing.
#include "kivet/kivet.h"
int KIVET_draw_text(int, int, int, int, const char*) { return 1; }
int KIVET_printf_text(int, int, int, int, const char*, ...) { return 0; }
