// The fixed 24-colour palette and the colour check.
#include "kivet/kivet.h"

const KivetRgb KIVET_palette[NUM_COLORS] = {
    {0, 0, 0},       {255, 255, 255}, {255, 0, 0},     {0, 255, 0},     {0, 0, 255},
    {255, 255, 0},   {255, 0, 255},   {0, 255, 255},   {153, 0, 204},   {0, 51, 153},
    {153, 102, 153}, {153, 255, 255}, {153, 255, 204}, {255, 102, 0},   {153, 102, 51},
    {255, 153, 204}, {255, 255, 153}, {204, 153, 51},  {255, 153, 102}, {0, 102, 51},
    {51, 204, 153},  {153, 153, 51},  {128, 128, 128}, {204, 204, 204},
};

const char* const KIVET_color_names[NUM_COLORS] = {
    "black",     "white",  "red",        "green",     "blue",        "yellow",
    "magenta",   "cyan",   "purple",     "navy blue", "dusty plum",  "ice blue",
    "turquoise", "orange", "brown",      "pink",      "chalk",       "gold",
    "peach",     "forest green", "sea green", "olive", "50% gray",   "20% gray",
};

int KIVET_check_color(int color) {
  if (color >= 0 && color < NUM_COLORS) return color;
  KIVET_log_message("Illegal color %d; using RED.\n", color);
  return RED;
}
