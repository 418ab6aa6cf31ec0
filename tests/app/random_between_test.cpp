// random_between: the formula on std::rand in either order, no draw for
// equal bounds, extreme bounds.
#include "app/random_between.h"

#include <climits>
#include <cstdlib>

#include "app_test_support.h"

TEST(RandomBetween, LowerBoundPlusNextValueModuloWidth) {
  const std::vector<int> r = rand_sequence(77, 5);
  std::srand(77);
  EXPECT_EQ(random_between(5, 15), 5 + r[0] % 10);
  EXPECT_EQ(random_between(15, 5), 5 + r[1] % 10);
  EXPECT_EQ(random_between(-3, -20), -20 + r[2] % 17);
  EXPECT_EQ(random_between(7, 7), 7) << "equal bounds draw nothing";
  EXPECT_EQ(random_between(0, 2), r[3] % 2);
  EXPECT_EQ(std::rand(), r[4]);
}

TEST(RandomBetween, ExtremeBoundsStayInRange) {
  const std::vector<int> r = rand_sequence(3, 3);
  std::srand(3);
  EXPECT_EQ(random_between(INT_MIN, INT_MAX), static_cast<long long>(INT_MIN) + r[0]);
  EXPECT_EQ(random_between(INT_MAX, INT_MIN), static_cast<long long>(INT_MIN) + r[1]);
  EXPECT_EQ(random_between(INT_MAX - 1, INT_MAX), INT_MAX - 1);
}
