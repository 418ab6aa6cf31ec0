// The script's line format: every event the wait can return but quit has a
// line, and reading that line gives the event back exactly.
#include "kivet/script_format.h"

#include <gtest/gtest.h>

#include "kivet/state.h"

namespace kivet {
namespace {

TEST(ScriptFormat, EveryEventButQuitHasALineThatReadsBackAsItself) {
  for (int kind : EVENT_KINDS) {
    std::string line = format_event_line(kind, KIVET_event_data{-300, 250, -5}, 7);
    if (kind == EVENT_QUIT) {
      EXPECT_EQ(line, "") << "a quit is never recorded";
      continue;
    }
    ASSERT_FALSE(line.empty()) << "event kind " << kind << " has no script line";
    ScriptLine read = parse_script_line(line.c_str());
    EXPECT_EQ(read.kind, kind) << line;
    EXPECT_TRUE(read.exact) << line;
    EXPECT_EQ(format_event_line(read.kind, KIVET_event_data{read.x, read.y, read.key}, read.count),
              line);
  }
}

}  // namespace
}  // namespace kivet
