// The rows presented to the canvas since it was last drawn, gathered here
// so that drawing it compares only those (canvas_rows.cpp).
#pragma once

#include "kivet/draw/bitmap.h"

namespace kivet::web {

void note_canvas_rows(const ChangedRows& rows);

}  // namespace kivet::web
