// The steps of the application's driver, kivet_main() in main.cpp, kept as
// functions of their own so that the simulation can also be run one event at
// a time without the library's event wait.
#pragma once

#include "app/airfield.h"
#include "kivet/display.h"

// Counts one periodic tick; true on every 14th call (the counter then goes
// back to 0), when a new movement is due.
bool traffic_due(int& counter);

// Adds the scene's three runways, at heights 15, -85 and -185.
void add_runways(Airfield& airfield);

// The first movement of every run: a takeoff on a random runway.
void queue_first_takeoff(Airfield& airfield, Display& display);

// A takeoff or landing on a random runway, queued for that runway.
void generate_traffic(Airfield& airfield, Display& display);

// Acts on one event from the display: a periodic event may bring new traffic
// and always advances the airfield by one step; mouse and keyboard events
// change nothing. Returns false for the quit event, which ends the run.
bool handle_event(EventKind kind, Airfield& airfield, Display& display, int& tick_counter);
