#include "tavrin/arithmetic_fault.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using tavrin::ArithmeticFault;
using tavrin::FaultKind;

TEST(ArithmeticFault, NamesTheFaultInItsMessage) {
  EXPECT_EQ(ArithmeticFault(FaultKind::overflow).kind(), FaultKind::overflow);
  EXPECT_EQ(std::string(ArithmeticFault(FaultKind::overflow).what()).rfind("Overflow", 0), 0u);
  EXPECT_EQ(tavrin::fault_name(FaultKind::invalid_operation), "Invalid operation");
  EXPECT_EQ(tavrin::fault_name(FaultKind::division_by_zero), "Division by zero");
}

TEST(ArithmeticFault, CheckedPassesFiniteValuesAndFaultsOnInfinityOrNan) {
  EXPECT_EQ(tavrin::checked(1.5), 1.5);
  EXPECT_EQ(tavrin::checked(std::numeric_limits<double>::denorm_min()),
            std::numeric_limits<double>::denorm_min());  // underflow is no fault
  try {
    tavrin::checked(-std::numeric_limits<double>::infinity());
    FAIL() << "no fault";
  } catch (const ArithmeticFault& f) {
    EXPECT_EQ(f.kind(), FaultKind::overflow);
  }
  try {
    tavrin::checked(std::nan(""));
    FAIL() << "no fault";
  } catch (const ArithmeticFault& f) {
    EXPECT_EQ(f.kind(), FaultKind::invalid_operation);
  }
}
